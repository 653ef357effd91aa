// The Custom Menu dialog opened from a custom menu of the connected panel, and the road of a
// composed custom menu through a user file and back.

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include "dialogs/CustomMenuDlg.h"
#include "dialogs/DialogKit.h"
#include "dialogs/FilesDlg.h"
#include "tests/dialogs/DialogFixture.h"
#include "tests/support/RecordingSeams.h"
#include "widgets/KnobDisplay.h"

namespace {

class CustomMenuDialog : public DialogTest {
protected:
    // Custom 1 shown, then its menu button 1 ("Configure") opens the dialog for it.
    void Configure(const std::function<void(CCustomMenuDlg&)>& steps) {
        panel->OnMenuButton(8);  // the Custom Menu chooser
        panel->OnMenuButton(3);  // Custom 1
        ASSERT_EQ(panel->m_currentMenu[UnitNumber(g_selectedUnit)], 66);
        WhileOpen<CCustomMenuDlg>([&] { panel->OnMenuButton(1); }, steps);
    }
    static QStringList Listed(CCustomMenuDlg& d) {
        QStringList names;
        auto* list = Control<QListWidget>(d, kIdCustomList);
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        return names;
    }
    static void Pick(CCustomMenuDlg& d, const QString& name) {
        auto* list = Control<QListWidget>(d, kIdCustomList);
        const auto found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        list->setCurrentItem(found.front());
    }
    static void Touch(CCustomMenuDlg& d, int id) { Control<QPushButton>(d, id)->click(); }
    // The user file of that name touched and loaded in the Files dialog (menu button 9).
    void LoadUserFile(const QString& name) {
        WhileOpen<CFilesDlg>([&] { panel->OnMenuButton(9); },
                             [&](CFilesDlg& d) {
                                 auto* list = Control<QListWidget>(d, kIdFileList);
                                 const auto found = list->findItems(name, Qt::MatchExactly);
                                 ASSERT_EQ(found.size(), 1) << name.toStdString();
                                 TouchRow(list, list->row(found.front()));
                                 Control<QPushButton>(d, kIdLoad)->click();
                             });
    }
    static QString Slot(CCustomMenuDlg& d, int k) {
        return Control<QLineEdit>(d, kIdFirstSlotName + k - 1)->text();
    }
};

TEST_F(CustomMenuDialog, ListsMarkedControlsAndSwitchesAndAppliesTheSlots) {
    Start();
    Connect(3);
    const auto before = g_customKnobs;
    QString sw;
    Configure([&](CCustomMenuDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Custom 1 Menu Configuration"));
        EXPECT_EQ(d.size(), QSize(626, 465));  // 417 x 286 dialog units
        const QRect outer = d.frameGeometry();
        EXPECT_EQ(outer.left(), (800 - outer.width()) / 2 + 2);
        EXPECT_EQ(outer.top(), (600 - outer.height()) / 3);
        auto* tabs = Control<QTabBar>(d, kIdCustomTabs);
        ASSERT_EQ(tabs->count(), 2);
        EXPECT_EQ(tabs->tabText(0), QStringLiteral("   Knobs   "));
        EXPECT_EQ(tabs->tabText(1), QStringLiteral("  Buttons   "));

        // Only controls whose name carried a '#' mark: Clip#CL is, Shadow Clip is not.
        const QStringList knobs = Listed(d);
        EXPECT_TRUE(knobs.contains("Clip"));
        EXPECT_TRUE(knobs.contains("Key Density")) << "the line break shows as a space";
        EXPECT_FALSE(knobs.contains("Shadow Clip"));
        QStringList sorted = knobs;
        sorted.sort(Qt::CaseInsensitive);  // as an operator reads a list
        EXPECT_EQ(knobs, sorted);
        for (int k = 1; k <= 8; ++k)
            EXPECT_EQ(Control<QPushButton>(d, kIdSlotButtons[k - 1])->text(), "--->") << k;

        // A slot touched twice assigns the entry, then empties the slot again.
        Pick(d, "Clip");
        Touch(d, kIdSlotButtons[0]);
        EXPECT_EQ(Slot(d, 1), "Clip");
        EXPECT_EQ(Control<QPushButton>(d, kIdSlotButtons[0])->text(), "<---");
        Touch(d, kIdSlotButtons[0]);
        EXPECT_TRUE(Slot(d, 1).isEmpty());
        Pick(d, "Gain");
        Touch(d, kIdSlotButtons[1]);
        EXPECT_EQ(g_customKnobs, before) << "nothing is written before Apply";

        // Buttons: slots 7 and 8 hide; the list holds the marked switches.
        tabs->setCurrentIndex(1);
        EXPECT_FALSE(Control<QPushButton>(d, kIdSlotButtons[6])->isVisible());
        EXPECT_FALSE(Control<QLineEdit>(d, kIdFirstSlotName + 7)->isVisible());
        ASSERT_FALSE(Listed(d).isEmpty());
        sw = Listed(d).back();
        Pick(d, sw);
        Touch(d, kIdSlotButtons[2]);
        EXPECT_EQ(Slot(d, 3), sw);
        tabs->setCurrentIndex(0);
        EXPECT_TRUE(Control<QPushButton>(d, kIdSlotButtons[6])->isVisible());
        EXPECT_EQ(Slot(d, 2), "Gain");
        Touch(d, kIdApply);
    });
    EXPECT_EQ(g_customKnobs[3][1][1], 2) << "Gain is control 2";
    EXPECT_EQ(g_customKnobs[3][1][0], 128);
    const int index = g_customButtons[3][1][2];
    ASSERT_NE(index, 127);
    EXPECT_EQ(ListName(g_menuDatabase.switches[index].name), sw) << "the switch picked";
    // The panel rebuilt Custom 1: its knob 1 now shows Gain.
    EXPECT_EQ(panel->m_knobs[1]->Control(), &g_menuDatabase.controls[2]);
}

TEST_F(CustomMenuDialog, ATouchOnTheTabShownRefillsItsList) {
    Start();
    Connect(3);
    Configure([&](CCustomMenuDlg& d) {
        auto* tabs = Control<QTabBar>(d, kIdCustomTabs);
        ASSERT_FALSE(Listed(d).contains("Shadow Clip"));
        for (ControlRecord& c : g_menuDatabase.controls)
            if (ListName(c.name) == "Shadow Clip") c.attributes |= kAttrNameCut;
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        EXPECT_EQ(tabs->currentIndex(), 0);
        EXPECT_TRUE(Listed(d).contains("Shadow Clip"));
    });
}

// A user file may carry any byte in its custom menus: loaded through the Files dialog, a byte
// that names no control or switch is an empty slot everywhere it is read.
TEST_F(CustomMenuDialog, AHostileUserFileGivesEmptySlots) {
    SimProfile cedar = ShippedProfile("cedar");
    SimFile hostile;
    hostile.id = 9;
    hostile.name = "Hostile";
    hostile.customMenus.assign(4, SimCustomMenu{});
    hostile.customMenus[0].knobs = {255, 200, 129, 2, 128, 250, 140, 1};
    hostile.customMenus[0].buttons = {254, 200, 131, 128, 255, 127};
    for (SimCustomMenu& m : hostile.customMenus)
        if (&m != &hostile.customMenus[0]) m.knobs.fill(255), m.buttons.fill(250);
    cedar.userFiles.push_back(hostile);
    rig->AddUnit(3, cedar);
    Start();
    Connect(3);
    LoadUserFile("Hostile");
    EXPECT_EQ(g_customKnobs[3][1], (std::array<uint8_t, 8>{128, 128, 128, 2, 128, 128, 128, 1}));
    EXPECT_EQ(g_customButtons[3][1], (std::array<uint8_t, 6>{127, 127, 127, 127, 127, 127}));
    EXPECT_EQ(g_customKnobs[3][4],
              (std::array<uint8_t, 8>{128, 128, 128, 128, 128, 128, 128, 128}));

    Configure([&](CCustomMenuDlg& d) {
        for (int k : {1, 2, 3, 5, 6, 7})
            EXPECT_EQ(Control<QPushButton>(d, kIdSlotButtons[k - 1])->text(), "--->") << k;
        EXPECT_EQ(Slot(d, 4), "Gain");
        Control<QTabBar>(d, kIdCustomTabs)->setCurrentIndex(1);
        for (int k = 1; k <= 6; ++k)
            EXPECT_TRUE(Slot(d, k).isEmpty()) << k;
    });
    // Custom 1 on the panel binds what is left, and every other custom menu is empty.
    EXPECT_EQ(panel->m_knobs[3]->Control(), &g_menuDatabase.controls[2]);
    EXPECT_EQ(panel->m_knobs[0]->Control(), nullptr);
    for (int c = 4; c <= 6; ++c)
        panel->OnMenuButton(c);
}

TEST_F(CustomMenuDialog, CancelDropsTheWorkAndPagingClamps) {
    Start();
    Connect(3);
    const auto knobs = g_customKnobs;
    const auto buttons = g_customButtons;
    Configure([&](CCustomMenuDlg& d) {
        auto* list = Control<QListWidget>(d, kIdCustomList);
        const int last = list->count() - 1;
        ASSERT_GT(last, 3);
        Touch(d, kIdCustomUp);
        EXPECT_EQ(list->currentRow(), 0);
        Touch(d, kIdCustomPageDown);
        EXPECT_EQ(list->currentRow(), std::min(22, last));
        Touch(d, kIdEnd);
        Touch(d, kIdCustomDown);
        EXPECT_EQ(list->currentRow(), last);
        Touch(d, kIdCustomPageUp);
        EXPECT_EQ(list->currentRow(), std::max(0, last - 22));
        Touch(d, kIdHome);
        EXPECT_EQ(list->currentRow(), 0);
        Touch(d, kIdSlotButtons[4]);
        Touch(d, kIdCancel);
    });
    EXPECT_EQ(g_customKnobs, knobs);
    EXPECT_EQ(g_customButtons, buttons);
}

TEST_F(CustomMenuDialog, AComposedMenuTravelsInAUserFileAndComesBack) {
    Start();
    Connect(3);
    Configure([&](CCustomMenuDlg& d) {
        Pick(d, "Clip");
        Touch(d, kIdSlotButtons[0]);
        Touch(d, kIdApply);
    });
    ASSERT_EQ(g_customKnobs[3][1][0], 1);

    // Saved as a user file ("Preferences" on the Cedar), then the menu is changed.
    WhileOpen<CFilesDlg>([&] { panel->OnMenuButton(9); },
                         [&](CFilesDlg& d) {
                             auto* name = Control<QLineEdit>(d, kIdFileName);
                             name->setText("Clip Desk");
                             Control<QPushButton>(d, kIdSave)->click();
                         });
    g_customKnobs[3][1][0] = 128;

    // Loading the file back brings Custom 1 back as composed.
    LoadUserFile("Clip Desk");
    EXPECT_EQ(g_customKnobs[3][1][0], 1);
}

}  // namespace
