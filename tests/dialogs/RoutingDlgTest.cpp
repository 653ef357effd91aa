// The Input and Output dialogs opened from the menus of a connected unit, as an operator opens
// them; asserted on what they show and on the switch writes that reach the unit.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "dialogs/InputDlg.h"
#include "dialogs/OutputDlg.h"
#include "tests/dialogs/DialogFixture.h"
#include "tests/support/TapPort.h"

namespace {

constexpr uint8_t kSetValue = 168;
using SwitchWrites = std::vector<std::pair<int, int>>;

class RoutingDialog : public DialogTest {
protected:
    // Input Select (menu 15), from the Main Menu if need be, then its item 1 (the Input dialog)
    // or 2.
    template <typename D>
    void Open(int item, const std::function<void(D&)>& steps) {
        int32_t& menu = panel->m_currentMenu[UnitNumber(g_selectedUnit)];
        if (menu != 15) panel->OnMenuButton(3);
        ASSERT_EQ(menu, 15);
        tap->packets.clear();
        WhileOpen<D>([&] { panel->OnMenuButton(item); }, steps);
    }
    // The (switch, state) pairs written, in order.
    std::vector<std::pair<int, int>> Writes() const {
        std::vector<std::pair<int, int>> writes;
        for (const auto& request : tap->Requests(kSetValue))
            writes.emplace_back(request[5], request[6]);
        return writes;
    }
    static QStringList Items(QWidget& d, int id) {
        QStringList items;
        auto* list = Control<QComboBox>(d, id);
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        return items;
    }
    static bool Shown(QWidget& d, int id) { return Control<QWidget>(d, id)->isVisible(); }
    static bool Enabled(QWidget& d, int id) { return Control<QWidget>(d, id)->isEnabled(); }
    // A painted rule: the row differs from the one just under it, where nothing is drawn.
    static bool Ruled(QWidget& d, int y) {
        const QImage image = d.grab().toImage();
        return image.pixel(150, y) != image.pixel(150, y + 3);
    }
};

TEST_F(RoutingDialog, InputShowsTheUnitsStatesAndApplyWritesInTheOpenersOrder) {
    rig->Unit(3)->ChangeSwitch(205, 2);  // the output: four states, the second chosen
    rig->Unit(3)->ChangeSwitch(206, 3);  // input delay "Input 1: Time to Input 4"
    ConnectTapped(3);
    Open<CInputDlg>(1, [&](CInputDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Input Routing"));
        const QRect outer = d.frameGeometry();
        EXPECT_EQ(outer.topLeft(), QPoint((800 - outer.width()) / 2, (600 - outer.height()) / 3));
        EXPECT_EQ(Control<QLabel>(d, kIdOutputLabel)->text(), "Output");
        EXPECT_EQ(Items(d, kIdOutputList), QStringList({"Program", "Preview", "Key Only"}));
        EXPECT_EQ(Control<QComboBox>(d, kIdOutputList)->currentIndex(), 1);
        EXPECT_EQ(Control<QLabel>(d, 1046)->text(), "Key Source") << "input 5, slot 19";
        EXPECT_FALSE(Shown(d, kIdReferenceNote));
        EXPECT_TRUE(Ruled(d, 220));

        // The delay buttons are enabled, the unit's state checked; && shows as one &.
        EXPECT_EQ(Control<QRadioButton>(d, 1118)->text(), "Input 1 && Input 2: Time to Input 3");
        EXPECT_TRUE(Enabled(d, 1119));
        EXPECT_TRUE(Control<QRadioButton>(d, 1114)->isChecked());
        EXPECT_TRUE(Control<QCheckBox>(d, kIdUpdateRegister)->isChecked());
        EXPECT_TRUE(Control<QRadioButton>(d, kIdMatte100)->isChecked());
        EXPECT_TRUE(Enabled(d, kIdMatte75)) << "view lock off";

        Control<QComboBox>(d, kIdFirstSourceList)->setCurrentIndex(2);
        Control<QCheckBox>(d, kIdUpdateRegister)->click();
        Control<QRadioButton>(d, kIdMatte75)->click();
        EXPECT_TRUE(Writes().empty()) << "nothing before Apply";
        Control<QPushButton>(d, kIdRoutingApply)->click();
    });
    // Inputs 1..5, no delay (untouched), update register, output, view lock, matte view.
    EXPECT_EQ(Writes(), (SwitchWrites{{200, 3},
                                      {201, 2},
                                      {202, 3},
                                      {203, 4},
                                      {204, 2},
                                      {207, 0},
                                      {205, 2},
                                      {209, 0},
                                      {208, 0}}));
    EXPECT_EQ(rig->Unit(3)->SwitchValue(200), 3);
    EXPECT_EQ(rig->Unit(3)->SwitchValue(208), 0);
}

TEST_F(RoutingDialog, ADelayIsWrittenOnlyWhenChangedAndCancelWritesNothing) {
    ConnectTapped(3);
    Open<CInputDlg>(1, [&](CInputDlg& d) {
        EXPECT_TRUE(Control<QRadioButton>(d, 1109)->isChecked()) << "state 0";
        Control<QRadioButton>(d, 1119)->click();
        Control<QPushButton>(d, kIdRoutingCancel)->click();
    });
    EXPECT_TRUE(Writes().empty());
    Open<CInputDlg>(1, [&](CInputDlg& d) {
        Control<QRadioButton>(d, 1119)->click();
        Control<QPushButton>(d, kIdRoutingApply)->click();
    });
    const SwitchWrites writes = Writes();
    ASSERT_EQ(writes.size(), 10u);
    EXPECT_EQ(writes[5], std::make_pair(206, 8)) << "after input 5, before the update register";
    EXPECT_EQ(rig->Unit(3)->SwitchValue(206), 8);
}

TEST_F(RoutingDialog, OutputKeepsTheMatteViewLockedUntilViewLockIsCleared) {
    rig->Unit(3)->ChangeSwitch(209, 1);
    ConnectTapped(3);
    Open<COutputDlg>(2, [&](COutputDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Output Routing"));
        // Centred on the panel's screen, whose width the panel's window has.
        const QRect outer = d.frameGeometry();
        EXPECT_EQ(outer.left() - panel->geometry().left(), (panel->width() - outer.width()) / 2);
        EXPECT_EQ(Control<QLabel>(d, 1036)->text(), "Out 1 Source");
        EXPECT_EQ(Items(d, 1078), QStringList({"Program", "Clean Feed", "Key", "Fill"}));
        EXPECT_EQ(Control<QComboBox>(d, 1078)->currentIndex(), 3);
        auto* lock = Control<QCheckBox>(d, kIdViewLock);
        EXPECT_EQ(lock->text(), "View Lock:   ");
        EXPECT_TRUE(lock->isChecked());
        EXPECT_FALSE(Enabled(d, kIdMatte100));
        EXPECT_FALSE(Enabled(d, kIdMatte75));
        lock->click();
        EXPECT_TRUE(Enabled(d, kIdMatte100));
        EXPECT_TRUE(Enabled(d, kIdMatte75));
        Control<QPushButton>(d, kIdRoutingApply)->click();
    });
    EXPECT_EQ(Writes(), (SwitchWrites{{196, 1}, {197, 4}, {209, 0}, {208, 1}}));
}

// A Birch carries twelve slots: inputs 1 and 2 only, no output, no delay. The slots past its
// twelve still hold the Cedar's items, which must neither show nor be written.
TEST_F(RoutingDialog, AUnitWithoutAnOutputShowsTheReferenceNoteAndWritesOnlyItsInputs) {
    ConnectTapped(3);
    Press(2, 0x01);
    panel->OnTimer(3);
    ASSERT_EQ(g_selectedUnit, 0x20);
    ASSERT_EQ(g_menuDatabase.menus[46].items[14], 205);
    Open<CInputDlg>(1, [&](CInputDlg& d) {
        EXPECT_TRUE(Shown(d, kIdReferenceNote));
        EXPECT_EQ(Control<QLabel>(d, kIdReferenceNote)->text(), kTextReferenceNote);
        for (int id : {kIdOutputList, kIdOutputLabel, kIdViewLock, kIdMatte100, kIdMatte75})
            EXPECT_FALSE(Shown(d, id)) << id;
        EXPECT_FALSE(Ruled(d, 220));
        EXPECT_EQ(Items(d, 1078), QStringList({"Input 1", "Input 2", "Input 3"}));
        EXPECT_FALSE(Shown(d, 1079));
        EXPECT_FALSE(Enabled(d, 1109));
        EXPECT_FALSE(Enabled(d, kIdUpdateRegister));
        Control<QPushButton>(d, kIdRoutingApply)->click();
    });
    EXPECT_EQ(Writes(), (SwitchWrites{{200, 1}, {201, 2}}));
}

// A name with fewer texts than states and texts longer than 24 characters: the list shows what
// there is, and a value it cannot show goes back to the unit as it was, not as state 0.
TEST_F(RoutingDialog, AShortNameListsWhatItHoldsAndKeepsTheValue) {
    rig->Unit(3)->ChangeSwitch(200, 4);
    ConnectTapped(3);
    g_menuDatabase.switches[200 - 128].name = "First Input Source Select,Serial Digital Input One";
    Open<CInputDlg>(1, [&](CInputDlg& d) {
        EXPECT_EQ(Control<QLabel>(d, 1036)->text(), "First Input Source Select");
        EXPECT_EQ(Items(d, kIdFirstSourceList), QStringList({"Serial Digital Input One"}));
        EXPECT_EQ(Control<QComboBox>(d, kIdFirstSourceList)->currentIndex(), -1);
        Control<QPushButton>(d, kIdRoutingApply)->click();
    });
    ASSERT_FALSE(Writes().empty());
    EXPECT_EQ(Writes().front(), std::make_pair(200, 4));
}

}  // namespace
