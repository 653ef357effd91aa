#pragma once

// The factory that opens the real setup dialogs over the main panel. A dialog not written yet
// reports that it did not open, and the panel says so on its message line.

#include "app/DialogFactory.h"

class CPanelDialogs final : public DialogFactory {
public:
    DialogResult Run(const DialogRequest& request) override;
};
