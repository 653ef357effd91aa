#pragma once

// The Output dialog: the sources of the two outputs and the matte view of the selected unit,
// from the switches menu 17 names. Apply hands the states to the opener, which writes them.

#include <array>

#include "dialogs/RoutingDlg.h"

// Template 182.
inline constexpr int kOutputTemplateWidth = 202;
inline constexpr int kOutputTemplateHeight = 171;
inline constexpr int kOutputMenuNumber = 17;
inline constexpr std::array<int, 2> kOutputSourceSlots = {14, 15};

class COutputDlg final : public CRoutingDlg {
public:
    explicit COutputDlg(QWidget* panel);

    void OnInitDialog() override;
    // Centred across the screen the system reports, not across the panel's 800 pixels.
    QPoint Placement(QSize outer) const override;

private:
    void Apply() override {}
};
