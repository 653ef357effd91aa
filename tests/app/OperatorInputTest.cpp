// The operator's touches on the running panel against the simulated rig: what the screen shows,
// what the dialogs are asked, and what goes over the link.

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <deque>
#include <functional>

#include "app/panel/DialogFactory.h"
#include "link/Commands.h"
#include "tests/app/PanelFixture.h"
#include "tests/support/RecordingSeams.h"
#include "tests/support/TapPort.h"
#include "widgets/InfoPanel.h"
#include "widgets/KnobDisplay.h"

namespace {

// Plays the dialogs' results and records what they were asked.
class ScriptedDialogs final : public DialogFactory {
public:
    DialogResult Run(const DialogRequest& request) override {
        requests.push_back(request);
        if (onRun) onRun();
        DialogResult result;
        result.opened = true;
        if (!results.empty()) {
            result = results.front();
            results.pop_front();
        }
        return result;
    }
    std::vector<DialogRequest> requests;
    std::deque<DialogResult> results;
    std::function<void()> onRun;  // runs while the dialog would be open
};

class OperatorInput : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        SetDialogFactory(&dialogs);
    }
    void TearDown() override {
        SetDialogFactory(nullptr);
        PanelTest::TearDown();
    }
    // Connects unit n and taps the link from then on.
    CMainPanelDlg& ConnectAndTap(int unit) {
        CMainPanelDlg& p = Start();
        Connect(unit);
        tap = std::make_unique<TapPort>(rig->Port());
        SetPortIo(tap.get());
        return p;
    }
    void PressAlt() { panel->m_lamps[kLampAltByte] |= kLampAlt; }

    ScriptedDialogs dialogs;
    std::unique_ptr<TapPort> tap;
};

TEST_F(OperatorInput, ReturnAlternatesAndEmptySlotsKeepTheMenu) {
    CMainPanelDlg& p = ConnectAndTap(3);
    p.OnMenuButton(3);  // Main Menu -> 15
    EXPECT_EQ(p.m_currentMenu[3], 15);
    p.OnMenuButton(3);  // 15 -> 52
    EXPECT_EQ(p.m_currentMenu[3], 52);
    p.OnMenuButton(0);
    EXPECT_EQ(p.m_currentMenu[3], 15);
    p.OnMenuButton(0);
    EXPECT_EQ(p.m_currentMenu[3], 52);

    // An empty slot: the menu stays and nothing is read from the unit.
    p.OnMenuButton(0);
    const size_t reads = tap->Requests(172).size();
    p.OnMenuButton(4);
    EXPECT_EQ(p.m_currentMenu[3], 15);
    EXPECT_EQ(tap->Requests(172).size(), reads);

    // Return on a special menu only clears the message line.
    p.m_currentMenu[3] = 0;
    p.ShowMessage("something");
    p.OnMenuButton(0);
    EXPECT_EQ(p.m_currentMenu[3], 0);
    EXPECT_EQ(p.m_infoPanel->Message(), "");
}

TEST_F(OperatorInput, FunctionButtonsToggleWrapAndPulse) {
    CMainPanelDlg& p = ConnectAndTap(3);
    p.OnFunctionButton(0);  // switch 129, two states
    EXPECT_EQ(rig->Unit(3)->SwitchValue(129), 1);
    p.OnFunctionButton(0);  // at its maximum: back to the minimum
    EXPECT_EQ(rig->Unit(3)->SwitchValue(129), 0);
    EXPECT_EQ(tap->Requests(168).back(), (std::vector<uint8_t>{8, 8, 0x32, 3, 168, 129, 0, 0xFF}));

    // Switch 159 (index 31) is a pulse: two steps a second apart for one touch.
    const size_t before = tap->Requests(168).size();
    const uint64_t paused = clock.PausedMs();
    p.OnFunctionButton(4);
    const auto sets = tap->Requests(168);
    ASSERT_EQ(sets.size(), before + 2);
    EXPECT_EQ(sets[before][6], 1);
    EXPECT_EQ(sets[before + 1][6], 0);
    EXPECT_GE(clock.PausedMs() - paused, 1000u);

    // An empty slot presses nothing.
    p.m_currentMenu[3] = 2;
    const size_t count = tap->Requests(168).size();
    p.OnFunctionButton(0);
    EXPECT_EQ(tap->Requests(168).size(), count);
}

TEST_F(OperatorInput, AltTurnsTouchesIntoTheAttributesDialog) {
    CMainPanelDlg& p = ConnectAndTap(3);
    const size_t sent = tap->Requests(168).size();
    PressAlt();
    p.OnKnobDoubleClick(0);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].dialog, PanelDialog::Attributes);
    EXPECT_EQ(dialogs.requests[0].control, &g_menuDatabase.controls[59]);
    EXPECT_FALSE(p.AltLatched());
    EXPECT_EQ(rig->Surface().Lamps()[0] & kLampAlt, 0);

    PressAlt();
    p.OnFunctionButton(0);
    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(dialogs.requests[1].switchRecord, &g_menuDatabase.switches[1]);
    EXPECT_EQ(dialogs.requests[1].control, nullptr);
    EXPECT_EQ(tap->Requests(168).size(), sent);  // nothing was pressed or reset
    EXPECT_TRUE(p.TimerRunning(2));
    EXPECT_TRUE(p.TimerRunning(3));
}

