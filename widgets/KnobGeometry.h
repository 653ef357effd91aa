#pragma once

// Every number a parameter display shows or paints, as small pure functions of the control
// record: the layout of the 148 x 91 window, the bar, the tick, the value and label texts, the
// timecode, the fonts, and what a knob movement does to the record. CKnobDisplay only paints
// what these return, so the tests check the pixels' positions here without painting.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>

#include "link/PanelState.h"

// ---- Attribute bits only the display interprets ----------------------------------------------

// The value text shows `value` itself without a percent sign; the maximum label shows maxValue.
inline constexpr uint32_t kAttrIntegerValue = 0x0010;
// No bar and no tick; labels and value text are plain numbers.
inline constexpr uint32_t kAttrPlainNumber = 0x0008;

// ---- Window, colours, fonts ------------------------------------------------------------------

inline constexpr int kKnobWidth = 148;
inline constexpr int kKnobHeight = 91;

inline constexpr QRgb kKnobPanelColor = qRgb(153, 153, 153);
inline constexpr QRgb kKnobBarColor = qRgb(127, 183, 59);
inline constexpr QRgb kKnobTickColor = qRgb(255, 255, 255);
inline constexpr QRgb kKnobValueBoxColor = qRgb(64, 64, 64);
inline constexpr QRgb kKnobOutlineColor = qRgb(0, 0, 0);
inline constexpr QRgb kKnobLabelColor = qRgb(0, 0, 0);
inline constexpr QRgb kKnobValueTextColor = qRgb(255, 255, 255);

// The value box's corners are quarters of a 10 x 10 ellipse.
inline constexpr int kValueBoxCornerRadius = 5;

// Font sizes in pixels at 96 dpi: labels and value, name, timecode.
inline constexpr int kKnobSmallFontSize = 12;
inline constexpr int kKnobLargeFontSize = 16;
inline constexpr int kKnobTimecodeFontSize = 16;

// Labels and value text: normal weight.
QFont KnobSmallFont(int logPixelsY);
// The control name: bold.
QFont KnobLargeFont(int logPixelsY);
// Name and timecode of a frame-time control: normal weight.
QFont KnobTimecodeFont(int logPixelsY);

// ---- Layout ----------------------------------------------------------------------------------

// A rectangle the way the panel's drawing code counts: right and bottom lie outside it, and an
// outline is drawn on its outermost pixels.
struct PanelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    PanelRect Moved(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    QRect ToQRect() const { return QRect(left, top, right - left, bottom - top); }
    friend bool operator==(const PanelRect&, const PanelRect&) = default;
};

inline constexpr PanelRect kKnobClientRect{0, 0, kKnobWidth, kKnobHeight};

struct KnobLayout {
    PanelRect valueBox;   // the dark rounded box behind the value
    PanelRect minLabel;   // lower end of the range, left-aligned
    PanelRect maxLabel;   // upper end of the range, right-aligned
    PanelRect valueText;  // the value box one pixel right and down, same right and bottom
    PanelRect name;       // centred horizontally, from the top
    PanelRect timecode;   // centred horizontally, from the top
};

KnobLayout KnobLayoutFor(const PanelRect& client);

// ---- Bar, tick and value ---------------------------------------------------------------------

// A control whose maxValue equals minValue has no position: the ratio of value to range is
// undefined there. Such a record draws no bar and no tick, and its scaled value shows the lower
// end of the displayed range (the panel's keyframe counter with a single keyframe looks like
// this, but it is integer-valued and shows its raw value anyway).
bool HasValueRange(const ControlRecord& control);

// Whether the bar grows from the zero point of the displayed range rather than from the left.
inline bool IsBipolar(const ControlRecord& control) {
    return control.minDisplay < 0;
}

// The bar's single-precision position r: the value's share of its range, 0.001 more for a
// unipolar control (so that the ends land inside the window) and 0.001 less for a bipolar one.
// The quotient is formed in double precision and the sum rounded to single precision. 0 for a
// record without a value range.
float KnobBarRatio(const ControlRecord& control);

// Columns of the bar, left included and right excluded, always the full window height. A span
// with right <= left draws nothing (a unipolar control at its minimum).
struct BarSpan {
    int left = 0;
    int right = 0;
    bool IsEmpty() const { return right <= left; }
    friend bool operator==(const BarSpan&, const BarSpan&) = default;
};

// Unipolar: from 0 to trunc(width x r). Bipolar: between the zero point trunc(width x f) - 1,
// f being the share of the displayed range below zero, and trunc(width x r); the two are moved
// apart so the bar is always at least one column wide. A displayed range of zero width puts the
// zero point at the left edge.
BarSpan KnobBarSpan(const ControlRecord& control, int width = kKnobWidth);

// Column of the tick at value2: the scaled value less one when it is right of the left edge.
// None for a record without a value range.
std::optional<int> KnobTickX(const ControlRecord& control, int width = kKnobWidth);

// The tick runs from (x, kTickBottom) up to (x, kTickTop), both included.
inline constexpr int kTickBottom = kKnobHeight - 2;
inline constexpr int kTickTop = kKnobHeight - 9;

// The number the value text shows: `value` itself for local and integer controls, otherwise the
// bar position scaled to the displayed range. The scaled number is clamped to the int range for
// values far outside their range.
int KnobDisplayedNumber(const ControlRecord& control);

// Label and value texts, with or without the percent sign as the attributes ask.
QString KnobMinLabel(const ControlRecord& control);
QString KnobMaxLabel(const ControlRecord& control);
QString KnobValueText(const ControlRecord& control);

// The control name as drawn: the unit's 8-bit text, every line break a new line.
QString KnobNameText(const std::string& name);

// hh:mm:ss:ff of a frame count at 30 frames per second. A frame time never goes below 0, so a
// negative count shows as 00:00:00:00.
QString TimecodeText(int frames);

// ---- Knob movement ---------------------------------------------------------------------------

inline constexpr int kFramesPerSecond = 30;
// A knob has to move further than this either way before a stepped control moves by one.
inline constexpr int kKnobStepThreshold = 64;
inline constexpr int16_t kMaxFrameTime = 32767;

struct KnobStep {
    int step = 0;   // +1, -1 or 0
    int accum = 0;  // what is left gathered for the next step
};

// Gathers a movement towards the next whole step. Only more than +-64 steps, and a step
// empties the accumulator however far past the threshold the knob went.
KnobStep GatherKnobStep(int accum, int delta);

// A frame time moved by delta frames: never below 0, and held at 32767 rather than wrapping
// round to a negative 16-bit number when the knob runs past the largest frame time.
int16_t FrameTimeAfterMove(int16_t value, int16_t delta);

// A local control's value after one step, kept within minValue..maxValue (minValue wins when
// the two are crossed).
int16_t LocalValueAfterStep(const ControlRecord& control, int step);
