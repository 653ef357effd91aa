// What a unit may change under the panel's feet: the tally handing the selection over inside
// a poll, another model behind a connected address, a current menu the panel has no table
// for; and what the screen shows after the operator changed a value.

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>

#include "app/panel/CursorHider.h"
#include "app/panel/StatusArea.h"
#include "link/Commands.h"
#include "link/UnitOperations.h"
#include "tests/app/PanelFixture.h"
#include "widgets/BitmapTextButton.h"
#include "widgets/ColorLabel.h"
#include "widgets/InfoPanel.h"
#include "widgets/KnobDisplay.h"
#include "widgets/StatusStrip.h"

namespace {

using TallyHandOver = PanelTest;
using ModelChange = PanelTest;
using ReportedMenu = PanelTest;
using ScreenColour = PanelTest;
using EffectMenu = PanelTest;
using Cursor = PanelTest;

constexpr const char* kTallySelects = "[TALLY_UNIT_SELECT]\nENABLED=TRUE\n";

// Ticks of timer 2 until unit n's turn of the scan has come once more.
void UntilScanned(CMainPanelDlg& p, SimRig& rig, int unit) {
    const int before = rig.Unit(unit)->Received(kCmdIdentify);
    for (int tick = 0; tick < 8 && rig.Unit(unit)->Received(kCmdIdentify) == before; ++tick)
        p.OnTimer(2);
}

TEST_F(TallyHandOver, TheRestOfThePollTickWorksOnTheUnitSelectedNow) {
    CMainPanelDlg& p = StartWithConfig(kTallySelects);
    Connect(2);
    rig->Unit(2)->SetTally(true);
    p.OnTimer(2);
    ASSERT_EQ(p.m_lamps[kLampTallyByte], 1 << 2);

    // Unit 3 goes off line long enough to lose its lamp, and comes back on air: the scan
    // that finds it reports a change and hands the selection over in the same tick.
    rig->SetOnline(3, false);
    for (int miss = 0; miss < 5; ++miss)
        UntilScanned(p, *rig, 3);
    ASSERT_EQ(p.m_lamps[3] & kLampOnline, 0);
    rig->SetOnline(3, true);
    rig->Unit(3)->SetTally(true);
    const int releases = rig->Unit(2)->Received(kCmdTallyRelease);
    UntilScanned(p, *rig, 3);

    EXPECT_EQ(g_selectedUnit, 0x30);
    EXPECT_EQ(rig->Unit(2)->Received(kCmdTallyRelease), releases + 1);
    // The change's screen colour update names the unit selected now, not the one before.
    EXPECT_EQ(p.m_unitStrip->ActiveUnit(), 3);
    EXPECT_EQ(p.m_currentMenu[3], 0);
    EXPECT_EQ(p.m_missCount, 0);
    EXPECT_TRUE(p.TimerRunning(3));

    // The next ticks poll unit 3: its loss is counted against it.
    rig->SetOnline(3, false);
    for (int i = 0; i < 3; ++i)
        p.OnTimer(2);
    EXPECT_EQ(p.m_currentMenu[3], -1);
    EXPECT_NE(p.m_currentMenu[2], -1);
}

TEST_F(ModelChange, AnotherModelBehindTheSelectedAddressIsConnectedAfresh) {
    CMainPanelDlg& p = Start();
    Connect(3);
    ASSERT_EQ(p.m_menuModel[3], kModelCedar);
    g_customKnobs[3][1][0] = 59;

    // The Cedar is swapped for a Birch without the panel seeing it go.
    SimUnit& birch = rig->AddUnit(3, ShippedProfile("birch"));
    // The poll that sees it forgets the Cedar's menus and stops the knobs until the Birch is
    // connected; the rest of the tick connects it.
    EXPECT_FALSE(PollSelectedUnit(p));
    EXPECT_EQ(p.m_currentMenu[3], -1);
    EXPECT_FALSE(p.TimerRunning(3));
    EXPECT_EQ(birch.Received(kCmdValues), 0);
    p.OnTimer(2);

    EXPECT_EQ(birch.Received(kCmdMenuBlob) > 0, true) << "the Birch's own menus are fetched";
    EXPECT_EQ(p.m_menuModel[3], kModelBirch);
    EXPECT_EQ(p.m_functionOffset, 6u);
    EXPECT_EQ(p.m_titleLabel->Text(), birch.Profile().menus.front().name);
    EXPECT_EQ(g_customKnobs[3][1][0], 128) << "custom menus named the Cedar's controls";
    EXPECT_EQ(birch.Received(kCmdAdjustControl), 0);
    EXPECT_TRUE(p.m_knobs[0]->HasControl());
    EXPECT_TRUE(p.TimerRunning(3));
}

TEST_F(ModelChange, AnotherModelFoundWhenTheUnitIsSelectedAgain) {
    CMainPanelDlg& p = Start();
    Connect(3);
    Press(1, 0x01);  // unit 1 is selected; unit 3 keeps its Cedar menus
    p.OnTimer(3);
    ASSERT_EQ(g_selectedUnit, 0x10);

    SimUnit& birch = rig->AddUnit(3, ShippedProfile("birch"));
    Press(3, 0x01);
    p.OnTimer(3);
    ASSERT_EQ(g_selectedUnit, 0x30);
    EXPECT_GT(birch.Received(kCmdMenuBlob), 0);
    EXPECT_EQ(p.m_menuModel[3], kModelBirch);
    EXPECT_EQ(p.m_currentMenu[3], birch.Profile().currentMenu);
    EXPECT_EQ(p.m_titleLabel->Text(), birch.Profile().menus.front().name);
    EXPECT_NE(p.m_menuButtons[1]->Text(), "     ") << "the menu is not empty";
}

TEST_F(ReportedMenu, AMenuByteBeyondTheUnitsMenusIsTakenAsItsMainMenu) {
    SimProfile cedar = ShippedProfile("cedar");
    cedar.currentMenu = 200;
    rig->AddUnit(3, cedar);
    CMainPanelDlg& p = Start();
    Connect(3);
    EXPECT_EQ(p.m_currentMenu[3], 0);
    EXPECT_EQ(p.m_savedMenu[3], 0);
    EXPECT_EQ(p.m_titleLabel->Text(), "Main Menu");

    // No reconnect loop: the following polls download nothing.
    const int downloads = rig->Unit(3)->Received(kCmdMenuBlob);
    for (int i = 0; i < 5; ++i)
        p.OnTimer(2);
    EXPECT_EQ(rig->Unit(3)->Received(kCmdMenuBlob), downloads);
    EXPECT_TRUE(p.TimerRunning(3));

    // The Main Menu key goes to the same menu; every menu button stays in range.
    Press(4, 0x10);  // menu 15
    p.OnTimer(3);
    ASSERT_EQ(p.m_currentMenu[3], 15);
    Press(3, 0x04);  // menu 0: the unit's own current menu
    p.OnTimer(3);
    EXPECT_EQ(p.m_currentMenu[3], 0);
    for (int b = 1; b < 10; ++b)
        p.OnMenuButton(b);
    EXPECT_GE(p.m_currentMenu[3], 0);
    EXPECT_LE(p.m_currentMenu[3], kLastCustomMenu);
}

TEST_F(ScreenColour, TheColourLineAndSwatchFollowAKnobTurn) {
    CMainPanelDlg& p = Start();
    Connect(3);
    ASSERT_EQ(p.m_infoPanel->Content().screenColor[0], 12);  // 31 of 0..255
    // Knob 0 shows Screen Red: a turn up moves the unit's value, and with it the info line.
    rig->Surface().TurnKnob(0, 2000);
    p.OnTimer(3);
    const int value = g_menuDatabase.controls[59].value;
    ASSERT_GT(value, 31);
    const int percent = ScreenColorPercent(g_menuDatabase.controls[59]);
    EXPECT_EQ(p.m_infoPanel->Content().screenColor[0], percent);
    EXPECT_EQ(p.m_unitStrip->BackR(), static_cast<int>(percent * 2.55));

    // A double click resets it at the unit (Screen Red's reset value is 0).
    p.OnKnobDoubleClick(0);
    EXPECT_EQ(g_menuDatabase.controls[59].value, rig->Unit(3)->ControlValue(59));
    EXPECT_EQ(p.m_infoPanel->Content().screenColor[0],
              ScreenColorPercent(g_menuDatabase.controls[59]));
}

TEST_F(EffectMenu, ItsBlankMenuButtonsDoNothing) {
    CMainPanelDlg& p = Start();
    Connect(1);  // an Elm: group A has the Effect Menu
    p.OnMenuButton(6);
    ASSERT_EQ(p.m_currentMenu[1], kEffectMenu);
    const int reads = rig->Unit(1)->Received(kCmdValues);
    for (int b = 1; b <= 4; ++b)
        p.OnMenuButton(b);
    EXPECT_EQ(p.m_currentMenu[1], kEffectMenu);
    EXPECT_EQ(rig->Unit(1)->Received(kCmdValues), reads);
    EXPECT_EQ(p.m_titleLabel->Text(), "Effect Menu");
}

TEST_F(Cursor, HiddenOnEveryWindowUnlessTheConfigurationShowsIt) {
    CMainPanelDlg& p = Start();
    EXPECT_EQ(p.cursor().shape(), Qt::BlankCursor);
    // A message box and a dialog's text field made later hide it too; a window that stands
    // in for hardware keeps it.
    QMessageBox box(QMessageBox::Warning, "KV4", "text", QMessageBox::Ok);
    box.show();
    EXPECT_EQ(box.cursor().shape(), Qt::BlankCursor);
    QLineEdit field;
    field.show();
    EXPECT_EQ(field.cursor().shape(), Qt::BlankCursor);
    QWidget console;
    console.setProperty(kKeepsCursorProperty, true);
    QLineEdit knob(&console);
    console.show();
    EXPECT_EQ(knob.cursor().shape(), Qt::IBeamCursor);
    box.hide();
    panel.reset();

    StartWithConfig("[MOUSE]\nVISIBLE=TRUE\n");
    QLineEdit shown;
    shown.show();
    EXPECT_EQ(shown.cursor().shape(), Qt::IBeamCursor);
}

}  // namespace
