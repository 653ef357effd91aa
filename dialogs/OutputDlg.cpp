#include "dialogs/OutputDlg.h"

COutputDlg::COutputDlg(QWidget* panel)
    : CRoutingDlg(panel, QSize(kOutputTemplateWidth, kOutputTemplateHeight), kOutputMenuNumber) {
    AddGroup(QString::fromLatin1(kTextFgBgOut), DluRect(7, 4, 188, 60));
    for (size_t i = 0; i < kOutputSourceSlots.size(); ++i) {
        const int y = 18 + 22 * static_cast<int>(i);
        AddSourceList(kOutputSourceSlots[i], kIdFirstSourceLabel + int(i),
                      kIdFirstSourceList + int(i), DluRect(14, y + 3, 68, 10),
                      DluRect(86, y, 102, 15));
    }
    AddMatteView(DluRect(14, 77, 64, 10), DluRect(86, 74, 40, 14), DluRect(130, 74, 40, 14),
                 DluRect(14, 96, 110, 14));
    AddApplyCancel(DluRect(74, 144, 58, 19), DluRect(137, 144, 58, 19));
}

QPoint COutputDlg::Placement(QSize outer) const {
    return {(PanelScreenWidth() - outer.width()) / 2, (kScreenHeight - outer.height()) / 3};
}

void COutputDlg::OnInitDialog() {
    SetCaption();
    FillSourceLists();
    ShowMatteView();
}
