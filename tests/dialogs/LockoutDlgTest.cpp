// The On Air Lock Out Configuration dialog from the System Setup menu, and the Attributes
// dialog from ALT with a knob or a function button, against the simulated units' lock tables.

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "dialogs/AttributesDlg.h"
#include "dialogs/OnAirLockoutDlg.h"
#include "link/Commands.h"
#include "tests/dialogs/DialogFixture.h"
#include "tests/support/RecordingSeams.h"
#include "tests/support/TapPort.h"
#include "widgets/KnobDisplay.h"

namespace {

using Bytes = std::vector<uint8_t>;

class LockoutDialog : public DialogTest {
protected:
    void TearDown() override {
        TestPrompter().ExpectDone();
        DialogTest::TearDown();
    }
    // Menu button 1 of System Setup (menu 7) is the lockout menu, 37.
    void Configure(const std::function<void(COnAirLockoutDlg&)>& steps) {
        panel->m_currentMenu[UnitNumber(g_selectedUnit)] = 7;
        WhileOpen<COnAirLockoutDlg>([&] { panel->OnMenuButton(1); }, steps);
    }
    static QStringList Items(QWidget& d, int id) {
        QStringList items;
        auto* list = Control<QListWidget>(d, id);
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        return items;
    }
    static void Pick(QWidget& d, int id, const QString& text) {
        auto* list = Control<QListWidget>(d, id);
        const auto found = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        list->setCurrentItem(found.front());
    }
    static int Row(QWidget& d) { return Control<QListWidget>(d, kIdLockedList)->currentRow(); }
    static void Touch(QWidget& d, int id) { Control<QPushButton>(d, id)->click(); }
    static QString StaticText(QWidget& d, const QString& startsWith) {
        for (QLabel* label : d.findChildren<QLabel*>())
            if (label->text().startsWith(startsWith)) return label->text();
        return {};
    }
};

TEST_F(LockoutDialog, ListsTheUnitsLocksAndMovesEntriesBetweenThem) {
    ConnectTapped(3);  // a Cedar: controls 96 and 114, switches 211 and 250 locked
    g_menuDatabase.controls[9].name.clear();
    Configure([&](COnAirLockoutDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("On Air Lock Out Configuration"));
        EXPECT_EQ(d.size(), QSize(678, 509));  // 452 x 313 dialog units
        const QRect outer = d.frameGeometry();
        EXPECT_EQ(outer.left(), (800 - outer.width()) / 2 + 2);
        EXPECT_EQ(outer.top(), (600 - outer.height()) / 3);
        EXPECT_FALSE(Control<QCheckBox>(d, kIdLockoutEnabled)->isChecked());
        const QStringList locked = Items(d, kIdLockedList);
        EXPECT_EQ(locked.mid(0, 2), QStringList({"Reference Input", "Router Dwell"}));
        EXPECT_EQ(locked.size(), 4);
        EXPECT_EQ(Row(d), 0);
        const QStringList unlocked = Items(d, kIdUnlockedList);
        EXPECT_TRUE(unlocked.contains("Key Density"));
        EXPECT_FALSE(unlocked.contains("Flare Hue")) << "a control without a name is not listed";
        QStringList sorted = unlocked;
        sorted.sort(Qt::CaseInsensitive);  // as an operator reads a list
        EXPECT_EQ(unlocked, sorted);
        auto* tally = Control<QLabel>(d, kIdTallySelect);
        EXPECT_EQ(tally->text(), QStringLiteral("Tally Unit Select: Disabled"));
        EXPECT_FALSE(tally->isHidden());
        EXPECT_EQ(StaticText(d, "  Note:"), QString::fromLatin1(kLockoutNote));
        EXPECT_TRUE(StaticText(d, " Status:").isEmpty());
        EXPECT_FALSE(d.Changed());

        // "<-----" locks: the packet, the unit's table, the entry moved, entry 0 selected.
        Pick(d, kIdUnlockedList, "Clip");
        Touch(d, kIdLockSelected);
        EXPECT_EQ(tap->Requests(kCmdSetLock).back(), (Bytes{8, 8, 0x32, 3, 184, 1, 1, 0xFF}));
        EXPECT_EQ(rig->Unit(3)->ControlLock(1), 1);
        EXPECT_EQ(Items(d, kIdLockedList).front(), "Clip");
        EXPECT_FALSE(Items(d, kIdUnlockedList).contains("Clip"));
        EXPECT_EQ(Row(d), 0);
        EXPECT_TRUE(d.Changed());

        // "----->" unlocks and keeps the position; at the end the new last entry.
        Control<QListWidget>(d, kIdLockedList)->setCurrentRow(1);
        Touch(d, kIdUnlockSelected);
        EXPECT_EQ(tap->Requests(kCmdSetLock).back(), (Bytes{8, 8, 0x32, 3, 184, 96, 2, 0xFF}));
        EXPECT_EQ(Row(d), 1);
        Control<QListWidget>(d, kIdLockedList)->setCurrentRow(3);
        Touch(d, kIdUnlockSelected);
        EXPECT_EQ(Items(d, kIdLockedList).size(), 3);
        EXPECT_EQ(Row(d), 2);

        // Paging stops at both ends.
        Touch(d, kIdLockedPaging[0]);  // Home
        Touch(d, kIdLockedPaging[2]);  // Up
        EXPECT_EQ(Row(d), 0);
        Touch(d, kIdLockedPaging[4]);  // Page Down
        EXPECT_EQ(Row(d), 2);
        Touch(d, kIdLockedPaging[1]);  // Page Up
        EXPECT_EQ(Row(d), 0);
        Touch(d, kIdLockedPaging[5]);  // End
        EXPECT_EQ(Row(d), 2);

        Control<QCheckBox>(d, kIdLockoutEnabled)->click();
        EXPECT_EQ(rig->Unit(3)->SwitchValue(168), 1);
        tap->packets.clear();
        Touch(d, kIdLockoutClose);
    });
    // After it: the records' lock bits, the tally switch sent again, the deferred refresh.
    EXPECT_TRUE(g_menuDatabase.controls[1].attributes & kAttrLocked);
    EXPECT_FALSE(g_menuDatabase.controls[96].attributes & kAttrLocked);
    EXPECT_EQ(tap->Requests(kCmdSetValue).back(),
              (Bytes{8, 8, 0x32, 3, kCmdSetValue, 250, 0, 0xFF}));
    QCoreApplication::sendPostedEvents(panel.get());
    EXPECT_FALSE(tap->Requests(234).empty()) << "the file-system update of the deferred refresh";
}

