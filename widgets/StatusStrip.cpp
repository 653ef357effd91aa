#include "widgets/StatusStrip.h"

#include <QPainter>

#include <cmath>

#include "link/UnitScanner.h"

QRect OnlineDigitRect(int x, int y, int unit) {
    return {x + kOnlineDigitLeft + kOnlineDigitStep * (unit - 1), y + kDigitTop, kDigitSize,
            kDigitSize};
}

QRect ActiveDigitRect(int x, int y) {
    return {x + kActiveDigitLeft, y + kDigitTop, kDigitSize, kDigitSize};
}

int BackingChannel(int32_t percent) {
    // 100 x 2.55 is 254.99999999999997 in double precision, so full scale gives 254.
    const double product = std::trunc(percent * 2.55);
    return product > 255.0 ? 255 : static_cast<int>(product);
}

QColor BackingSwatchColor(int r, int g, int b) {
    return {r & 0xFF, g & 0xFF, b & 0xFF};
}

QColor OnAirLampColor(bool onAir) {
    return onAir ? kOnAirLitColor : kOnAirDarkColor;
}

DigitPlaces PlaceDigits(int x, int y, const CUnitScanner* units, int activeUnit, int lostUnit) {
    DigitPlaces places;
    for (int unit = 1; unit <= kUnitCount; ++unit) {
        const bool online = units && units->IsUnitPresent(unit) && unit != lostUnit;
        places.online[unit - 1] = online ? OnlineDigitRect(x, y, unit) : kHiddenDigitRect;
        places.active[unit - 1] = activeUnit == unit ? ActiveDigitRect(x, y) : kHiddenDigitRect;
    }
    return places;
}

CStatusStrip::CStatusStrip(QWidget* parent) : QWidget(parent) {
    setFixedSize(kStatusStripWidth, kStatusStripHeight);
}

void CStatusStrip::Create(int x, int y, const CUnitScanner* units,
                          QWidget* const online[kUnitCount], QWidget* const active[kUnitCount]) {
    move(x, y);
    m_origin = QPoint(x, y);
    m_pUnits = units;
    for (int k = 0; k < kUnitCount; ++k) {
        m_pOnlineDigit[k] = online ? online[k] : nullptr;
        m_pActiveDigit[k] = active ? active[k] : nullptr;
    }
    m_nActiveUnit = 0;
    m_bOnAir = false;
    m_nBackR = m_nBackG = m_nBackB = 0;
    Invalidate();
}

void CStatusStrip::SetScreenColor(int32_t r, int32_t g, int32_t b) {
    m_nBackR = BackingChannel(r);
    m_nBackG = BackingChannel(g);
    m_nBackB = BackingChannel(b);
    Invalidate();
}

void CStatusStrip::SetActiveUnit(uint8_t unit) {
    m_nActiveUnit = unit;
    for (QWidget* digit : m_pOnlineDigit)
        MoveDigit(digit, kHiddenDigitRect);
    for (QWidget* digit : m_pActiveDigit)
        MoveDigit(digit, kHiddenDigitRect);
    Invalidate();
}

void CStatusStrip::SetLostUnit(uint8_t unit) {
    if (unit == m_nLostUnit) return;
    m_nLostUnit = unit;
    update();
}

void CStatusStrip::SetOnAir(bool onAir) {
    if (onAir == m_bOnAir) return;
    m_bOnAir = onAir;
    SetActiveUnit(m_nActiveUnit);
}

void CStatusStrip::Invalidate() {
    ++m_invalidations;
    update();
}

void CStatusStrip::MoveDigit(QWidget* digit, const QRect& place) {
    if (digit && digit->geometry() != place) digit->setGeometry(place);
}

void CStatusStrip::paintEvent(QPaintEvent*) {
    ++m_paintCount;
    // The digits follow the scanner at every paint, so a unit that stops answering loses its
    // Online digit without anyone telling the strip.
    const DigitPlaces places =
        PlaceDigits(m_origin.x(), m_origin.y(), m_pUnits, m_nActiveUnit, m_nLostUnit);
    for (int k = 0; k < kUnitCount; ++k) {
        MoveDigit(m_pOnlineDigit[k], places.online[k]);
        MoveDigit(m_pActiveDigit[k], places.active[k]);
    }

    QPainter painter(this);
    painter.setPen(QPen(Qt::black, 1));
    // Outlines are one pixel wide inside each rectangle.
    painter.setBrush(BackingSwatchColor(m_nBackR, m_nBackG, m_nBackB));
    painter.drawRoundedRect(kBackingSwatchRect.adjusted(0, 0, -1, -1), kStripLampRadius,
                            kStripLampRadius);
    painter.setBrush(OnAirLampColor(m_bOnAir));
    painter.drawRoundedRect(kOnAirLampRect.adjusted(0, 0, -1, -1), kStripLampRadius,
                            kStripLampRadius);
}
