#pragma once

// The unit status strip near the bottom of the status box: a green digit over each Main Unit
// on line, the selected unit's digit in the Active box, a swatch in the backing colour and the
// On Air lamp. The digits are widgets of the main panel that the strip only moves about.

#include <QColor>
#include <QRect>
#include <QWidget>

#include <array>
#include <cstdint>

#include "link/PanelState.h"

class CUnitScanner;

// The strip draws up to x 450 and y 20 of its own coordinates, beyond the control it replaces.
inline constexpr int kStatusStripWidth = 451;
inline constexpr int kStatusStripHeight = 21;

// The 15 x 15 digit bitmaps 1..4.
inline constexpr std::array<int, kUnitCount> kDigitBitmaps{144, 148, 149, 150};
inline constexpr int kDigitSize = 15;

// Digit places, relative to the strip's top-left corner on the parent.
inline constexpr int kOnlineDigitLeft = 56;  // digit k (1..4) at 56 + 20 (k - 1)
inline constexpr int kOnlineDigitStep = 20;
inline constexpr int kActiveDigitLeft = 205;
inline constexpr int kDigitTop = 4;
// A digit that is not shown is shrunk to nothing.
inline constexpr QRect kHiddenDigitRect{0, 0, 0, 0};

// The swatch (304, 4)-(350, 20) and the lamp (414, 4)-(450, 20); right and bottom exclusive.
inline constexpr QRect kBackingSwatchRect{304, 4, 46, 16};
inline constexpr QRect kOnAirLampRect{414, 4, 36, 16};
inline constexpr double kStripLampRadius = 2.5;
inline constexpr QColor kOnAirLitColor{255, 0, 0};
inline constexpr QColor kOnAirDarkColor{0, 0, 0};

// Place of Online digit `unit` (1..4) and of the Active digit for a strip at (x, y).
QRect OnlineDigitRect(int x, int y, int unit);
QRect ActiveDigitRect(int x, int y);

// A backing channel 0..255 from a percentage: trunc(percent x 2.55) in double precision, at
// most 255. Negative percentages stay negative; the swatch keeps the low byte.
int BackingChannel(int32_t percent);
QColor BackingSwatchColor(int r, int g, int b);
QColor OnAirLampColor(bool onAir);

// Where each digit goes at a paint: Online digit k when unit k is on line and is not the lost
// unit, Active digit k when unit k is the active one; everything else to kHiddenDigitRect.
struct DigitPlaces {
    std::array<QRect, kUnitCount> online;
    std::array<QRect, kUnitCount> active;
};
DigitPlaces PlaceDigits(int x, int y, const CUnitScanner* units, int activeUnit, int lostUnit = 0);

class CStatusStrip : public QWidget {
    Q_OBJECT
public:
    explicit CStatusStrip(QWidget* parent = nullptr);

    // Places the strip at (x, y) of the parent and binds the scanner and the eight digit
    // widgets (Online 1..4, Active 1..4; siblings of the strip). Starts with no unit active,
    // off air and a black swatch.
    void Create(int x, int y, const CUnitScanner* units, QWidget* const online[kUnitCount],
                QWidget* const active[kUnitCount]);

    void SetScreenColor(int32_t r, int32_t g, int32_t b);
    // Unit number 1..4, 0 = none. The digits are taken down and put back at the next paint.
    void SetActiveUnit(uint8_t unit);
    void SetOnAir(bool onAir);
    // Unit number 1..4 of the selected unit while the panel has lost it, 0 = none. The scanner
    // does not probe the selected unit, so without this its digit would stay lit.
    void SetLostUnit(uint8_t unit);

    int BackR() const { return m_nBackR; }
    int BackG() const { return m_nBackG; }
    int BackB() const { return m_nBackB; }
    uint8_t ActiveUnit() const { return m_nActiveUnit; }
    uint8_t LostUnit() const { return m_nLostUnit; }
    bool OnAir() const { return m_bOnAir; }
    int PaintCount() const { return m_paintCount; }
    int InvalidationCount() const { return m_invalidations; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Invalidate();
    static void MoveDigit(QWidget* digit, const QRect& place);

    std::array<QWidget*, kUnitCount> m_pOnlineDigit{};
    std::array<QWidget*, kUnitCount> m_pActiveDigit{};
    int m_nBackR = 0;
    int m_nBackG = 0;
    int m_nBackB = 0;
    QPoint m_origin;
    const CUnitScanner* m_pUnits = nullptr;
    uint8_t m_nActiveUnit = 0;
    uint8_t m_nLostUnit = 0;
    bool m_bOnAir = false;
    int m_paintCount = 0;
    int m_invalidations = 0;
};
