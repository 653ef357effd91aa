#pragma once

// The Monitor dialog: four on/off switches of the selected unit, named by menu 45, as check
// boxes. Each click is written to the unit at once; closing sends nothing.

#include <array>

#include "dialogs/DialogKit.h"

class QCheckBox;

// Template 179.
inline constexpr int kMonitorTemplateWidth = 197;
inline constexpr int kMonitorTemplateHeight = 156;
inline constexpr int kMonitorMenuNumber = 45;
inline constexpr int kMonitorFirstSlot = 10;  // slots 10..13, one per box
inline constexpr std::array<int, 4> kIdMonitorBoxes = {1107, 1108, 1100, 1101};
inline constexpr int kIdMonitorClose = 2;
// Painted under the check boxes.
inline constexpr QLine kMonitorRule{25, 185, 270, 185};

class CMonitorDlg final : public CSetupDialog {
public:
    explicit CMonitorDlg(QWidget* panel);

    // The opening steps; exec() runs them first.
    void OnInitDialog();
    int exec() override;
    QPoint Placement(QSize outer) const override;

private:
    void OnClicked(int box, bool checked);

    bool m_initialised = false;
    std::array<QCheckBox*, 4> m_boxes{};
};