TEST_F(OperatorInput, DoubleClickResetsOrOnMenu15SendsTheShownValue) {
    CMainPanelDlg& p = ConnectAndTap(3);
    const int reset = [&] {
        for (const SimControl& c : rig->Unit(3)->Profile().controls)
            if (c.id == 59) return c.resetValue;
        return -1;
    }();
    rig->Unit(3)->ChangeControl(59, 200);
    p.OnKnobDoubleClick(0);
    EXPECT_EQ(tap->Requests(168).back(),
              (std::vector<uint8_t>{8, 9, 0x32, 4, 168, 59, 0x7F, 0xFF, 0xFF}));
    EXPECT_EQ(rig->Unit(3)->ControlValue(59), reset);

    p.m_currentMenu[3] = 15;
    p.BindKnobs();
    ControlRecord* shown = p.m_knobs[0]->Control();
    ASSERT_NE(shown, nullptr);
    shown->value = 3;
    p.OnKnobDoubleClick(0);
    EXPECT_EQ(tap->Requests(168).back()[5], shown->id);
    EXPECT_EQ(rig->Unit(3)->ControlValue(static_cast<int>(shown->id)), 3);
}

TEST_F(OperatorInput, KeyframesAreInsertedAndDeletedWithTheirExactBytes) {
    CMainPanelDlg& p = ConnectAndTap(1);  // an Elm: button 6 opens the Effect Menu
    ASSERT_EQ(ReadEffectList(), kLinkOk);
    ASSERT_GT(g_effectCount, 0u);
    g_currentEffect = 0;
    EffectRecord& effect = g_effects[0];
    const auto id = static_cast<uint8_t>(effect.effectId);
    effect.keyframeCount = 0;
    p.OnMenuButton(6);
    ASSERT_EQ(p.m_currentMenu[1], kEffectMenu);
    const size_t unitFrames = rig->Unit(1)->Effects()[0].keyframes.size();

    p.m_frameTimeRec.value = 0x0123;
    p.OnFunctionButton(3);  // Insert Keyframe
    auto requests = tap->Requests(178);
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0],
              (std::vector<uint8_t>{8, 14, 0x12, 9, 178, id, 1, 1, 0x01, 0x23, 0, 0, 0, 0xFF}));
    EXPECT_EQ(requests[1], (std::vector<uint8_t>{8, 9, 0x12, 4, 178, id, 0, 2, 0xFF}));
    EXPECT_EQ(effect.keyframeCount, 1u);
    EXPECT_EQ(p.m_keyFrameRec.value, 1);
    EXPECT_EQ(p.m_keyFrameRec.maxValue, 1);
    EXPECT_EQ(rig->Unit(1)->Effects()[0].keyframes.size(), unitFrames + 1);

    tap->packets.clear();
    p.OnFunctionButton(4);  // Delete Keyframe 1
    requests = tap->Requests(178);
    ASSERT_GE(requests.size(), 3u);
    EXPECT_EQ(requests[0], (std::vector<uint8_t>{8, 9, 0x12, 4, 178, id, 0, 4, 0xFF}));
    EXPECT_EQ(requests[1], (std::vector<uint8_t>{8, 11, 0x12, 6, 178, id, 0, 0, 0x01, 0x23, 0xFF}));
    EXPECT_EQ(requests[2], (std::vector<uint8_t>{8, 9, 0x12, 4, 178, id, 0xFF, 4, 0xFF}));
    EXPECT_EQ(effect.keyframeCount, 0u);
    EXPECT_EQ(effect.currentKeyframe, 1u);  // deleting keyframe 1 stays at 1
    EXPECT_EQ(rig->Unit(1)->Effects()[0].keyframes.size(), unitFrames);

    tap->packets.clear();
    p.OnFunctionButton(4);  // nothing left to delete
    EXPECT_TRUE(tap->Requests(178).empty());
}

TEST_F(OperatorInput, FilesNeedReferenceVideoAndTimersComeBack) {
    CMainPanelDlg& p = ConnectAndTap(3);
    rig->Unit(3)->SetReferenceVideo(false);
    p.OnTimer(2);
    TestPrompter().Expect("No Reference Video!\n\nFile System not accessible.                  \n");
    p.OnMenuButton(7);
    EXPECT_TRUE(dialogs.requests.empty());
    EXPECT_TRUE(p.TimerRunning(2));
    EXPECT_TRUE(p.TimerRunning(3));

    // With reference video the dialog opens; a unit of the same model may receive a copy.
    rig->Unit(3)->SetReferenceVideo(true);
    rig->SetOnline(4, true);
    for (int i = 0; i < 4; ++i)
        p.OnTimer(2);
    p.OnMenuButton(9);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].dialog, PanelDialog::Files);
    EXPECT_EQ(dialogs.requests[0].param, 1);
    EXPECT_TRUE(dialogs.requests[0].transfer[4]);
    EXPECT_FALSE(dialogs.requests[0].transfer[1]);
    EXPECT_FALSE(dialogs.requests[0].transfer[3]);

    // The deferred refresh runs the file-system update once the queue drains.
    QCoreApplication::processEvents();
    EXPECT_EQ(tap->Requests(234).size(), 2u);  // the two Cedars
    EXPECT_EQ(p.m_infoPanel->Message(), "");
}

