#include "widgets/TitleStrip.h"

#include <QFontMetrics>
#include <QPainter>

#include "widgets/Resources.h"

namespace {
constexpr int kNormalWeight = 400;
}  // namespace

QRect TitleBandRect(int blanksWidth, int lineHeight) {
    return QRect(kTitleBandClip.topLeft(), QSize(blanksWidth, lineHeight)) & kTitleBandClip;
}

std::string TitleStripText(const std::string& text) {
    return text.substr(0, kTitleMaxChars);
}

CTitleStrip::CTitleStrip(QWidget* parent) : QWidget(parent) {
    setFixedSize(kTitleStripWidth, kTitleStripHeight);
}

void CTitleStrip::Create(int x, int y) {
    move(x, y);
}

void CTitleStrip::SetText(const std::string& text) {
    m_strText = TitleStripText(text);
    update();
}

QFont CTitleStrip::TitleFont() const {
    return PanelFont(FontPixelHeight(logicalDpiY(), kTitleTextSize), kNormalWeight);
}

QRect CTitleStrip::BandRect() const {
    const QFontMetrics metrics(TitleFont(), this);
    return TitleBandRect(metrics.horizontalAdvance(QString(kTitleBandBlanks, QLatin1Char(' '))),
                         metrics.height());
}

void CTitleStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(TitleFont());
    painter.fillRect(BandRect(), kTitleBandColor);
    painter.setPen(kTitleTextColor);
    painter.drawText(
        kTitleTextRect, Qt::AlignLeft | Qt::AlignTop,
        QString::fromLatin1(m_strText.data(), static_cast<qsizetype>(m_strText.size())));
}
