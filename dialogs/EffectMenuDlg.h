#pragma once

// The Effect Menu dialog: lists the effects of the selected unit, loads one into the panel's
// effect state (its keyframes and the controls its knobs and buttons work), deletes one, or
// saves a new one with the knob assignments chosen in the drop-down lists.

#include <array>
#include <vector>

#include "dialogs/DialogKit.h"
#include "link/PanelState.h"

class QComboBox;
class QLineEdit;

// Template 156.
inline constexpr int kEffectTemplateWidth = 487;
inline constexpr int kEffectTemplateHeight = 166;
inline constexpr int kIdEffectList = 1069;
inline constexpr int kIdEffectLoad = 1093;
inline constexpr int kIdEffectDelete = 1094;
inline constexpr std::array<int, 4> kIdKnobLists = {1077, 1078, 1079, 1080};
inline constexpr std::array<int, 2> kIdButtonLists = {1085, 1086};
inline constexpr int kIdEffectName = 1070;
inline constexpr int kIdEffectSave = 1095;
inline constexpr int kIdEffectClose = 1;

// Asked before a delete, with the effect's name.
inline constexpr const char* kMsgDeleteEffectFormat = "Do you want to delete the effect %1?";

// No effect is current: the one that was has been deleted.
inline constexpr uint8_t kNoEffect = 0xFF;

// The unit's number of the effect at each position of the dialog's list. It covers every
// effect the panel can hold, so each one the unit lists can be loaded.
extern std::array<uint8_t, kMaxEffects> g_effectListIds;

// The low byte of the effect's number on the unit: the form its effect commands take.
uint8_t EffectNumber(const EffectRecord& effect);

class CEffectMenuDlg : public CSetupDialog {
public:
    explicit CEffectMenuDlg(QWidget* panel);

    void OnInitDialog();
    int exec() override;
    void accept() override;
    QPoint Placement(QSize outer) const override;

private:
    void FillChoices();
    void ShowAssignments();
    void StoreSelections();
    void RefreshEffects();
    int SelectedEffect() const;

    void OnLoad();
    void OnDelete();
    void OnSave();

    bool m_initialised = false;
    CTouchList* m_effects;
    std::array<QComboBox*, 4> m_knobLists{};
    std::array<QComboBox*, 2> m_buttonLists{};
    QLineEdit* m_name;
    std::vector<uint8_t> m_knobChoices;    // control id per item; item 0 is "None"
    std::vector<uint8_t> m_buttonChoices;  // switch number less 128 per item; item 0 is "None"
};
