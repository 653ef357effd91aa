#include "widgets/BitmapTextButton.h"

#include <QEvent>
#include <QPainter>

#include <cstdlib>

#include "widgets/Resources.h"

namespace {

// A caption line as drawn: carriage returns break lines like line feeds do, and a break at
// the very end draws nothing.
QString CaptionLines(const std::string& part) {
    QString text = QString::fromLatin1(part.data(), static_cast<qsizetype>(part.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

}  // namespace

std::vector<CaptionPart> LayoutCaption(const std::string& text, const QRect& imageRect) {
    if (text.empty()) return {};
    const QRect first = imageRect.translated(0, -kCaptionLift);
    const size_t lineFeed = text.find('\n');
    if (lineFeed == std::string::npos) {
        return {{first, Qt::AlignCenter | Qt::TextSingleLine,
                 QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()))}};
    }
    const int topCentred = Qt::AlignHCenter | Qt::AlignTop;
    return {{first, topCentred, CaptionLines(text.substr(0, lineFeed))},
            {first.translated(0, kCaptionLineStep), topCentred,
             CaptionLines(text.substr(lineFeed + 1))}};
}

int ImageToDraw(int requested, int imageCount) {
    return requested >= 0 && requested < imageCount ? requested : 0;
}

CBitmapTextButton::CBitmapTextButton(QWidget* parent) : QAbstractButton(parent) {}

void CBitmapTextButton::SetBitmaps(int first, int second, int third) {
    const auto load = [](int id) { return id != 0 ? LoadBitmapResource(id) : QPixmap(); };
    SetImages(load(first), load(second), load(third));
}

void CBitmapTextButton::SetImages(const QPixmap& first, const QPixmap& second,
                                  const QPixmap& third) {
    m_images.clear();
    if (first.isNull()) return;
    // Every image is drawn at the first one's size; one that failed to load is left out, so
    // the images behind it move up one place.
    m_images.push_back(first);
    if (!second.isNull()) m_images.push_back(second);
    if (!third.isNull()) m_images.push_back(third);
}

void CBitmapTextButton::SetFontFace(const QString& face, int pixelHeight) {
    QFont font = FaceFont(face);
    if (pixelHeight != 0) font.setPixelSize(std::abs(pixelHeight));
    font.setWeight(QFont::Normal);
    font.setStyleStrategy(QFont::PreferAntialias);
    m_font = font;
}

void CBitmapTextButton::SetTextColors(const QColor& normal, const QColor& disabled) {
    m_crText = normal;
    m_crTextDisabled = disabled;
}

void CBitmapTextButton::SetText(const std::string& text) {
    m_strText = text;
}

QRect CBitmapTextButton::ImageRect() const {
    if (m_images.empty()) return rect();
    return QRect(QPoint(0, 0), m_images.front().size());
}

QColor CBitmapTextButton::CaptionColor() const {
    return isEnabled() ? m_crText : m_crTextDisabled;
}

QSize CBitmapTextButton::sizeHint() const {
    return m_images.empty() ? QAbstractButton::sizeHint() : m_images.front().size();
}

void CBitmapTextButton::focusInEvent(QFocusEvent* event) {
    QAbstractButton::focusInEvent(event);
    update();
}

void CBitmapTextButton::changeEvent(QEvent* event) {
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) update();
}

void CBitmapTextButton::paintEvent(QPaintEvent*) {
    // The button always takes the size of its images.
    if (!m_images.empty() && size() != m_images.front().size()) resize(m_images.front().size());

    const QRect imageRect = ImageRect();
    QPainter painter(this);
    if (!m_images.empty()) {
        const QPixmap& image = m_images[ImageToDraw(m_nImage, ImageCount())];
        painter.drawPixmap(imageRect, image, imageRect);
    }
    if (m_strText.empty()) return;
    painter.setPen(CaptionColor());
    if (m_font) painter.setFont(*m_font);
    for (const CaptionPart& part : LayoutCaption(m_strText, imageRect)) {
        painter.drawText(part.rect, part.flags, part.text);
    }
}
