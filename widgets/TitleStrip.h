#pragma once

// The unit title strip: the selected unit's title text on a grey band.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

#include <string>

inline constexpr int kTitleStripWidth = 458;
inline constexpr int kTitleStripHeight = 24;

// The title is held in 256 bytes.
inline constexpr size_t kTitleMaxChars = 255;

// The band is as wide as 40 blanks of the title font, drawn from (110, 4) and clipped by
// (110, 4)-(310, 19); the text goes left-aligned into (110, 2)-(310, 17).
inline constexpr int kTitleBandBlanks = 40;
inline constexpr QRect kTitleBandClip{110, 4, 200, 15};
inline constexpr QRect kTitleTextRect{110, 2, 200, 15};
inline constexpr int kTitleTextSize = 13;  // n of -(LOGPIXELSY x n / 96)
inline constexpr QColor kTitleBandColor{89, 89, 89};
inline constexpr QColor kTitleTextColor{210, 210, 210};

// The band behind the title for a font whose 40 blanks are `blanksWidth` wide and whose lines
// are `lineHeight` high.
QRect TitleBandRect(int blanksWidth, int lineHeight);
// The part of a title the strip keeps.
std::string TitleStripText(const std::string& text);

class CTitleStrip : public QWidget {
    Q_OBJECT
public:
    explicit CTitleStrip(QWidget* parent = nullptr);

    // Places the strip with its top-left corner at (x, y) of the parent.
    void Create(int x, int y);
    void SetText(const std::string& text);
    const std::string& Text() const { return m_strText; }

    // The band this strip paints with its current font.
    QRect BandRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont TitleFont() const;

    std::string m_strText;
};
