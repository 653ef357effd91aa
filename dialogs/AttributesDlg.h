#pragma once

// The Attributes dialog: the description of one control or switch of the selected unit, and
// its on-air lock, changed at once.

#include <string>

#include "dialogs/DialogKit.h"
#include "link/PanelState.h"

class QCheckBox;

// Template 155.
inline constexpr int kAttributesTemplateWidth = 207;
inline constexpr int kAttributesTemplateHeight = 142;
inline constexpr int kIdDescription = 1036;
inline constexpr int kIdOnAirLockout = 1107;
inline constexpr int kIdAttributesClose = 2;

// The description the dialog shows.
std::string ControlDescription(const ControlRecord& control);
std::string SwitchDescription(const SwitchRecord& record);

class CAttributesDlg : public CSetupDialog {
public:
    // One of control and switchRecord is given.
    CAttributesDlg(QWidget* panel, ControlRecord* control, SwitchRecord* switchRecord);

    QPoint Placement(QSize outer) const override;

private:
    void OnLockout(bool checked);
    bool UnitRecord() const;

    ControlRecord* m_control;
    SwitchRecord* m_switch;
    uint8_t m_id = 0;
    QCheckBox* m_lockout;
};
