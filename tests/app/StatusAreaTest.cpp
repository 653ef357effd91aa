// The rules of the status area and of the captions, on their own and on the running panel.

#include "app/panel/StatusArea.h"
#include "link/PanelHost.h"
#include "tests/app/PanelFixture.h"
#include "widgets/BitmapTextButton.h"

namespace {

ControlRecord Colour(int16_t min, int16_t max, int16_t lo, int16_t hi, int16_t value) {
    ControlRecord c;
    c.minValue = min;
    c.maxValue = max;
    c.minDisplay = lo;
    c.maxDisplay = hi;
    c.value = value;
    return c;
}

TEST(ScreenColor, ScalesTruncatesAndStaysInTheDisplayRange) {
    EXPECT_EQ(ScreenColorPercent(Colour(0, 100, 0, 100, 37)), 37);  // same ranges: the value
    EXPECT_EQ(ScreenColorPercent(Colour(0, 255, 0, 100, 255)), 100);
    EXPECT_EQ(ScreenColorPercent(Colour(0, 255, 0, 100, 31)), 12);  // 12.16 truncated
    EXPECT_EQ(ScreenColorPercent(Colour(0, 255, 0, 100, 300)), 100);
    EXPECT_EQ(ScreenColorPercent(Colour(0, 255, 0, 100, -20)), 0);
    // An empty value range has no scale: the low end of the display.
    EXPECT_EQ(ScreenColorPercent(Colour(50, 50, 10, 90, 50)), 10);
    // A reversed display range: 128 scales to 50, is raised to lo (100), then lowered to hi.
    EXPECT_EQ(ScreenColorPercent(Colour(0, 255, 100, 0, 128)), 0);
    EXPECT_EQ(ScreenColorPercent(Colour(0, 255, 100, 0, 0)), 0);
}

TEST(Lamps, RecomputeFollowsTheSwitchesMenusAndSelectedUnit) {
    ResetPanelState();
    std::array<uint8_t, 12> lamps{};
    lamps.fill(0xFF);
    auto& sw = g_menuDatabase.switches;
    sw[2].value = 1;  // switch 130 held: it wins over 132
    sw[4].value = 1;
    sw[93].value = 1;  // byte 11 bit 0x01
    sw[99].value = 2;  // byte 11 bit 0x10
    sw[90].value = 1;  // row 2 custom lamp 0x20

    uint32_t held = RecomputeLamps(lamps, {2, 26, 0});
    EXPECT_EQ(held, 130u);
    EXPECT_EQ(lamps[0], 0x01);  // ALT latch and the rest gone
    EXPECT_EQ(lamps[2], 0x21);
    EXPECT_EQ(lamps[3], 0x03);  // keep 0: the old direct-menu lamps go, switch 130 lights
    EXPECT_EQ(lamps[4], 0x05);  // menu 26
    EXPECT_EQ(lamps[11], 0x11);
    EXPECT_EQ(lamps[7], 0xFE);  // unit 1 is not selected
    EXPECT_EQ(lamps[8], 0xFF);  // unit 2 is

    lamps[3] = 0x1D;
    sw[2].value = 0;
    sw[4].value = 0;
    held = RecomputeLamps(lamps, {2, 41, 1});
    EXPECT_EQ(held, kNoHeldFunction);
    EXPECT_EQ(lamps[3], 0x1D);  // keep 1 keeps them, menu 41 adds 0x10
}

using Captions = PanelTest;

TEST_F(Captions, FunctionButtonsShowStatesMarksAndMomentarySwitches) {
    CMainPanelDlg& p = Start();
    Connect(3);
    const int u = 3;
    p.m_currentMenu[u] = kCustomMenu + 1;  // custom menu 1 of the unit
    g_customButtons[u][1] = {33, 127, 1, 200, 127, 127};
    auto& sw = g_menuDatabase.switches;
    sw[33].name = "Off,Soft,Hard";
    sw[33].states = 3;
    sw[33].value = 0;
    sw[1].name = "Take";
    sw[1].attributes = 0x0001;  // momentary
    sw[1].value = 1;
    p.UpdateFunctionCaptions();
    EXPECT_EQ(p.m_functionButtons[0]->Text(), "Off");
    EXPECT_EQ(p.m_functionButtons[0]->m_nImage, 1);  // three states are always marked
    EXPECT_EQ(p.m_functionButtons[1]->Text(), " ");
    EXPECT_EQ(p.m_functionButtons[2]->Text(), "Take");
    EXPECT_EQ(sw[1].value, 0);
    EXPECT_EQ(p.m_functionButtons[2]->m_nImage, 0);
    EXPECT_EQ(p.m_functionButtons[3]->Text(), " ");  // beyond the switch table: empty

    p.UpdateMenuCaptions();
    EXPECT_EQ(p.m_menuButtons[3]->Text(), "         ");  // the custom menu shown
    EXPECT_EQ(p.m_menuButtons[4]->Text(), "Custom 2");
    EXPECT_EQ(p.m_menuButtons[6]->Text(), "Custom 4");
    EXPECT_EQ(p.m_menuButtons[1]->Text(), "Configure");
}

TEST_F(Captions, NothingIsRebuiltWithoutMenus) {
    CMainPanelDlg& p = Start();
    p.UpdateMenuCaptions();
    p.UpdateFunctionCaptions();
    p.BindKnobs();
    for (auto* button : p.m_menuButtons)
        EXPECT_TRUE(button->isHidden());
    for (auto* button : p.m_functionButtons)
        EXPECT_TRUE(button->Text().empty());
}

using Keys = PanelTest;

TEST_F(Keys, OnlyTheFirstRowWithAKeyActsInATick) {
    CMainPanelDlg& p = Start();
    Connect(3);
    Press(3, 0x10);  // menu 11 on row 3
    Press(4, 0x08);  // menu 18 on row 4: lost
    p.OnTimer(3);
    EXPECT_NE(p.m_currentMenu[3], 18);
    EXPECT_EQ(p.m_savedMenu[3], 11);
    p.OnTimer(3);
    EXPECT_EQ(p.m_savedMenu[3], 11);
}

}  // namespace
