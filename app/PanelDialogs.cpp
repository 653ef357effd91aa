#include "app/PanelDialogs.h"

#include "app/MainPanelDlg.h"
#include "dialogs/CustomMenuDlg.h"
#include "dialogs/FilesDlg.h"
#include "dialogs/GpiDlg.h"
#include "dialogs/GpiInputDlg.h"

namespace {

// Runs a dialog of type D over the panel, modally, and reports how it closed.
template <typename D, typename... Args>
DialogResult RunModal(Args&&... args) {
    D dialog(g_mainPanel, std::forward<Args>(args)...);
    DialogResult result;
    result.opened = true;
    result.code = dialog.exec() == QDialog::Accepted ? kDialogOk : kDialogCancel;
    return result;
}

}  // namespace

DialogResult CPanelDialogs::Run(const DialogRequest& request) {
    switch (request.dialog) {
        case PanelDialog::Files:
            return RunModal<CFilesDlg>(request.param, request.transfer);
        case PanelDialog::CustomMenu:
            return RunModal<CCustomMenuDlg>(request.param);
        case PanelDialog::Gpi:
            if (request.param == kGpiTemplate) return RunModal<CGpiDlg>();
            if (request.param == kGpiInputTemplate) return RunModal<CGpiInputDlg>();
            return {};
        default:
            return {};
    }
}
