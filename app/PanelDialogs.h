#pragma once

// The factory that opens the real setup dialogs over the main panel. A request it has no dialog
// for (a GPI template it does not know) reports that it did not open, and the panel says so.

#include "app/panel/DialogFactory.h"

class CPanelDialogs final : public DialogFactory {
public:
    DialogResult Run(const DialogRequest& request) override;
};
