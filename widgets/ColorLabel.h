#pragma once

// A static text that draws its own text in a chosen font and colour, straight over whatever
// its parent painted beneath it (the panel's title of the control-group area).

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

#include <string>

// At most this many characters of the text are drawn; the rest is not shown.
inline constexpr int kColorLabelMaxChars = 63;

inline constexpr int kLabelNormalWeight = 400;
inline constexpr int kLabelBoldWeight = 700;

// How a static control lays out its text.
enum class StaticStyle { Left, Center, Right, LeftNoWordWrap, CenterImage, Other };

// The text layout of a static style: top-aligned and word-wrapped, except left-no-wrap (one
// line per line break) and centre-image (one line, centred both ways).
int ColorLabelTextFlags(StaticStyle style);

// The character height in pixels of a font of `tenthsOfPoint` tenths of a point:
// -(LOGPIXELSY x tenths / 720) with integer division, so 16 points at 96 dpi is -21.
int PointSizePixelHeight(int logPixelsY, int tenthsOfPoint);

// The part of a text the label draws.
QString ColorLabelShownText(const std::string& text);

// The label's font description, rebuilt into a QFont after every change.
struct LabelLogFont {
    QString face;
    int height = 0;  // negative: character height in pixels; 0: the face's default
    int weight = kLabelNormalWeight;
};
QFont BuildLabelFont(const LabelLogFont& lf);

class CColorLabel : public QWidget {
    Q_OBJECT
public:
    explicit CColorLabel(QWidget* parent = nullptr);

    // Binds the label to its place on the parent with its layout style and takes the widget's
    // current font as its own. Until then SetText is ignored.
    void Attach(const QRect& geometry, StaticStyle style = StaticStyle::Center);
    bool IsAttached() const { return m_bAttached; }

    // Each setter refreshes: the parent repaints the label's area, the label draws over it.
    void SetTransparent(bool transparent);
    void SetFaceName(const QString& face, int charSet = 0);
    void SetPointSize(int points);
    void SetBold(bool bold);
    void SetTextColor(const QColor& color);
    void SetText(const std::string& text);

    const std::string& Text() const { return m_strText; }
    const QColor& TextColor() const { return m_crText; }
    const LabelLogFont& LogFont() const { return m_lf; }
    const QFont& LabelFont() const { return m_font; }
    bool IsTransparent() const { return m_bTransparent; }
    StaticStyle Style() const { return m_style; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void RebuildFont();
    void Refresh();

    QColor m_crText;
    LabelLogFont m_lf;
    QFont m_font;
    bool m_bTransparent = false;
    bool m_bAttached = false;
    StaticStyle m_style = StaticStyle::Center;
    std::string m_strText;
};
