#include "app/PanelDialogs.h"

#include "app/MainPanelDlg.h"
#include "dialogs/CustomMenuDlg.h"
#include "dialogs/FilesDlg.h"
#include "dialogs/InputDlg.h"
#include "dialogs/MonitorDlg.h"
#include "dialogs/OutputDlg.h"

namespace {

static_assert(kItemUnchanged == kItemNotWritten);

// Runs a dialog of type D over the panel, modally, and reports how it closed.
template <typename D, typename... Args>
DialogResult RunModal(Args&&... args) {
    D dialog(g_mainPanel, std::forward<Args>(args)...);
    DialogResult result;
    result.opened = true;
    result.code = dialog.exec() == QDialog::Accepted ? kDialogOk : kDialogCancel;
    if constexpr (requires { dialog.ItemValues(); }) result.itemValues = dialog.ItemValues();
    return result;
}

}  // namespace

DialogResult CPanelDialogs::Run(const DialogRequest& request) {
    switch (request.dialog) {
        case PanelDialog::Files:
            return RunModal<CFilesDlg>(request.param, request.transfer);
        case PanelDialog::CustomMenu:
            return RunModal<CCustomMenuDlg>(request.param);
        case PanelDialog::Output:
            return RunModal<COutputDlg>();
        case PanelDialog::Monitor:
            return RunModal<CMonitorDlg>();
        case PanelDialog::Input:
            return RunModal<CInputDlg>();
        default:
            return {};
    }
}
