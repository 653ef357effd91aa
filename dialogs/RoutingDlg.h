#pragma once

// What the input and output routing dialogs share: switches of one menu of the selected unit
// shown as drop-down lists and as the matte-view pair with its view lock. Nothing reaches the
// unit from here: Apply only reads the controls, and the opener writes the states the dialog
// hands back, slot by slot.

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "dialogs/DialogKit.h"
#include "link/PanelState.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;

// The state of a switch the dialog leaves alone: an input delay the operator did not change,
// a slot that names no switch of the unit.
inline constexpr int kItemUnchanged = 0xFFFF;

inline constexpr int kIdRoutingApply = 1;
inline constexpr int kIdRoutingCancel = 2;
inline constexpr int kIdFirstSourceLabel = 1036;  // inputs 1 and 2; 3..5 have their own ids
inline constexpr int kIdFirstSourceList = 1077;   // 1077.. one per list
inline constexpr int kIdMatte100 = 1120;
inline constexpr int kIdMatte75 = 1121;
inline constexpr int kIdViewLock = 1108;
inline constexpr int kSlotMatteView = 17;
inline constexpr int kSlotViewLock = 18;

inline constexpr const char* kTextFgBgOut = "FG + BG Out";
// Said by the opener when a write of the states chosen failed; it writes no more after it.
inline constexpr const char* kMsgRoutingUnwritten =
    "The Main Unit did not answer!  The routing has not all been written.";
inline constexpr const char* kTextMatteView = "Matte View:";
inline constexpr const char* kTextViewLock = "View Lock:   ";

// The texts a drop-down list shows for a switch: its label and its items, from the name's
// comma-separated texts (the first, then the next states - 1 of them, as many as there are).
struct SwitchTexts {
    QString label;
    std::vector<QString> items;
};
SwitchTexts SplitSwitchName(const SwitchRecord& record);

class CRoutingDlg : public CSetupDialog {
public:
    // The opening steps; exec() runs them first.
    virtual void OnInitDialog() = 0;
    int exec() override;

    // After Apply: the state to write per item slot of the menu, kItemUnchanged where the
    // dialog leaves the unit's switch alone.
    std::array<int, kMenuItems> ItemValues() const;

protected:
    CRoutingDlg(QWidget* panel, QSize templateDlu, int menu);

    void AddSourceList(int slot, int labelId, int listId, const QRect& labelDlu,
                       const QRect& listDlu);
    void AddMatteView(const QRect& labelDlu, const QRect& matte100Dlu, const QRect& matte75Dlu,
                      const QRect& viewLockDlu);
    void AddApplyCancel(const QRect& applyDlu, const QRect& cancelDlu);

    // Caption from the menu's name.
    void SetCaption();
    void FillSourceLists();
    // The view lock and the matte view as the unit holds them.
    void ShowMatteView();
    // Reads the lists and the matte view into the states; the dialog's own parts follow.
    void ApplyShared();
    virtual void Apply() = 0;

    const SwitchRecord* Slot(int slot) const { return SlotSwitch(m_menu, slot); }
    // The state a slot's switch gets, once Apply has read it.
    void SetState(int slot, int state) { m_states[slot] = state; }

    QCheckBox* m_viewLock = nullptr;
    QRadioButton* m_matte100 = nullptr;
    QRadioButton* m_matte75 = nullptr;
    QLabel* m_matteLabel = nullptr;

private:
    struct SourceList {
        int slot;
        QLabel* label;
        QComboBox* list;
        uint16_t opened;  // the switch's value when the dialog opened
    };
    void Fill(SourceList& source);
    void OnViewLock(bool locked);

    int m_menu;
    bool m_initialised = false;
    std::vector<SourceList> m_sources;
    // One state per slot; lists keep 8 bits, the other switches 16.
    std::array<int, kMenuItems> m_states{};
};
