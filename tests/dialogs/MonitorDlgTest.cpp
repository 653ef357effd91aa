// The Monitor dialog opened from System Setup of a connected unit: its boxes follow the unit's
// monitor switches and every click is written at once.

#include <QCheckBox>
#include <QPushButton>

#include "dialogs/MonitorDlg.h"
#include "tests/dialogs/DialogFixture.h"
#include "tests/support/TapPort.h"

namespace {

class MonitorDialog : public DialogTest {
protected:
    // System Setup (menu 7) from the Main Menu, then its item 4: the Monitor dialog.
    void Open(const std::function<void(CMonitorDlg&)>& steps) {
        panel->OnMenuButton(5);
        ASSERT_EQ(panel->m_currentMenu[UnitNumber(g_selectedUnit)], 7);
        WhileOpen<CMonitorDlg>([&] { panel->OnMenuButton(4); }, steps);
    }
};

TEST_F(MonitorDialog, BoxesShowTheSwitchesAndEachClickIsWrittenAtOnce) {
    Start();
    Connect(3);
    TapPort tap(rig->Port());
    SetPortIo(&tap);
    Open([&](CMonitorDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Monitor Outputs"));
        const QStringList expected = {"Monitor Key", "Monitor Fill", "Monitor Preview",
                                      "Monitor Safe Area"};
        for (int k = 0; k < 4; ++k) {
            auto* box = Control<QCheckBox>(d, kIdMonitorBoxes[k]);
            EXPECT_EQ(box->text(), expected[k]) << "the line feed shows as a space";
            EXPECT_EQ(box->isChecked(), k == 2) << k;
        }
        const QImage image = d.grab().toImage();
        EXPECT_NE(image.pixel(150, 185), image.pixel(150, 188)) << "the rule";

        tap.packets.clear();
        auto* key = Control<QCheckBox>(d, kIdMonitorBoxes[0]);
        key->click();
        EXPECT_EQ(rig->Unit(3)->SwitchValue(190), 1);
        EXPECT_EQ(g_menuDatabase.switches[190 - 128].value, 1) << "the unit's answer";
        key->click();
        const auto writes = tap.Requests(168);
        ASSERT_EQ(writes.size(), 2u);
        EXPECT_EQ(std::vector<int>({writes[0][5], writes[0][6], writes[1][5], writes[1][6]}),
                  std::vector<int>({190, 1, 190, 0}));
        tap.packets.clear();
        Control<QPushButton>(d, kIdMonitorClose)->click();
    });
    EXPECT_TRUE(tap.Requests(168).empty()) << "closing sends nothing";
}

// A Birch's menus carry twelve slots: two monitor switches, and two boxes with nothing behind.
TEST_F(MonitorDialog, BoxesWithoutASwitchAreHidden) {
    Start();
    Connect(2);
    Open([&](CMonitorDlg& d) {
        EXPECT_TRUE(Control<QCheckBox>(d, kIdMonitorBoxes[1])->isChecked());
        EXPECT_TRUE(Control<QCheckBox>(d, kIdMonitorBoxes[1])->isVisible());
        EXPECT_FALSE(Control<QCheckBox>(d, kIdMonitorBoxes[2])->isVisible());
        EXPECT_FALSE(Control<QCheckBox>(d, kIdMonitorBoxes[3])->isVisible());
    });
}

}  // namespace