TEST_F(LockoutDialog, LockAllAndUnlockAllAskFirstAndReachEveryRecord) {
    ConnectTapped(3);
    Configure([&](COnAirLockoutDlg& d) {
        TestPrompter().Expect(kLockAllQuestion, PromptAnswer::No);
        Touch(d, kIdLockAll);
        EXPECT_TRUE(tap->Requests(kCmdSetLock).empty());
        EXPECT_TRUE(d.Changed()) << "a refused Lock All still refreshes the panel";
        EXPECT_EQ(TestPrompter().shown.back().icon, PromptIcon::Question);
        EXPECT_EQ(TestPrompter().shown.back().buttons, PromptButtons::YesNo);

        TestPrompter().Expect(kLockAllQuestion, PromptAnswer::Yes);
        Touch(d, kIdLockAll);
        EXPECT_TRUE(Items(d, kIdUnlockedList).isEmpty());
        EXPECT_EQ(Row(d), 0);
        // One lock per record the unit defined, controls first, none for an empty record.
        const auto locks = tap->Requests(kCmdSetLock);
        EXPECT_EQ(locks.front(), (Bytes{8, 8, 0x32, 3, 184, 0, 1, 0xFF}));
        EXPECT_EQ(locks.back(), (Bytes{8, 8, 0x32, 3, 184, 250, 1, 0xFF}));
        for (const Bytes& lock : locks)
            EXPECT_NE(lock[5], 19) << "the Cedar has no control 19";

        TestPrompter().Expect(kUnlockAllQuestion, PromptAnswer::Yes);
        Touch(d, kIdUnlockAll);
        EXPECT_TRUE(Items(d, kIdLockedList).isEmpty());
    });
    EXPECT_EQ(rig->Unit(3)->ControlLock(96), 2);
    EXPECT_EQ(rig->Unit(3)->SwitchLock(250), 2);
}

TEST_F(LockoutDialog, NamesAlikeAreToldApartAndAnUnreadTableShowsNoLocks) {
    ConnectTapped(1);                                // an Elm: group A has no tally select line
    g_menuDatabase.controls[2].name = "Key\r\nMix";  // as control 4 is named
    Configure([&](COnAirLockoutDlg& d) {
        EXPECT_TRUE(Control<QLabel>(d, kIdTallySelect)->isHidden());
        Pick(d, kIdUnlockedList, "Key Mix (ID 4)");
        Touch(d, kIdLockSelected);
        EXPECT_EQ(tap->Requests(kCmdSetLock).back()[5], 4);
        EXPECT_TRUE(Items(d, kIdLockedList).contains("Key Mix (ID 4)"));
        EXPECT_TRUE(Items(d, kIdUnlockedList).contains("Key Mix (ID 2)"));
    });

    // The lock tables do not come: no list shows a lock, and the dialog says why.
    rig->Unit(1)->Faults().corruption = SimCorruption::WrongCode;
    rig->Unit(1)->Faults().corruptCommand = kCmdLockTables;
    Configure([&](COnAirLockoutDlg& d) {
        EXPECT_TRUE(Items(d, kIdLockedList).isEmpty());
        EXPECT_TRUE(Items(d, kIdUnlockedList).isEmpty());
        EXPECT_EQ(StaticText(d, " Status:"), QString::fromLatin1(kLockTablesUnread));
    });
}

