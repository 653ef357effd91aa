#include <gtest/gtest.h>

#include <QFont>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <climits>
#include <cstdlib>
#include <vector>

#include "link/Commands.h"
#include "platform/Clock.h"
#include "tests/support/ScriptedPort.h"
#include "widgets/KnobDisplay.h"
#include "widgets/KnobGeometry.h"
#include "widgets/Resources.h"

namespace {

ControlRecord Control(int16_t minValue, int16_t maxValue, int16_t minDisplay, int16_t maxDisplay,
                      int16_t value, uint32_t attributes = 0) {
    ControlRecord c;
    c.id = 0x0125;  // only the low byte goes out
    c.attributes = attributes;
    c.minValue = minValue;
    c.maxValue = maxValue;
    c.minDisplay = minDisplay;
    c.maxDisplay = maxDisplay;
    c.value = value;
    c.name = "Clip Level";
    return c;
}

// 0..200 shown as -100..100.
ControlRecord Bipolar(int16_t value) {
    return Control(0, 200, -100, 100, value);
}

ControlRecord Unipolar(int16_t value) {
    return Control(0, 255, 0, 100, value);
}

// ---- Pure geometry
// ---------------------------------------------------------------------------

TEST(KnobGeometry, LayoutOfThe148By91Window) {
    const KnobLayout layout = KnobLayoutFor(kKnobClientRect);
    EXPECT_EQ(layout.valueBox, (PanelRect{49, 60, 99, 80}));
    EXPECT_EQ(layout.minLabel, (PanelRect{5, 65, 50, 85}));
    EXPECT_EQ(layout.maxLabel, (PanelRect{98, 65, 143, 85}));
    EXPECT_EQ(layout.valueText, (PanelRect{50, 61, 99, 80}));
    EXPECT_EQ(layout.name, (PanelRect{0, 5, 148, 96}));
    EXPECT_EQ(layout.timecode, (PanelRect{0, 60, 148, 151}));
    // 120 x 12 / 96 = 15; 100 x 16 / 96 = 16.67 rounds down.
    EXPECT_EQ(KnobSmallFont(120).pixelSize(), 15);
    EXPECT_EQ(KnobLargeFont(100).pixelSize(), 16);
    EXPECT_EQ(KnobLargeFont(96).weight(), QFont::Bold);
}

TEST(KnobGeometry, UnipolarBarRunsFromTheLeftEdgeToTheValue) {
    // At the minimum the 0.001 margin is worth 0.148 of a pixel: no bar at all.
    EXPECT_TRUE(KnobBarSpan(Unipolar(0)).IsEmpty());
    EXPECT_EQ(KnobValueText(Unipolar(0)), "0%");
    EXPECT_EQ(KnobBarSpan(Unipolar(255)), (BarSpan{0, 148}));
    EXPECT_EQ(KnobValueText(Unipolar(255)), "100%");
    EXPECT_EQ(KnobBarSpan(Control(0, 200, 0, 100, 100)), (BarSpan{0, 74}));
}

TEST(KnobGeometry, BipolarBarGrowsFromTheZeroPoint) {
    EXPECT_EQ(KnobBarSpan(Bipolar(100)), (BarSpan{73, 74}));
    EXPECT_EQ(KnobBarSpan(Bipolar(98)), (BarSpan{72, 74}));
    EXPECT_EQ(KnobBarSpan(Bipolar(150)), (BarSpan{73, 110}));
    // -0.148 truncates to 0, left of the zero point, which then moves one column
    // right.
    EXPECT_EQ(KnobBarSpan(Bipolar(0)), (BarSpan{0, 74}));

    // The single-precision ratio of value 1 lies just below 0.005: -100, not -99.
    EXPECT_EQ(KnobValueText(Bipolar(1)), "-100%");
    EXPECT_EQ(KnobValueText(Bipolar(100)), "0%");
    EXPECT_EQ(KnobValueText(Bipolar(150)), "50%");
    EXPECT_EQ(KnobMinLabel(Bipolar(0)), "-100%");
}

TEST(KnobGeometry, TickSitsOneColumnLeftOfTheScaledSecondValue) {
    ControlRecord c = Bipolar(100);
    const std::vector<std::pair<uint16_t, int>> cases = {
        {40, 28}, {0, 0}, {200, 147}, {0xFF38, -148}};  // 0xFF38 is -200, left of the window
    for (const auto& [value2, x] : cases) {
        c.value2 = value2;
        EXPECT_EQ(KnobTickX(c), x) << value2;
    }
}

TEST(KnobGeometry, LabelsCarryAPercentSignUnlessIntegerOrPlain) {
    ControlRecord c = Control(0, 31, -8, 120, 12);
    EXPECT_EQ(KnobMaxLabel(c), "120%");
    c.attributes = kAttrIntegerValue;  // raw value and maxValue
    EXPECT_EQ(KnobMinLabel(c), "-8");
    EXPECT_EQ(KnobMaxLabel(c), "31");
    EXPECT_EQ(KnobValueText(c), "12");
    c.attributes = kAttrPlainNumber;  // displayed range and scaled value
    EXPECT_EQ(KnobMaxLabel(c), "120");
    EXPECT_EQ(KnobValueText(c), "41");
    c.attributes = kAttrLocalStepped;  // raw value, still a percentage
    EXPECT_EQ(KnobValueText(c), "12%");
}

TEST(KnobGeometry, RecordsWithoutARangeOrFarOutsideItNeitherDivideNorOverflow) {
    for (int16_t minDisplay : {0, -50}) {
        const ControlRecord c = Control(7, 7, minDisplay, 50, 7);
        EXPECT_TRUE(KnobBarSpan(c).IsEmpty()) << minDisplay;
        EXPECT_FALSE(KnobTickX(c).has_value());
        EXPECT_EQ(KnobDisplayedNumber(c), minDisplay);
    }
    // A bipolar control without a displayed range grows from the left edge.
    EXPECT_EQ(KnobBarSpan(Control(0, 200, -5, -5, 150)), (BarSpan{-1, 110}));

    const std::vector<int16_t> words = {INT16_MIN, -1, 0, 1, INT16_MAX};
    for (int16_t lo : words)
        for (int16_t hi : words)
            for (int16_t value : words) {
                ControlRecord c = Control(lo, hi, INT16_MIN, INT16_MAX, value);
                c.value2 = static_cast<uint16_t>(value);
                const BarSpan bar = KnobBarSpan(c);
                EXPECT_LE(bar.left, bar.right);
                (void)KnobTickX(c);
                (void)KnobValueText(c);
            }
    // 65535 ranges above the top of a 65535 wide displayed range passes INT_MAX.
    const ControlRecord far = Control(INT16_MAX, INT16_MAX - 1, INT16_MIN, INT16_MAX, INT16_MIN);
    EXPECT_EQ(KnobDisplayedNumber(far), INT_MAX);
}

TEST(KnobGeometry, TimecodeCountsThirtyFramesASecond) {
    EXPECT_EQ(TimecodeText(3723), "00:02:04:03");
    EXPECT_EQ(TimecodeText(32767), "00:18:12:07");
    EXPECT_EQ(TimecodeText(108000 + 2 * 1800 + 3 * 30 + 4), "01:02:03:04");
    EXPECT_EQ(TimecodeText(-5), "00:00:00:00");
}

// ---- The display with a unit behind it
// -------------------------------------------------------

class KnobDisplayTest : public testing::Test {
protected:
    void SetUp() override {
        ResetPanelState();
        g_selectedUnit = 0x10;
        record = Bipolar(100);
        SetClock(&clock);
        display.Create(0, 170);
    }
    void TearDown() override {
        port.ExpectDone();
        SetClock(nullptr);
    }

