#pragma once

// The one seam through which the main panel opens its setup dialogs. Each dialog plugs in here
// when it exists; tests put a script in its place that plays a dialog's result.

#include <array>
#include <string>

#include "link/PanelState.h"

enum class PanelDialog {
    Files,         // files and user files of the selected unit
    CustomMenu,    // the custom menus of the selected unit
    Attributes,    // one control or switch
    Bypass,        // the serial bypass transfer
    EffectMenu,    // effects and their keyframes
    Output,        // output routing (menu 17)
    Gpi,           // GPI sequences
    OnAirLockout,  // on-air lockout configuration
    Monitor,       // monitor switches
    Input,         // input routing (menu 46)
    About,         // versions and the update button
    Manual,        // a keyer manual in the panel's own viewer (a kiosk has no desktop)
};

// What the panel hands a dialog.
struct DialogRequest {
    PanelDialog dialog = PanelDialog::About;
    int param = 0;  // Files: 0 files, 1 user files; CustomMenu: 0..4; Gpi: template 152 or
                    // 181; OnAirLockout: the switch its "Enabled" box sets
    std::array<bool, kUnitSlots> transfer{};  // Files: units a file may be copied to
    ControlRecord* control = nullptr;         // Attributes of a control
    SwitchRecord* switchRecord = nullptr;     // Attributes of a switch
    std::string document;                     // Manual: the PDF file
};

inline constexpr int kDialogOk = 1;      // closed with OK, Apply, Update ...
inline constexpr int kDialogCancel = 2;  // closed otherwise
// An item value of a routing dialog that leaves the item's switch as it is.
inline constexpr int kItemNotWritten = 65535;

// What a dialog hands back.
struct DialogResult {
    bool opened = false;  // false: there is no such dialog (yet)
    int code = kDialogCancel;
    std::array<int, kMenuItems> itemValues{};  // Output/Input: the value chosen per menu item,
                                               // or kItemNotWritten
    bool locksChanged = false;                 // OnAirLockout
};

class DialogFactory {
public:
    virtual ~DialogFactory() = default;
    virtual DialogResult Run(const DialogRequest& request) = 0;
};

// The name an operator knows a dialog by.
std::string DialogName(PanelDialog dialog);

// The process-wide factory; until one is set, every dialog reports that it does not exist.
void SetDialogFactory(DialogFactory* factory);
DialogFactory& TheDialogFactory();