TEST_F(LockoutDialog, AttributesDescribeTheRecordAndChangeItsLock) {
    ConnectTapped(3);
    ControlRecord& dwell = g_menuDatabase.controls[114];  // locked on the Cedar
    ASSERT_TRUE(dwell.attributes & kAttrLocked);
    dwell.minValue = -5;
    panel->m_knobs[0]->SetControl(&dwell);
    panel->m_lamps[kLampAltByte] |= kLampAlt;
    WhileOpen<CAttributesDlg>(
        [&] { panel->OnKnobDoubleClick(0); },
        [&](CAttributesDlg& d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Attributes"));
            EXPECT_EQ(d.size(), QSize(311, 231));  // 207 x 142 dialog units
            const std::string expected =
                "\n   Control Name: Router Dwell\nMinimum Value: -5\nMaximum Value: " +
                std::to_string(dwell.maxValue) +
                "\nMinimum Display Value: " + std::to_string(dwell.minDisplay) +
                "\nMaximum Display Value: " + std::to_string(dwell.maxDisplay) +
                "\nMask: " + QString::number(dwell.mask, 16).toStdString() +
                "\nAttributes: " + std::to_string(dwell.attributes) +
                "\nType: " + std::to_string(dwell.type) + "\nID: 114\n";
            EXPECT_EQ(Control<QLabel>(d, kIdDescription)->text().toStdString(), expected);
            auto* lockout = Control<QCheckBox>(d, kIdOnAirLockout);
            EXPECT_TRUE(lockout->isChecked());
            lockout->click();
            EXPECT_EQ(tap->Requests(kCmdSetLock).back(), (Bytes{8, 8, 0x32, 3, 184, 114, 2, 0xFF}));
            EXPECT_FALSE(dwell.attributes & kAttrLocked);
            Touch(d, kIdAttributesClose);
        });
    EXPECT_EQ(rig->Unit(3)->ControlLock(114), 2);

    SwitchRecord tally = g_menuDatabase.switches[250 - 128];
    tally.name = "Tally\r\nSelect";
    tally.states = 2;
    tally.mask = 0x1F0;
    tally.attributes = 0;
    EXPECT_EQ(SwitchDescription(tally),
              "\n   Control Name: Tally Select\nMinimum Value: " + std::to_string(tally.minValue) +
                  "\nMaximum Value: " + std::to_string(tally.maxValue) +
                  "\nStates: 2\nMask: 1f0\nAttributes: 0\nType: " + std::to_string(tally.type) +
                  "\nID: 250\n");

    // The panel's own records have no lock on the unit.
    CAttributesDlg local(panel.get(), &panel->m_frameTimeRec, nullptr);
    EXPECT_FALSE(Control<QCheckBox>(local, kIdOnAirLockout)->isEnabled());
    CAttributesDlg unitSwitch(panel.get(), nullptr, &g_menuDatabase.switches[250 - 128]);
    EXPECT_TRUE(Control<QCheckBox>(unitSwitch, kIdOnAirLockout)->isEnabled());
}

TEST_F(LockoutDialog, OnAirTheSimulatedUnitHoldsItsLockedControls) {
    ConnectTapped(3);
    SimUnit& unit = *rig->Unit(3);
    const int before = unit.ControlValue(114);
    ASSERT_EQ(SetSwitchValue(168, 1), kLinkOk);
    unit.SetTally(true);
    ASSERT_EQ(SetControlValue(114, static_cast<int16_t>(before + 3)), kLinkOk);
    EXPECT_EQ(unit.ControlValue(114), before) << "locked, on air, lockout on";
    EXPECT_EQ(g_menuDatabase.controls[114].value, before) << "the answer reports the held value";
    ASSERT_EQ(SetControlValue(1, 7), kLinkOk);
    EXPECT_EQ(unit.ControlValue(1), 7) << "an unlocked control still moves";
    ASSERT_EQ(SetSwitchValue(168, 0), kLinkOk);
    ASSERT_EQ(SetControlValue(114, static_cast<int16_t>(before + 3)), kLinkOk);
    EXPECT_EQ(unit.ControlValue(114), before + 3);
}

}  // namespace