    // A request to unit 1 (wire address 0x12) carrying the control's low byte and
    // a word.
    void ExpectRequest(uint8_t code, int16_t word, std::vector<uint8_t> answer) {
        const auto w = static_cast<uint16_t>(word);
        const auto hi = static_cast<uint8_t>(w >> 8), lo = static_cast<uint8_t>(w & 0xFF);
        port.ExpectSend({0x08, 0x09, 0x12, 0x04, code, kWireId, hi, lo, 0xFF})
            .ExpectAnswer(LongAnswer(kRespValueUpdates, answer));
    }
    void ExpectAdjust(int16_t delta, uint8_t newValue) {
        ExpectRequest(kCmdAdjustControl, delta, {kWireId, 0, newValue});
    }
    QRgb Shown(int x, int y) const { return display.Buffer().pixel(x, y); }

    static constexpr uint8_t kWireId = 0x25;

    ScriptedPort port;
    VirtualClock clock;
    CKnobDisplay display;
    // The unit's answers write the record in the state model, so the display
    // shows that one.
    ControlRecord& record = g_menuDatabase.controls[kWireId];
};

TEST_F(KnobDisplayTest, SteppedControlSendsOneStepOnceTheKnobIsPastTheThreshold) {
    record.attributes = kAttrSingleStep;
    display.SetControl(&record);
    EXPECT_FALSE(display.Adjust(30));
    EXPECT_FALSE(display.Adjust(30));
    EXPECT_FALSE(display.Adjust(4));  // 64 is not yet past

    ExpectAdjust(+1, 101);
    EXPECT_TRUE(display.Adjust(1));
    EXPECT_EQ(display.StepAccum(), 0);
    EXPECT_EQ(record.value, 101);

    // A fast turn is still one step, and nothing is carried over.
    ExpectAdjust(-1, 100);
    EXPECT_TRUE(display.Adjust(-200));
    EXPECT_EQ(display.StepAccum(), 0);

    // A named record starts gathering afresh; a nameless one leaves it alone.
    EXPECT_FALSE(display.Adjust(64));
    ControlRecord nameless;
    display.SetControl(&nameless);
    EXPECT_EQ(display.StepAccum(), 64);
    display.SetControl(&record);
    EXPECT_FALSE(display.Adjust(1));
}

TEST_F(KnobDisplayTest, ContinuousControlSendsTheWholeMovementAndShowsTheAnswer) {
    display.SetControl(&record);
    ExpectAdjust(-300, 40);
    EXPECT_TRUE(display.Adjust(-300));
    EXPECT_EQ(record.value, 40);

    // The redraw after the exchange already shows the unit's new value: the bar
    // of 150.
    ExpectAdjust(+50, 150);
    EXPECT_TRUE(display.Adjust(50));
    EXPECT_EQ(Shown(109, 45), kKnobOutlineColor);
    EXPECT_EQ(Shown(108, 45), kKnobBarColor);
    EXPECT_EQ(Shown(110, 45), kKnobPanelColor);
}

TEST_F(KnobDisplayTest, LocalAndFrameTimeControlsChangeTheRecordWithoutSending) {
    record = Control(0, 10, 0, 10, 10, kAttrLocalStepped);
    display.SetControl(&record);
    EXPECT_FALSE(display.Adjust(64));
    EXPECT_TRUE(display.Adjust(1));  // held at the maximum, still a change to show
    EXPECT_EQ(record.value, 10);
    EXPECT_TRUE(display.Adjust(-65));
    EXPECT_EQ(record.value, 9);

    record = Control(0, 0, 0, 0, 10, kAttrLocalValue);
    display.SetControl(&record);
    EXPECT_TRUE(display.Adjust(-25));
    EXPECT_EQ(record.value, 0);
    record.value = 32760;
    EXPECT_TRUE(display.Adjust(100));  // held, not wrapped round to a negative frame time
    EXPECT_EQ(record.value, 32767);
}

TEST_F(KnobDisplayTest, EmptyNameHidesTheDisplayAndIgnoresTheKnob) {
    display.SetControl(&record);
    EXPECT_TRUE(display.isVisible());
    ControlRecord empty = record;
    empty.name.clear();
    display.SetControl(&empty);
    EXPECT_TRUE(display.isHidden());
    // The port script is empty: any byte sent fails the test.
    EXPECT_TRUE(display.Adjust(500));
    display.SendReset();
    display.SendValue();
}

TEST_F(KnobDisplayTest, SendResetAlwaysAsksFor32767AndSendValueSendsTheRecord) {
    record = Control(0, 10, 0, 10, -5);
    display.SetControl(&record);
    // A control entry and a dangling byte: an answer length the set command
    // accepts.
    ExpectRequest(kCmdSetValue, kResetValue, {kWireId, 0, 1, 0xFF});
    display.SendReset();
    EXPECT_EQ(record.value, 1);

    record.value = -5;
    ExpectRequest(kCmdSetValue, -5, {kWireId, 0, 1, 0xFF});
    display.SendValue();
}

TEST_F(KnobDisplayTest, DoubleClickIsReported) {
    QSignalSpy spy(&display, &CKnobDisplay::doubleClicked);
    display.SetControl(&record);
    QTest::mouseDClick(&display, Qt::LeftButton, Qt::NoModifier, QPoint(70, 40));
    EXPECT_EQ(spy.count(), 1);
}

// ---- Rendered probes
// -------------------------------------------------------------------------

class KnobRendering : public testing::Test {
protected:
    void SetUp() override {
        QFont::insertSubstitution(QStringLiteral("Trebuchet MS"), QStringLiteral("DejaVu Sans"));
    }
    QImage Render(ControlRecord* control) {
        display.SetControl(control);
        QImage image = CBufferedWnd::MakeBuffer(kPanelDpi);
        QPainter painter(&image);
        display.Draw(painter);
        return image;
    }
    // Text is drawn smoothed: count the pixels near a text colour rather than
    // exact ones.
    static int CountNear(const QImage& image, const PanelRect& area, QRgb colour) {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                n += std::abs(qGray(image.pixel(x, y)) - qGray(colour)) < 48;
        return n;
    }

