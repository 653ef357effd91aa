// A unit that stops answering while a setup dialog is open: every control goes back to what the
// unit holds, the operator is told in words, and a run of writes ends at the first that failed.
// Texts from a unit are shown as they stand, never as markup.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>

#include "dialogs/AttributesDlg.h"
#include "dialogs/FilesDlg.h"
#include "dialogs/GpiInputDlg.h"
#include "dialogs/InputDlg.h"
#include "dialogs/MonitorDlg.h"
#include "dialogs/OnAirLockoutDlg.h"
#include "dialogs/UpDownCtrl.h"
#include "link/Commands.h"
#include "link/UnitOperations.h"
#include "tests/dialogs/DialogFixture.h"
#include "tests/support/RecordingSeams.h"
#include "tests/support/TapPort.h"
#include "widgets/KnobDisplay.h"

namespace {

using Bytes = std::vector<uint8_t>;

class FailedWrites : public DialogTest {
protected:
    // The unit answers this command with the wrong code from now on (it still hears it).
    void Refuse(int unit, uint8_t command) {
        SimUnitFaults& f = rig->Unit(unit)->Faults();
        f.corruption = SimCorruption::WrongCode;
        f.corruptCommand = command;
        f.corruptCount = -1;
    }
    size_t Count(uint8_t code, size_t from) const {
        size_t n = 0;
        for (size_t i = from; i < tap->packets.size(); ++i)
            if (tap->packets[i].size() > 4 && tap->packets[i][4] == code) ++n;
        return n;
    }
    static void Touch(QWidget& d, int id) { Control<QPushButton>(d, id)->click(); }
};

TEST_F(FailedWrites, AMonitorBoxTheUnitDidNotTakeGoesBackAndTheOperatorIsTold) {
    ConnectTapped(3);
    panel->OnMenuButton(5);
    WhileOpen<CMonitorDlg>([&] { panel->OnMenuButton(4); },
                           [&](CMonitorDlg& d) {
                               auto* key = Control<QCheckBox>(d, kIdMonitorBoxes[0]);
                               ASSERT_FALSE(key->isChecked());
                               rig->SetOnline(3, false);
                               TestPrompter().Expect(kMsgNoAnswer);
                               key->click();
                               EXPECT_FALSE(key->isChecked()) << "what the unit holds";
                               EXPECT_EQ(TestPrompter().shown.back().icon, PromptIcon::Warning);

                               rig->SetOnline(3, true);
                               key->click();
                               EXPECT_TRUE(key->isChecked());
                               EXPECT_EQ(rig->Unit(3)->SwitchValue(190), 1);
                           });
}

TEST_F(FailedWrites, LockoutChangesTheUnitRefusesAreShownAsTheUnitHoldsThem) {
    ConnectTapped(3);
    panel->m_currentMenu[3] = 7;
    WhileOpen<COnAirLockoutDlg>([&] { panel->OnMenuButton(1); },
                                [&](COnAirLockoutDlg& d) {
                                    auto* enabled = Control<QCheckBox>(d, kIdLockoutEnabled);
                                    auto* locked = Control<QListWidget>(d, kIdLockedList);
                                    auto status = [&] {
                                        for (QLabel* l : d.findChildren<QLabel*>())
                                            if (l->text().startsWith(" Status:"))
                                                return l->text().toStdString();
                                        return std::string();
                                    };
                                    const bool wasEnabled = enabled->isChecked();
                                    ASSERT_GT(locked->count(), 0);

                                    Refuse(3, kCmdSetValue);
                                    enabled->click();
                                    EXPECT_EQ(enabled->isChecked(), wasEnabled);
                                    EXPECT_EQ(status(), kLockNoAnswer);

                                    // An unlock the unit does not confirm: the lists are read back
                                    // from the unit, and the status says that the unit did not
                                    // answer.
                                    Refuse(3, kCmdSetLock);
                                    locked->setCurrentRow(0);
                                    size_t before = tap->packets.size();
                                    Touch(d, kIdUnlockSelected);
                                    EXPECT_GT(Count(kCmdLockTables, before), 0u) << "read back";
                                    EXPECT_EQ(status(), kLockNoAnswer);

                                    // Unlock All tries each record twice, refused or not, and says
                                    // that not all took.
                                    before = tap->packets.size();
                                    TestPrompter().Expect(kUnlockAllQuestion, PromptAnswer::Yes);
                                    Touch(d, kIdUnlockAll);
                                    EXPECT_GT(Count(kCmdSetLock, before), 20u);
                                    EXPECT_EQ(Count(kCmdSetLock, before) % 2, 0u);
                                    EXPECT_EQ(status(), kLockNoAnswer);
                                    EXPECT_TRUE(d.Changed());

                                    // A unit that does not answer ends Lock All at the first
                                    // record.
                                    rig->Unit(3)->Faults() = SimUnitFaults{};
                                    rig->Unit(3)->Faults().answersLeft = 0;
                                    before = tap->packets.size();
                                    TestPrompter().Expect(kLockAllQuestion, PromptAnswer::Yes);
                                    Touch(d, kIdLockAll);
                                    EXPECT_EQ(Count(kCmdSetLock, before), 2u);
                                    EXPECT_EQ(status(), kLockTablesUnread);
                                    rig->Unit(3)->Faults() = SimUnitFaults{};
                                });
    TestPrompter().ExpectDone();
}

TEST_F(FailedWrites, AnAttributesLockTheUnitDidNotTakeIsNotShownAsMade) {
    ConnectTapped(3);
    ControlRecord& dwell = g_menuDatabase.controls[114];  // locked on the Cedar
    ASSERT_TRUE(dwell.attributes & kAttrLocked);
    panel->m_knobs[0]->SetControl(&dwell);
    panel->m_lamps[kLampAltByte] |= kLampAlt;
    WhileOpen<CAttributesDlg>([&] { panel->OnKnobDoubleClick(0); },
                              [&](CAttributesDlg& d) {
                                  auto* lockout = Control<QCheckBox>(d, kIdOnAirLockout);
                                  rig->SetOnline(3, false);
                                  TestPrompter().Expect(kMsgNoAnswer);
                                  lockout->click();
                                  EXPECT_TRUE(lockout->isChecked());
                                  EXPECT_TRUE(dwell.attributes & kAttrLocked);
                                  rig->SetOnline(3, true);
                              });
    EXPECT_NE(rig->Unit(3)->ControlLock(114), 2);
    TestPrompter().ExpectDone();
}

// The System Setup menu's button 2 opens the GPI input dialog of a Cedar.
TEST_F(FailedWrites, GpiInputSettingsAreWrittenUntilTheFirstFailureAndUnreadOnesNever) {
    ConnectTapped(3);
    panel->OnMenuButton(5);
    size_t closedAt = 0;
    WhileOpen<CGpiInputDlg>([&] { panel->OnMenuButton(2); },
                            [&](CGpiInputDlg& d) {
                                ASSERT_EQ(Control<QTabBar>(d, kIdGpiTabs)->count(), 3);
                                Control<QCheckBox>(d, kIdGpiInputEnable)->click();
                                rig->SetOnline(3, false);
                                closedAt = tap->packets.size();
                                TestPrompter().Expect(kMsgGpiInputsUnwritten);
                            });
    EXPECT_EQ(Count(kCmdSetValue, closedAt), 1u) << "the writes end at the first failure";
    TestPrompter().ExpectDone();

    // A unit that does not report the inputs' settings: they cannot be changed, and nothing
    // is written back over the unit's own.
    rig->SetOnline(3, true);
    for (int i = 0; i < 30; ++i)
        panel->OnTimer(2);
    QCoreApplication::processEvents();  // the file-system update the closing posted
    ASSERT_EQ(panel->m_currentMenu[3], 7);
    Refuse(3, kCmdSetValue);
    TestPrompter().Expect(kMsgGpiInputsUnread);
    const size_t openedAt = tap->packets.size();
    WhileOpen<CGpiInputDlg>(
        [&] { panel->OnMenuButton(2); },
        [&](CGpiInputDlg& d) {
            EXPECT_EQ(Count(kCmdSetValue, openedAt), 1u) << "asked once";
            EXPECT_FALSE(Control<QCheckBox>(d, kIdGpiInputEnable)->isEnabled());
            EXPECT_FALSE(Control<CUpDownCtrl>(d, kIdGpiDwellUpDown)->isEnabled());
            closedAt = tap->packets.size();
        });
    EXPECT_EQ(Count(kCmdSetValue, closedAt), 0u);
    TestPrompter().ExpectDone();
}

// Input Select (menu 15), then its item 1: the Input dialog.
TEST_F(FailedWrites, ARoutingApplyStopsAtTheFirstFailedWriteAndSaysSo) {
    ConnectTapped(3);
    panel->OnMenuButton(3);
    ASSERT_EQ(panel->m_currentMenu[3], 15);
    size_t appliedAt = 0;
    WhileOpen<CInputDlg>([&] { panel->OnMenuButton(1); },
                         [&](CInputDlg& d) {
                             Control<QComboBox>(d, kIdFirstSourceList)->setCurrentIndex(2);
                             rig->SetOnline(3, false);
                             appliedAt = tap->packets.size();
                             TestPrompter().Expect(kMsgRoutingUnwritten);
                             Touch(d, kIdRoutingApply);
                         });
    EXPECT_EQ(Count(kCmdSetValue, appliedAt), 1u);
    TestPrompter().ExpectDone();
    EXPECT_NE(g_menuDatabase.switches[200 - 128].value, 3) << "not shown as made";
}

TEST_F(FailedWrites, TextsFromAUnitAreShownAsTheyStand) {
    SimProfile cedar = ShippedProfile("cedar");
    cedar.files[0].name = "<b>Bold</b>";
    rig->AddUnit(3, cedar);
    ConnectTapped(3);
    WhileOpen<CFilesDlg>([&] { panel->OnMenuButton(7); },
                         [&](CFilesDlg& d) {
                             auto* list = Control<QListWidget>(d, kIdFileList);
                             EXPECT_EQ(list->item(0)->text(), "<b>Bold</b>");
                             TouchRow(list, 0);
                             Control<QPushButton>(d, kIdLoad)->click();
                             auto* status = Control<QLabel>(d, kIdStatus);
                             EXPECT_EQ(status->text(),
                                       " Status: File <b>Bold</b> has been loaded!");
                             EXPECT_EQ(status->textFormat(), Qt::PlainText);
                             for (QLabel* label : d.findChildren<QLabel*>())
                                 EXPECT_EQ(label->textFormat(), Qt::PlainText);
                         });

    // The real message box too.
    MessageBoxPrompter boxes;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->text(), "<i>Unit</i> message");
        box->accept();
    });
    boxes.Show("<i>Unit</i> message", kMessageBoxCaption, PromptButtons::Ok,
               PromptIcon::Information);
    EXPECT_TRUE(seen);
}

}  // namespace