TEST_F(OperatorInput, AFailedFileSystemUpdateSaysSo) {
    CMainPanelDlg& p = ConnectAndTap(3);
    rig->Unit(3)->Faults().corruption = SimCorruption::WrongCode;
    rig->Unit(3)->Faults().corruptCommand = 234;
    TestPrompter().Expect("File System Update did not complete!  Please try again.");
    p.OnFileSystemUpdate();
    EXPECT_EQ(p.m_infoPanel->Message(), "");
}

TEST_F(OperatorInput, InputRoutingIsWrittenBackInItsOrder) {
    CMainPanelDlg& p = ConnectAndTap(3);
    p.OnMenuButton(3);  // Input Select (15)
    DialogResult result;
    result.opened = true;
    result.code = kDialogOk;
    for (int i = 0; i < kMenuItems; ++i)
        result.itemValues[i] = 1;
    result.itemValues[15] = 65535;  // the input delay is left alone
    dialogs.results.push_back(result);
    tap->packets.clear();
    p.OnMenuButton(1);  // item 46: the Input dialog
    ASSERT_EQ(dialogs.requests.back().dialog, PanelDialog::Input);
    EXPECT_EQ(p.m_currentMenu[3], 15);
    std::vector<int> order;
    for (const auto& request : tap->Requests(168))
        order.push_back(request[5]);
    EXPECT_EQ(order, (std::vector<int>{200, 201, 202, 203, 204, 207, 205, 209, 208}));
}

TEST_F(OperatorInput, GpiStatusOnEnteringMenu31) {
    CMainPanelDlg& p = ConnectAndTap(3);
    p.OnMenuButton(3);  // 15
    g_menuDatabase.menus[15].items[4] = 31;
    p.OnMenuButton(4);
    EXPECT_EQ(p.m_currentMenu[3], 31);
    EXPECT_EQ(p.m_infoPanel->Message().rfind("GPI Sequence: 1        GPI Event: ", 0), 0u)
        << p.m_infoPanel->Message();
}

TEST_F(OperatorInput, TheLogoOpensTheManualOrTheAbout) {
    QTemporaryDir manuals;
    const std::string folder = manuals.path().toStdString() + "/";
    QFile(manuals.filePath(QStringLiteral("CedarManKV4.pdf"))).open(QIODevice::WriteOnly);
    CMainPanelDlg& p = ConnectAndTap(3);
    p.SetManualFolder(folder);

    // A desktop hands the manual to its viewer.
    PressAlt();
    p.OnLogoClick();
    ASSERT_EQ(TestLauncher().started.size(), 1u);
    EXPECT_EQ(TestLauncher().started[0].program, "xdg-open");
    EXPECT_EQ(TestLauncher().started[0].args.at(0), folder + "CedarManKV4.pdf");
    EXPECT_TRUE(dialogs.requests.empty());
    EXPECT_FALSE(p.AltLatched());

    // A kiosk opens it in the panel's own viewer, with the poll stopped as for any box.
    p.SetKiosk(true);
    bool pollStopped = false;
    dialogs.onRun = [&] { pollStopped = !p.TimerRunning(2) && !p.TimerRunning(3); };
    PressAlt();
    p.OnLogoClick();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].dialog, PanelDialog::Manual);
    EXPECT_EQ(dialogs.requests[0].document, folder + "CedarManKV4.pdf");
    EXPECT_TRUE(pollStopped);
    EXPECT_TRUE(p.TimerRunning(2) && p.TimerRunning(3));
    EXPECT_EQ(TestLauncher().started.size(), 1u);

    // A manual that is not there says so, on the screen and in the journal.
    g_unitIdentity.ModelCode = 99;
    PressAlt();
    TestPrompter().Expect(
        "The manual QuickStartKV4.pdf is not installed.\n\nThe keyer maker's "
        "manuals belong in " +
        folder);
    testing::internal::CaptureStderr();
    p.OnLogoClick();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kv4panel: the manual " + folder + "QuickStartKV4.pdf is not installed\n");
    EXPECT_EQ(dialogs.requests.size(), 1u);

    DialogResult update;
    update.opened = true;
    update.code = kDialogOk;
    dialogs.results.push_back(update);
    p.show();
    testing::internal::CaptureStderr();
    p.OnLogoClick();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kv4panel: \"Update\" chosen in the About dialog: ending with status 0 for the "
              "updater\n");
    ASSERT_EQ(dialogs.requests.back().dialog, PanelDialog::About);
    QCoreApplication::processEvents();
    EXPECT_FALSE(p.isVisible());  // "Update" closes the panel
}

}  // namespace
