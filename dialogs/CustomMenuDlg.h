#pragma once

// The Custom Menu dialog: composes the knob and button slots of one custom menu of the
// selected unit from its '#'-marked controls and switches. It sends nothing: the menus live in
// the panel's tables and travel inside user files.

#include <array>

#include "dialogs/DialogKit.h"
#include "link/PanelState.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QTabBar;

// Template 178.
inline constexpr int kCustomTemplateWidth = 417;
inline constexpr int kCustomTemplateHeight = 286;
inline constexpr int kIdCustomTabs = 1092;
inline constexpr int kIdCustomList = 1069;
inline constexpr int kIdHome = 1093;
inline constexpr int kIdCustomPageUp = 1094;
inline constexpr int kIdCustomUp = 1095;
inline constexpr int kIdCustomDown = 1098;
inline constexpr int kIdCustomPageDown = 1099;
inline constexpr int kIdEnd = 1104;
inline constexpr std::array<int, 8> kIdSlotButtons = {1101, 1102, 1103, 1105,
                                                      1106, 1107, 1108, 1109};
inline constexpr int kIdFirstSlotName = 1070;  // 1070..1077: slots 1..8
inline constexpr int kIdApply = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kCustomPageStep = 22;
inline constexpr const char* kSlotAssign = "--->";
inline constexpr const char* kSlotClear = "<---";

// The working copy, only while the dialog is open.
extern CustomKnobTable::value_type g_customKnobsEdit;
extern CustomButtonTable::value_type g_customButtonsEdit;

class CCustomMenuDlg : public CSetupDialog {
public:
    // menu: the custom menu edited, 0..4.
    CCustomMenuDlg(QWidget* panel, int menu);

    void OnInitDialog();
    int exec() override;
    QPoint Placement(QSize outer) const override;

private:
    bool KnobsTab() const;
    void FillList();
    void ShowSlots();
    void ToggleSlot(int slot);
    void Page(int step);
    void Apply();
    int Unit() const;

    int m_menu;
    bool m_initialised = false;
    QTabBar* m_tabs;
    QListWidget* m_list;
    std::array<QPushButton*, 8> m_slotButtons{};
    std::array<QLineEdit*, 8> m_slotNames{};
};
