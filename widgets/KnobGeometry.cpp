#include "widgets/KnobGeometry.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "widgets/Resources.h"

namespace {

// The bar's margin: nearest single-precision number to 0.001, added to the double quotient.
constexpr float kBarMargin = 0.001f;
// The value text puts back a margin of its own, this time in double precision.
constexpr double kValueMargin = 0.001;

constexpr int kValueBoxWidth = 50;
constexpr int kValueBoxTop = 60;
constexpr int kBoxAndLabelHeight = 20;
constexpr int kLabelInset = 5;
constexpr int kLabelWidth = 45;
constexpr int kLabelTop = 65;
constexpr int kNameTop = 5;
constexpr int kTimecodeTop = 60;

constexpr int kFramesPerMinute = 60 * kFramesPerSecond;
constexpr int kFramesPerHour = 60 * kFramesPerMinute;

bool Shows(const ControlRecord& control, uint32_t bits) {
    return (control.attributes & bits) != 0;
}

// Casting a float to int drops the fraction; every product here stays far inside the int range
// (at most 148 x 65535).
int Trunc(float x) {
    return static_cast<int>(x);
}

BarSpan Between(int a, int b) {
    return {std::min(a, b), std::max(a, b)};
}

QString WithPercent(int n, bool percent) {
    return percent ? QStringLiteral("%1%").arg(n) : QString::number(n);
}

bool PlainLabels(const ControlRecord& control) {
    return Shows(control, kAttrIntegerValue | kAttrPlainNumber);
}

}  // namespace

QFont KnobSmallFont(int logPixelsY) {
    return PanelFont(FontPixelHeight(logPixelsY, kKnobSmallFontSize), QFont::Normal);
}

QFont KnobLargeFont(int logPixelsY) {
    return PanelFont(FontPixelHeight(logPixelsY, kKnobLargeFontSize), QFont::Bold);
}

QFont KnobTimecodeFont(int logPixelsY) {
    return PanelFont(FontPixelHeight(logPixelsY, kKnobTimecodeFontSize), QFont::Normal);
}

KnobLayout KnobLayoutFor(const PanelRect& client) {
    KnobLayout layout;
    const int boxLeft = client.Width() / 2 - kValueBoxWidth / 2;
    layout.valueBox = {boxLeft, kValueBoxTop, boxLeft + kValueBoxWidth,
                       kValueBoxTop + kBoxAndLabelHeight};
    layout.minLabel = {kLabelInset, kLabelTop, kLabelInset + kLabelWidth,
                       kLabelTop + kBoxAndLabelHeight};
    const int maxRight = client.Width() - kLabelInset;
    layout.maxLabel = {maxRight - kLabelWidth, kLabelTop, maxRight, kLabelTop + kBoxAndLabelHeight};
    layout.valueText = {layout.valueBox.left + 1, layout.valueBox.top + 1, layout.valueBox.right,
                        layout.valueBox.bottom};
    layout.name = client.Moved(0, kNameTop);
    layout.timecode = client.Moved(0, kTimecodeTop);
    return layout;
}

bool HasValueRange(const ControlRecord& control) {
    return control.maxValue != control.minValue;
}

float KnobBarRatio(const ControlRecord& control) {
    if (!HasValueRange(control)) return 0.0f;
    const double share = static_cast<double>(control.value - control.minValue) /
                         static_cast<double>(control.maxValue - control.minValue);
    const double margin = IsBipolar(control) ? -double{kBarMargin} : double{kBarMargin};
    return static_cast<float>(share + margin);
}

BarSpan KnobBarSpan(const ControlRecord& control, int width) {
    if (!HasValueRange(control)) return {};
    const float w = static_cast<float>(width);
    int right = Trunc(w * KnobBarRatio(control));
    if (!IsBipolar(control)) return Between(0, right);

    // The zero point of the displayed range; with no displayed range at all there is nothing
    // below zero to show, and the bar grows from the left edge.
    float below = 0.0f;
    if (control.maxDisplay != control.minDisplay)
        below = static_cast<float>(static_cast<double>(-control.minDisplay) /
                                   static_cast<double>(control.maxDisplay - control.minDisplay));
    int zero = Trunc(w * below) - 1;
    // A value just below zero would otherwise cover the zero column; a value at zero still
    // gets a one-column bar.
    if (zero > right) ++zero;
    if (right == zero) ++right;
    return Between(zero, right);
}

std::optional<int> KnobTickX(const ControlRecord& control, int width) {
    if (!HasValueRange(control)) return std::nullopt;
    const int second = static_cast<int16_t>(control.value2);
    int x = width * (second - control.minValue) / (control.maxValue - control.minValue);
    if (x > 0) --x;
    return x;
}

int KnobDisplayedNumber(const ControlRecord& control) {
    if (Shows(control, kAttrLocalStepped | kAttrIntegerValue)) return control.value;
    if (!HasValueRange(control)) return control.minDisplay;
    const double span = static_cast<double>(control.maxDisplay - control.minDisplay);
    const double scaled =
        std::trunc((static_cast<double>(KnobBarRatio(control)) + kValueMargin) * span);
    // A value far outside its range times a wide displayed range can pass the int range; the
    // text then shows the nearest number that fits.
    const double shown = scaled + control.minDisplay;
    return static_cast<int>(std::clamp(shown, double{INT_MIN}, double{INT_MAX}));
}

QString KnobMinLabel(const ControlRecord& control) {
    return WithPercent(control.minDisplay, !PlainLabels(control));
}

QString KnobMaxLabel(const ControlRecord& control) {
    if (Shows(control, kAttrIntegerValue)) return QString::number(control.maxValue);
    return WithPercent(control.maxDisplay, !Shows(control, kAttrPlainNumber));
}

QString KnobValueText(const ControlRecord& control) {
    return WithPercent(KnobDisplayedNumber(control), !PlainLabels(control));
}

QString KnobNameText(const std::string& name) {
    QString text = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString TimecodeText(int frames) {
    int v = std::max(frames, 0);
    const int hours = v / kFramesPerHour;
    v %= kFramesPerHour;
    const int minutes = v / kFramesPerMinute;
    v %= kFramesPerMinute;
    const int seconds = v / kFramesPerSecond;
    const int rest = v % kFramesPerSecond;
    return QString::asprintf("%02d:%02d:%02d:%02d", hours, minutes, seconds, rest);
}

KnobStep GatherKnobStep(int accum, int delta) {
    const int gathered = accum + delta;
    if (gathered > kKnobStepThreshold) return {+1, 0};
    if (gathered < -kKnobStepThreshold) return {-1, 0};
    return {0, gathered};
}

int16_t FrameTimeAfterMove(int16_t value, int16_t delta) {
    const int moved = std::clamp(value + delta, 0, int{kMaxFrameTime});
    return static_cast<int16_t>(moved);
}

int16_t LocalValueAfterStep(const ControlRecord& control, int step) {
    int moved = std::min(control.value + step, int{control.maxValue});
    moved = std::max(moved, int{control.minValue});
    return static_cast<int16_t>(moved);
}
