#include "dialogs/MonitorDlg.h"

#include <QCheckBox>
#include <QPushButton>

#include "link/Commands.h"

CMonitorDlg::CMonitorDlg(QWidget* panel)
    : CSetupDialog(panel, QSize(kMonitorTemplateWidth, kMonitorTemplateHeight)) {
    for (size_t k = 0; k < m_boxes.size(); ++k) {
        m_boxes[k] = AddCheckBox(kIdMonitorBoxes[k], QString(),
                                 DluRect(17, 12 + 24 * static_cast<int>(k), 165, 16));
        connect(m_boxes[k], &QCheckBox::clicked, this,
                [this, k](bool checked) { OnClicked(static_cast<int>(k), checked); });
    }
    QPushButton* close =
        AddButton(kIdMonitorClose, QStringLiteral("Close"), DluRect(124, 128, 58, 19));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    SetRule(kMonitorRule);
}

QPoint CMonitorDlg::Placement(QSize outer) const {
    return {(kScreenWidth - outer.width()) / 2, (kScreenHeight - outer.height()) / 3};
}

int CMonitorDlg::exec() {
    OnInitDialog();
    return CSetupDialog::exec();
}

void CMonitorDlg::OnInitDialog() {
    if (m_initialised) return;
    m_initialised = true;
    const std::string& caption = g_menuDatabase.menus[kMonitorMenuNumber].name;
    setWindowTitle(QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
    for (size_t k = 0; k < m_boxes.size(); ++k) {
        const SwitchRecord* record = SlotSwitch(kMonitorMenuNumber, kMonitorFirstSlot + int(k));
        // A slot that names no switch of the unit has nothing to show or to write.
        if (!record) {
            m_boxes[k]->hide();
            continue;
        }
        m_boxes[k]->setText(ListName(record->name));
        m_boxes[k]->setChecked(record->value != 0);
    }
}

void CMonitorDlg::OnClicked(int box, bool checked) {
    const SwitchRecord* record = SlotSwitch(kMonitorMenuNumber, kMonitorFirstSlot + box);
    if (!record) return;
    // The unit's answer brings the table's value in step. Without one the box goes back to
    // what the unit holds, and the operator is told.
    if (SetSwitchValue(static_cast<uint8_t>(record->id), checked ? 1 : 0) == kLinkOk) return;
    m_boxes[box]->setChecked(record->value != 0);
    Ask(kMsgNoAnswer, PromptButtons::Ok, PromptIcon::Warning);
}