    CKnobDisplay display;
};

TEST_F(KnobRendering, BipolarBarTickAndValueBox) {
    ControlRecord c = Bipolar(150);
    c.value2 = 40;
    const QImage image = Render(&c);
    EXPECT_EQ(image.pixel(0, 45), kKnobOutlineColor);
    EXPECT_EQ(image.pixel(20, 45), kKnobPanelColor);
    // Bar 73..110: outlined on columns 73 and 109, green between.
    EXPECT_EQ(image.pixel(72, 45), kKnobPanelColor);
    EXPECT_EQ(image.pixel(73, 45), kKnobOutlineColor);
    EXPECT_EQ(image.pixel(108, 45), kKnobBarColor);
    EXPECT_EQ(image.pixel(109, 45), kKnobOutlineColor);
    EXPECT_EQ(image.pixel(110, 45), kKnobPanelColor);
    // Tick at column 28 from row 89 up to row 82; row 81 is not drawn.
    EXPECT_EQ(image.pixel(28, 89), kKnobTickColor);
    EXPECT_EQ(image.pixel(28, 82), kKnobTickColor);
    EXPECT_EQ(image.pixel(28, 81), kKnobPanelColor);
    // Value box (49, 60, 99, 80): dark fill, outline on its outermost pixels,
    // round corners.
    EXPECT_EQ(image.pixel(53, 70), kKnobValueBoxColor);
    EXPECT_EQ(image.pixel(49, 70), kKnobOutlineColor);
    EXPECT_EQ(image.pixel(98, 70), kKnobOutlineColor);
    EXPECT_EQ(image.pixel(99, 70), kKnobBarColor);
    EXPECT_EQ(image.pixel(60, 79), kKnobOutlineColor);
    EXPECT_EQ(image.pixel(60, 80), kKnobPanelColor);
    EXPECT_EQ(image.pixel(49, 60), kKnobPanelColor);
    // White value in the box, black label and name.
    const KnobLayout layout = KnobLayoutFor(kKnobClientRect);
    EXPECT_GT(CountNear(image, layout.valueText, kKnobValueTextColor), 20);
    EXPECT_GT(CountNear(image, layout.minLabel, kKnobLabelColor), 20);
    EXPECT_GT(CountNear(image, {1, 5, 147, 25}, kKnobLabelColor), 40);
    // The window's own buffer holds the same picture.
    EXPECT_EQ(display.Buffer(), image);
}

TEST_F(KnobRendering, PlainNumbersTimecodeAndNoControlDrawNoBar) {
    ControlRecord c = Unipolar(255);
    EXPECT_EQ(Render(&c).pixel(146, 45), kKnobBarColor);
    c.attributes = kAttrPlainNumber;
    EXPECT_EQ(Render(&c).pixel(146, 45), kKnobPanelColor);

    c = Control(0, 0, 0, 0, 3723, kAttrLocalValue);
    QImage image = Render(&c);
    // No value box (its bottom edge would be row 79): white timecode text on
    // grey.
    EXPECT_EQ(image.pixel(74, 79), kKnobPanelColor);
    EXPECT_GT(CountNear(image, {1, 60, 147, 85}, kKnobValueTextColor), 60);

    image = Render(nullptr);
    for (int y = 1; y < 90; y += 8)
        for (int x = 1; x < 147; x += 8)
            ASSERT_EQ(image.pixel(x, y), kKnobPanelColor) << x << "," << y;
}

}  // namespace
