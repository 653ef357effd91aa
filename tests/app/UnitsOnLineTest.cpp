// The panel running against the simulated rig: start-up, selection, the poll loop, keys and
// knobs, as an operator would see them and as the units receive them.

#include <QLabel>
#include <algorithm>

#include "link/Commands.h"
#include "link/UnitOperations.h"
#include "tests/app/PanelFixture.h"
#include "tests/support/ImageProbes.h"
#include "tests/support/RecordingSeams.h"
#include "tests/support/TapPort.h"
#include "widgets/BitmapTextButton.h"
#include "widgets/ColorLabel.h"
#include "widgets/InfoPanel.h"
#include "widgets/KnobDisplay.h"
#include "widgets/StatusStrip.h"
#include "widgets/TitleStrip.h"

namespace {

using StartUp = PanelTest;
using Selection = PanelTest;
using UnitPoll = PanelTest;
using PanelScan = PanelTest;

const char* const kFatalCommunication =
    "Fatal Error: Communication Error!  \n\nContact Quorvane for support.";

TEST_F(StartUp, FindsTheUnitsAndAsksForOne) {
    CMainPanelDlg& p = Start();
    EXPECT_EQ(p.m_infoPanel->Message(), "Select an Online Main Unit!");
    EXPECT_TRUE(p.TimerRunning(1));
    EXPECT_TRUE(p.TimerRunning(2));
    EXPECT_FALSE(p.TimerRunning(3));
    const auto& configuration = rig->Surface().Configuration();
    EXPECT_EQ(std::vector<uint8_t>(configuration.begin(), configuration.end()),
              (std::vector<uint8_t>{17, 16, 8, 4}));
    // Units 1..3 answered their probe; unit 4 did not.
    const auto& lamps = rig->Surface().Lamps();
    EXPECT_EQ(lamps[1] & 1, 1);
    EXPECT_EQ(lamps[3] & 1, 1);
    EXPECT_EQ(lamps[4] & 1, 0);
    EXPECT_EQ(lamps[6], 62);
    EXPECT_EQ(lamps[10], 62);
    EXPECT_TRUE(p.m_units.IsUnitPresent(2));
    EXPECT_FALSE(p.m_units.IsUnitPresent(4));
    EXPECT_EQ(g_selectedUnit, 0);
}

TEST_F(StartUp, ASilentSurfaceIsFatalButPowersOffOnlyThroughTheSeam) {
    rig->Surface().SetSilent(true);
    TestPrompter().Expect(kFatalCommunication);
    CMainPanelDlg& p = Start();
    EXPECT_EQ(TestPower().powerOffs, 1);
    EXPECT_FALSE(p.TimerRunning(1));
    EXPECT_FALSE(p.TimerRunning(2));
    EXPECT_EQ(TestPrompter().shown.at(0).icon, PromptIcon::Stop);
}

TEST_F(Selection, AnAbsentUnitsKeyDoesNothing) {
    CMainPanelDlg& p = Start();
    Connect(4);
    EXPECT_EQ(g_selectedUnit, 0);
    EXPECT_TRUE(p.TimerRunning(1));
    EXPECT_EQ(rig->Unit(4)->Received(192), 0);
}

TEST_F(Selection, AnswersLeftOnTheLinkAreResetAwaySoTheKeysWorkAgain) {
    CMainPanelDlg& p = Start();
    // Answers nobody read (a unit that answered too late, again and again) wait on the line.
    for (int i = 0; i < 50; ++i)
        for (uint8_t byte : {0x08, 0x06, 0x12, 0x01, 192, 0xFF})
            rig->Port().Write(kDataPort, byte);
    rig->Surface().PressKey(1, 0x01);
    for (int tick = 0; tick < 4 && g_selectedUnit == 0; ++tick)
        p.OnTimer(kTimerIdleScan);
    // The failed status read reset the line; the key, pressed again, is taken.
    rig->Surface().PressKey(1, 0x01);
    for (int tick = 0; tick < 4 && g_selectedUnit == 0; ++tick)
        p.OnTimer(kTimerIdleScan);
    EXPECT_EQ(g_selectedUnit, 0x10);
}

TEST_F(Selection, ACedarConnectsWithItsMenusKnobsLogoAndLamps) {
    CMainPanelDlg& p = Start();
    Connect(3);
    EXPECT_EQ(g_selectedUnit, 0x30);
    EXPECT_EQ(p.m_functionOffset, 10u);
    EXPECT_EQ(p.m_currentMenu[3], 0);
    EXPECT_FALSE(p.TimerRunning(1));
    EXPECT_TRUE(p.TimerRunning(3));
    EXPECT_EQ(rig->Unit(3)->Received(193) > 0, true);

    EXPECT_EQ(p.m_titleLabel->Text(), "Main Menu");
    EXPECT_TRUE(p.m_titleLabel->isVisibleTo(&p));
    EXPECT_EQ(p.m_menuButtons[0]->Text(), "      ");  // menu 0 is special: no Return
    EXPECT_EQ(p.m_menuButtons[1]->Text(), g_menuDatabase.menus[11].title);
    EXPECT_TRUE(p.m_menuButtons[1]->isVisibleTo(&p));
    // Function button 0 shows item 10 of the menu: switch 129.
    EXPECT_EQ(p.m_functionButtons[0]->Text().empty(), false);
    EXPECT_TRUE(p.m_knobs[0]->isVisibleTo(&p));
    EXPECT_TRUE(p.m_knobs[0]->HasControl());
    EXPECT_EQ(g_menuDatabase.controls[59].name, "Screen\r\nRed");

    EXPECT_TRUE(p.ModelLogo(1066)->isVisibleTo(&p));
    EXPECT_FALSE(p.ModelLogo(1064)->isVisibleTo(&p));
    EXPECT_FALSE(p.ModelLogo(1053)->isVisibleTo(&p));
    const auto& lamps = rig->Surface().Lamps();
    EXPECT_EQ(lamps[9] & 1, 1);  // unit 3 is the selected one
    EXPECT_EQ(lamps[7] & 1, 0);
    EXPECT_EQ(lamps[3] & 0x04, 0x04);  // the saved menu 0 lights its key
    EXPECT_EQ(p.m_unitTitle->Text(), rig->Unit(3)->Profile().title);
    EXPECT_EQ(p.m_unitStrip->ActiveUnit(), 3);
    // Screen colour 31 of 0..255 shown as 0..100.
    EXPECT_EQ(p.m_unitStrip->BackR(), static_cast<int>(12 * 2.55));
}

TEST_F(Selection, AnElmShowsTwelveSlotMenusAndTheGroupButtons) {
    CMainPanelDlg& p = Start();
    Connect(1);
    EXPECT_EQ(p.m_functionOffset, 6u);
    EXPECT_EQ(p.m_functionSlots, 12u);
    EXPECT_EQ(p.m_menuButtons[6]->Text(), "Effects");
    EXPECT_EQ(p.m_menuButtons[9]->Text(), "User Files");
    EXPECT_TRUE(p.ModelLogo(1053)->isVisibleTo(&p));
}

TEST_F(UnitPoll, ThirdMissedPollLosesTheUnitAndItComesBack) {
    CMainPanelDlg& p = Start();
    Connect(3);
    rig->SetOnline(3, false);
    p.OnTimer(2);
    p.OnTimer(2);
    EXPECT_EQ(p.m_missCount, 2);
    rig->SetOnline(3, true);
    p.OnTimer(2);
    EXPECT_EQ(p.m_missCount, 0);
    EXPECT_TRUE(p.TimerRunning(3));

    rig->SetOnline(3, false);
    testing::internal::CaptureStderr();
    for (int i = 0; i < 3; ++i)
        p.OnTimer(2);
    // The journal gets the unit's link counters, once, at the loss.
    const std::string journal = testing::internal::GetCapturedStderr();
    EXPECT_EQ(journal.rfind("kv4panel: Main Unit 3 lost; link of Main Unit 3: ", 0), 0u) << journal;
    EXPECT_NE(journal.find(" no answer, "), std::string::npos) << journal;
    EXPECT_NE(journal.find("; last failure no answer "), std::string::npos) << journal;
    EXPECT_EQ(std::count(journal.begin(), journal.end(), '\n'), 1) << journal;
    EXPECT_EQ(p.m_infoPanel->Alert(), "Lost communication with Main Unit!");
    EXPECT_EQ(p.m_currentMenu[3], -1);
    EXPECT_EQ((*p.m_menuBlocks)[3].bytes[0], 255);
    EXPECT_FALSE(p.TimerRunning(3));
    EXPECT_TRUE(p.TimerRunning(1));
    EXPECT_EQ(g_customKnobs[3][1][0], 128);

    // Back on line: the next poll reconnects and downloads the menus again.
    rig->SetOnline(3, true);
    const int downloads = rig->Unit(3)->Received(197);
    p.OnTimer(2);
    EXPECT_EQ(p.m_currentMenu[3], 0);
    EXPECT_TRUE(p.TimerRunning(3));
    EXPECT_GT(rig->Unit(3)->Received(197), downloads);
}

// The white of a knob display's value text inside its value box.
bool ShowsAValue(CKnobDisplay& knob) {
    const PanelRect& r = knob.Layout().valueText;
    const QImage image = Render(knob);
    return !Matching(image, QRect(r.left, r.top, r.Width(), r.Height()), [](QColor c) {
                return c.rgb() == kKnobValueTextColor;
            }).isEmpty();
}

TEST_F(UnitPoll, ALostUnitIsNotShownOnLineNorItsKnobsAsLive) {
    CMainPanelDlg& p = Start();
    Connect(3);
    QLabel* digit = p.m_indicators[2];  // Online 3
    Render(*p.m_unitStrip);
    ASSERT_NE(digit->geometry(), kHiddenDigitRect);
    ASSERT_TRUE(p.m_knobs[0]->HasControl());
    ASSERT_TRUE(ShowsAValue(*p.m_knobs[0]));

    TapPort tap(rig->Port());
    SetPortIo(&tap);
    rig->SetOnline(3, false);
    for (int i = 0; i < 3; ++i)
        p.OnTimer(2);
    ASSERT_EQ(p.m_infoPanel->Alert(), "Lost communication with Main Unit!");
    const size_t sent = tap.packets.size();
    Render(*p.m_unitStrip);
    EXPECT_EQ(digit->geometry(), kHiddenDigitRect) << "its Online digit is out";
    EXPECT_EQ(p.m_indicators[kUnitCount + 2]->geometry(), ActiveDigitRect(171, 509))
        << "still the selected unit";
    for (CKnobDisplay* knob : p.m_knobs) {
        EXPECT_FALSE(knob->Live());
        if (knob->HasControl()) {
            EXPECT_FALSE(ShowsAValue(*knob));
        }
    }
    EXPECT_EQ(tap.packets.size(), sent) << "showing it sends nothing";

    // Back on line and connected: live again.
    rig->SetOnline(3, true);
    p.OnTimer(2);
    ASSERT_EQ(p.m_currentMenu[3], 0);
    Render(*p.m_unitStrip);
    EXPECT_NE(digit->geometry(), kHiddenDigitRect);
    EXPECT_TRUE(p.m_knobs[0]->Live());
    EXPECT_TRUE(ShowsAValue(*p.m_knobs[0]));
    SetPortIo(&rig->Port());
}

// The keyframe line belongs to the Effect Menu: it comes and goes with it, however the menu
// changes, even though no message line changes with it.
TEST_F(UnitPoll, TheInfoPanelFollowsTheEffectMenuInAndOut) {
    CMainPanelDlg& p = Start();
    Connect(1);  // an Elm: button 6 is the Effect Menu from any menu
    g_effects[0].keyframeCount = 3;
    g_effects[0].currentKeyframe = 1;
    g_currentEffect = 0;
    auto viewNow = [&] { return BuildInfoOverlay(p.m_infoPanel->Content()).view; };
    auto changedBy = [&](int button) {
        Render(*p.m_infoPanel);
        const int before = p.m_infoPanel->InvalidationCount();
        p.OnMenuButton(button);
        return p.m_infoPanel->InvalidationCount() > before;
    };
    EXPECT_TRUE(changedBy(6));
    EXPECT_EQ(viewNow(), InfoView::Keyframe);
    EXPECT_TRUE(changedBy(8)) << "the Custom Menu entered from the Effect Menu";
    EXPECT_EQ(viewNow(), InfoView::Status);
    EXPECT_FALSE(changedBy(3)) << "Custom 1 shows the same view: nothing to repaint";
    EXPECT_TRUE(changedBy(6));
    EXPECT_EQ(viewNow(), InfoView::Keyframe);
    EXPECT_TRUE(changedBy(0)) << "Return";
    EXPECT_EQ(viewNow(), InfoView::Status);
}

TEST_F(UnitPoll, AUnitMessageIsClearedByTimerFourWhileAnAlertStays) {
    CMainPanelDlg& p = Start();
    Connect(3);
    rig->Unit(3)->PostMessage(1);
    p.OnTimer(2);
    EXPECT_EQ(p.m_infoPanel->Message(), "File saved.");
    EXPECT_TRUE(p.TimerRunning(4));
    p.OnTimer(4);
    EXPECT_EQ(p.m_infoPanel->Message(), "");
    EXPECT_FALSE(p.TimerRunning(4));

    p.ShowAlert("Lost communication with Main Unit!");
    p.OnTimer(4);
    EXPECT_EQ(p.m_infoPanel->Alert(), "Lost communication with Main Unit!");
}

TEST_F(UnitPoll, AQuestionOfTheUnitIsAnsweredByTheOperator) {
    CMainPanelDlg& p = Start();
    Connect(3);
    const SimMessage* question = nullptr;
    for (const SimMessage& m : rig->Unit(3)->Profile().messages)
        if (m.code & 0x4000) question = &m;
    ASSERT_NE(question, nullptr);
    rig->Unit(3)->PostMessage(question->id);
    TestPrompter().Expect(g_unitMessages[question->id].message, PromptAnswer::Ok);
    p.OnTimer(2);
    EXPECT_EQ(rig->Unit(3)->LastReply(), 1);
    EXPECT_TRUE(p.TimerRunning(2));  // the box stopped the poll, its end restarted it
}

TEST_F(UnitPoll, AValueChangedOnTheUnitShowsOnItsKnob) {
    CMainPanelDlg& p = Start();
    Connect(3);
    rig->Unit(3)->ChangeControl(59, 255);
    p.OnTimer(2);
    EXPECT_EQ(g_menuDatabase.controls[59].value, 255);
    // 100 % x 2.55 lies just below 255 in double precision.
    EXPECT_EQ(p.m_unitStrip->BackR(), 254);
}

TEST_F(PanelScan, KnobsMoveTheirControlsButNotInTheTickOfAKey) {
    CMainPanelDlg& p = Start();
    Connect(3);
    const int clip = rig->Unit(3)->ControlValue(1);
    // Knob 4 shows control 1 (Clip). A key in the same tick wins; the movement is lost.
    rig->Surface().TurnKnob(4, 5);
    Press(0, 0x10);  // ALT
    p.OnTimer(3);
    EXPECT_EQ(rig->Unit(3)->ControlValue(1), clip);
    EXPECT_TRUE(p.AltLatched());

    rig->Surface().TurnKnob(4, 5);
    rig->Surface().TurnKnob(0, -80);  // one notch
    const int red = rig->Unit(3)->ControlValue(59);
    p.OnTimer(3);
    EXPECT_NE(rig->Unit(3)->ControlValue(1), clip);
    EXPECT_NE(rig->Unit(3)->ControlValue(59), red);
    EXPECT_FALSE(p.AltLatched());  // the lamp recompute after the knobs clears it
}

TEST_F(PanelScan, DirectMenuKeysAndTheFan) {
    CMainPanelDlg& p = Start();
    Connect(3);
    Press(4, 0x10);  // menu 15
    p.OnTimer(3);
    EXPECT_EQ(p.m_currentMenu[3], 15);
    EXPECT_EQ(p.m_titleLabel->Text(), g_menuDatabase.menus[15].name);
    EXPECT_EQ(rig->Surface().Lamps()[4] & 0x10, 0x10);
    EXPECT_EQ(rig->Surface().Lamps()[3] & 0x04, 0);

    rig->Surface().SetFanFailed(true);
    TestPrompter().Expect("Fatal Error: Fan Failure!  \n\nContact Quorvane for support.");
    p.OnTimer(3);
    EXPECT_EQ(TestPower().powerOffs, 1);
    EXPECT_FALSE(p.TimerRunning(3));
}

}  // namespace
