#pragma once

// The On Air Lock Out Configuration dialog: every named control and switch of the selected
// unit in a Locked and an Unlocked list, moved between them one by one or all at once, and
// the switch that turns the lockout on. Each action changes the unit at once.

#include <array>

#include "dialogs/DialogKit.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QListWidgetItem;

// Template 154.
inline constexpr int kLockoutTemplateWidth = 452;
inline constexpr int kLockoutTemplateHeight = 313;
inline constexpr int kIdLockoutEnabled = 1107;
inline constexpr int kIdLockedList = 1069;
inline constexpr int kIdUnlockedList = 1070;
inline constexpr int kIdUnlockSelected = 1101;
inline constexpr int kIdLockSelected = 1102;
inline constexpr std::array<int, 6> kIdLockedPaging = {1093, 1094, 1095, 1098, 1099, 1104};
inline constexpr int kIdLockAll = 1103;
inline constexpr int kIdUnlockAll = 1105;
inline constexpr int kIdTallySelect = 1126;
inline constexpr int kIdLockoutClose = 1;
inline constexpr int kLockoutPageStep = 22;

inline constexpr const char* kLockAllQuestion =
    "Are you sure you want to LOCK all of the controls?";
inline constexpr const char* kUnlockAllQuestion =
    "Are you sure you want to UNLOCK all of the controls?  You should consider disabling this "
    "feature rather than unlocking all of the controls!";
inline constexpr const char* kLockoutNote =
    "  Note: A quick way to Lock/Unlock an individual control is using             the ALT "
    "Button and Double-Clicking on the control.";
inline constexpr const char* kLockTablesUnread =
    " Status: The Main Unit did not send its lock tables!";
// A lock, an unlock or the lockout switch the unit did not take.
inline constexpr const char* kLockNoAnswer = " Status: The Main Unit did not answer!";

class COnAirLockoutDlg : public CSetupDialog {
public:
    // enableSwitch: the switch that turns the lockout on (168).
    COnAirLockoutDlg(QWidget* panel, int enableSwitch);

    void OnInitDialog();
    int exec() override;
    QPoint Placement(QSize outer) const override;

    // Whether any move, Lock All or Unlock All was made, answered or not.
    bool Changed() const { return m_changed != 0; }

private:
    // False when the unit did not send its lock tables.
    bool FillLists();
    // After a change the unit did not take: the lists show what it holds, the status says so.
    void SayNotTaken();
    void OnEnabled(bool checked);
    void OnUnlockSelected();
    void OnLockSelected();
    void LockEverything(uint8_t state, const char* question);
    void Page(int step);
    void SelectLocked(int row);
    void ShowTallySelect();

    uint8_t m_enableSwitch;
    uint8_t m_changed = 0;
    bool m_initialised = false;
    QCheckBox* m_enabled;
    QListWidget* m_locked;
    QListWidget* m_unlocked;
    QLabel* m_tally;
    QLabel* m_status;
};
