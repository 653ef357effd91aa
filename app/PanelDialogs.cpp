#include "app/PanelDialogs.h"

#include "app/panel/MainPanelDlg.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/AttributesDlg.h"
#include "dialogs/BypassTransferDlg.h"
#include "dialogs/CustomMenuDlg.h"
#include "dialogs/EffectMenuDlg.h"
#include "dialogs/FilesDlg.h"
#include "dialogs/GpiDlg.h"
#include "dialogs/GpiInputDlg.h"
#include "dialogs/InputDlg.h"
#include "dialogs/ManualViewerDlg.h"
#include "dialogs/MonitorDlg.h"
#include "dialogs/OnAirLockoutDlg.h"
#include "dialogs/OutputDlg.h"

namespace {

static_assert(kItemUnchanged == kItemNotWritten);

// How a dialog that ran closed.
DialogResult Closed(int execResult) {
    DialogResult result;
    result.opened = true;
    result.code = execResult == QDialog::Accepted ? kDialogOk : kDialogCancel;
    return result;
}

// Runs a dialog of type D over the panel, modally, and reports how it closed.
template <typename D, typename... Args>
DialogResult RunModal(Args&&... args) {
    D dialog(g_mainPanel, std::forward<Args>(args)...);
    DialogResult result = Closed(dialog.exec());
    // The routing dialogs hand back the value chosen for each item of their menu.
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
        case PanelDialog::EffectMenu:
            return RunModal<CEffectMenuDlg>();
        case PanelDialog::Attributes:
            if (!request.control && !request.switchRecord) return {};
            return RunModal<CAttributesDlg>(request.control, request.switchRecord);
        case PanelDialog::OnAirLockout: {
            COnAirLockoutDlg dialog(g_mainPanel, request.param);
            DialogResult result = Closed(dialog.exec());
            result.locksChanged = dialog.Changed();
            return result;
        }
        case PanelDialog::Gpi:
            if (request.param == kGpiTemplate) return RunModal<CGpiDlg>();
            if (request.param == kGpiInputTemplate) return RunModal<CGpiInputDlg>();
            return {};
        case PanelDialog::Output:
            return RunModal<COutputDlg>();
        case PanelDialog::Monitor:
            return RunModal<CMonitorDlg>();
        case PanelDialog::Input:
            return RunModal<CInputDlg>();
        case PanelDialog::About:
            return RunModal<CAboutDlg>();
        case PanelDialog::Bypass:
            return RunModal<CBypassTransferDlg>();
        case PanelDialog::Manual:
            return RunModal<CManualViewerDlg>(QString::fromStdString(request.document));
        default:
            return {};
    }
}
