#pragma once

// A push button drawn as one of a few bitmaps with a one- or two-line caption over it. Which
// bitmap is shown is the main panel's choice (m_nImage), not the button's pressed state.

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QString>

#include <optional>
#include <string>
#include <vector>

// The second line of a caption starts this far below the first.
inline constexpr int kCaptionLineStep = 16;
// The caption is drawn one pixel above the image's middle.
inline constexpr int kCaptionLift = 1;
inline constexpr QColor kDefaultCaptionColor{255, 255, 255};

// One piece of a caption: where it goes and how it sits there.
struct CaptionPart {
    QRect rect;
    int flags;
    QString text;
};

// The caption laid into the image rectangle: a single line centred both ways, or the part
// before the line feed and the part after it, each centred and top-aligned, the second
// kCaptionLineStep pixels lower. A carriage return ending the first part only ends the line.
std::vector<CaptionPart> LayoutCaption(const std::string& text, const QRect& imageRect);

// The image that is drawn for m_nImage: an index the button does not hold draws the first.
int ImageToDraw(int requested, int imageCount);

class CBitmapTextButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CBitmapTextButton(QWidget* parent = nullptr);

    // The images from bitmap resources (0 = none). Without the first there are no images and
    // the caption is centred in the button's own rectangle.
    void SetBitmaps(int first, int second, int third);
    // The same from pixmaps already at hand; a null first pixmap means no images.
    void SetImages(const QPixmap& first, const QPixmap& second = {}, const QPixmap& third = {});
    // The caption font: the face at this pixel height (negative: character height), used as
    // given whatever the screen's resolution.
    void SetFontFace(const QString& face, int pixelHeight);
    void SetTextColors(const QColor& normal, const QColor& disabled);
    // Does not repaint; the caller invalidates the button.
    void SetText(const std::string& text);

    const std::string& Text() const { return m_strText; }
    int ImageCount() const { return static_cast<int>(m_images.size()); }
    bool ImagesLoaded() const { return !m_images.empty(); }
    // The rectangle the caption is laid out in: the first image's, or the button's own.
    QRect ImageRect() const;
    QColor CaptionColor() const;

    QSize sizeHint() const override;

    // Index of the image drawn: 0 = normal, 1 = marked.
    int m_nImage = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    std::string m_strText;
    std::vector<QPixmap> m_images;
    QColor m_crText = kDefaultCaptionColor;
    QColor m_crTextDisabled = kDefaultCaptionColor;
    std::optional<QFont> m_font;
};
