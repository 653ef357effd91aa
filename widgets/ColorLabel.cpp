#include "widgets/ColorLabel.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "widgets/Resources.h"

int ColorLabelTextFlags(StaticStyle style) {
    switch (style) {
        case StaticStyle::Right:
            return Qt::AlignRight | Qt::AlignTop | Qt::TextWordWrap;
        case StaticStyle::Center:
            return Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
        case StaticStyle::LeftNoWordWrap:
            return Qt::AlignLeft | Qt::AlignTop;
        case StaticStyle::CenterImage:
            return Qt::AlignCenter | Qt::TextSingleLine;
        case StaticStyle::Left:
        case StaticStyle::Other:
            break;
    }
    return Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
}

int PointSizePixelHeight(int logPixelsY, int tenthsOfPoint) {
    return -(logPixelsY * tenthsOfPoint / 720);
}

QString ColorLabelShownText(const std::string& text) {
    const size_t shown = std::min<size_t>(text.size(), kColorLabelMaxChars);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(shown));
}

QFont BuildLabelFont(const LabelLogFont& lf) {
    QFont font = FaceFont(lf.face);
    // A negative height is the character height, which is what a pixel size measures.
    if (lf.height != 0) font.setPixelSize(std::abs(lf.height));
    font.setWeight(lf.weight >= kLabelBoldWeight ? QFont::Bold : QFont::Normal);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

CColorLabel::CColorLabel(QWidget* parent) : QWidget(parent) {
    m_crText = palette().color(QPalette::WindowText);
    m_lf.face = font().family();
    RebuildFont();
}

void CColorLabel::Attach(const QRect& geometry, StaticStyle style) {
    setGeometry(geometry);
    m_style = style;
    const QFont current = font();
    m_lf.face = current.family();
    m_lf.height =
        current.pixelSize() > 0
            ? -current.pixelSize()
            : PointSizePixelHeight(logicalDpiY(),
                                   static_cast<int>(std::lround(current.pointSizeF() * 10)));
    m_lf.weight = current.weight() >= QFont::Bold ? kLabelBoldWeight : kLabelNormalWeight;
    RebuildFont();
    m_bAttached = true;
}

void CColorLabel::SetTransparent(bool transparent) {
    m_bTransparent = transparent;
    Refresh();
}

void CColorLabel::SetFaceName(const QString& face, int /*charSet*/) {
    // Every face the panel uses is Latin-1; the character set needs no Qt counterpart.
    m_lf.face = face;
    RebuildFont();
    Refresh();
}

void CColorLabel::SetPointSize(int points) {
    m_lf.height = PointSizePixelHeight(logicalDpiY(), points * 10);
    RebuildFont();
    Refresh();
}

void CColorLabel::SetBold(bool bold) {
    m_lf.weight = bold ? kLabelBoldWeight : kLabelNormalWeight;
    RebuildFont();
    Refresh();
}

void CColorLabel::SetTextColor(const QColor& color) {
    m_crText = color;
    Refresh();
}

void CColorLabel::SetText(const std::string& text) {
    if (!m_bAttached) return;
    m_strText = text;
    Refresh();
}

void CColorLabel::RebuildFont() {
    m_font = BuildLabelFont(m_lf);
}

void CColorLabel::Refresh() {
    repaint();
    // The parent paints its background again under the label, which takes the old text away;
    // the label then draws over it.
    if (QWidget* parent = parentWidget()) parent->repaint(geometry());
}

void CColorLabel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The face colour of an opaque label follows the system colours.
    if (event->type() == QEvent::PaletteChange) Refresh();
}

void CColorLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!m_bTransparent) painter.fillRect(rect(), palette().color(QPalette::Button));
    painter.setFont(m_font);
    painter.setPen(m_crText);
    painter.drawText(rect(), ColorLabelTextFlags(m_style), ColorLabelShownText(m_strText));
}
