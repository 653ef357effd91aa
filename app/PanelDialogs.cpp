#include "app/PanelDialogs.h"

#include "app/MainPanelDlg.h"
#include "dialogs/CustomMenuDlg.h"
#include "dialogs/FilesDlg.h"

DialogResult CPanelDialogs::Run(const DialogRequest& request) {
    DialogResult result;
    switch (request.dialog) {
        case PanelDialog::Files: {
            CFilesDlg dialog(g_mainPanel, request.param, request.transfer);
            result.code = dialog.exec() == QDialog::Accepted ? kDialogOk : kDialogCancel;
            result.opened = true;
            break;
        }
        case PanelDialog::CustomMenu: {
            CCustomMenuDlg dialog(g_mainPanel, request.param);
            result.code = dialog.exec() == QDialog::Accepted ? kDialogOk : kDialogCancel;
            result.opened = true;
            break;
        }
        default:
            break;
    }
    return result;
}
