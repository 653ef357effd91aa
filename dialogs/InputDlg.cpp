#include "dialogs/InputDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>

namespace {

constexpr int kIconPixels = 32;

}  // namespace

CInputDlg::CInputDlg(QWidget* panel)
    : CRoutingDlg(panel, QSize(kInputTemplateWidth, kInputTemplateHeight), kInputMenuNumber) {
    for (size_t i = 0; i < kInputSourceSlots.size(); ++i) {
        const int y = 10 + 24 * static_cast<int>(i);
        AddSourceList(kInputSourceSlots[i], kIdInputLabels[i], kIdFirstSourceList + int(i),
                      DluRect(17, y + 3, 72, 10), DluRect(90, y, 90, 15));
    }

    // The output area, under the rule.
    m_outputGroup = AddGroup(QString::fromLatin1(kTextFgBgOut), DluRect(10, 140, 177, 48));
    m_outputText = AddLabel(kStaticId, QString::fromLatin1(kTextOutput), DluRect(17, 170, 72, 10));
    AddSourceList(kSlotOutput, kIdOutputLabel, kIdOutputList, DluRect(90, 154, 90, 10),
                  DluRect(90, 167, 90, 15));
    AddMatteView(DluRect(17, 199, 72, 10), DluRect(90, 196, 40, 14), DluRect(134, 196, 40, 14),
                 DluRect(17, 216, 110, 14));

    m_icon = AddLabel(kStaticId, QString(), DluRect(14, 176, 22, 20));
    m_icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(kIconPixels));
    m_note = AddLabel(kIdReferenceNote, QString::fromLatin1(kTextReferenceNote),
                      DluRect(40, 174, 230, 56));
    m_note->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_delayGroup = AddGroup(QString::fromLatin1(kTextInputDelayTiming), DluRect(192, 4, 168, 146));
    auto* delays = new QButtonGroup(this);
    for (size_t i = 0; i < m_delay.size(); ++i) {
        m_delay[i] = AddRadio(kIdDelayButtons[i], QString::fromLatin1(kDelayTexts[i]),
                              DluRect(198, 17 + 14 * static_cast<int>(i), 158, 13));
        m_delay[i]->setEnabled(false);
        delays->addButton(m_delay[i]);
    }
    m_updateRegister = AddCheckBox(kIdUpdateRegister, QString::fromLatin1(kTextUpdateRegister),
                                   DluRect(196, 156, 164, 14));
    m_updateRegister->setEnabled(false);

    AddApplyCancel(DluRect(238, 250, 58, 19), DluRect(302, 250, 58, 19));
}

QPoint CInputDlg::Placement(QSize outer) const {
    return {(kScreenWidth - outer.width()) / 2, (kScreenHeight - outer.height()) / 3};
}

void CInputDlg::OnInitDialog() {
    SetCaption();
    FillSourceLists();

    if (!Slot(kSlotOutput)) {
        for (QWidget* w :
             std::initializer_list<QWidget*>{m_outputText, m_matteLabel, m_outputGroup,
                                             m_delayGroup, m_viewLock, m_matte100, m_matte75})
            w->hide();
    } else {
        m_note->hide();
        m_icon->hide();
        SetRule(kInputRule);
    }

    if (const SwitchRecord* delay = Slot(kSlotInputDelay)) {
        for (QRadioButton* button : m_delay)
            button->setEnabled(true);
        m_delayOpened = delay->value;
        const bool listed = delay->value >= 1 && delay->value < m_delay.size();
        m_delay[listed ? delay->value : 0]->setChecked(true);
    }
    if (const SwitchRecord* update = Slot(kSlotUpdateRegister)) {
        m_updateRegister->setEnabled(true);
        m_updateRegister->setChecked(update->value != 0);
    }
    ShowMatteView();
}

void CInputDlg::Apply() {
    if (Slot(kSlotInputDelay)) {
        int state = static_cast<int>(m_delay.size()) - 1;
        for (int i = 0; i < state; ++i) {
            if (m_delay[i]->isChecked()) {
                state = i;
                break;
            }
        }
        // A delay left as it was is not written.
        SetState(kSlotInputDelay, state == m_delayOpened ? kItemUnchanged : state);
    }
    if (Slot(kSlotUpdateRegister))
        SetState(kSlotUpdateRegister, m_updateRegister->isChecked() ? 1 : 0);
}
