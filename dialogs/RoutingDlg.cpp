#include "dialogs/RoutingDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>

SwitchTexts SplitSwitchName(const SwitchRecord& record) {
    SwitchTexts texts;
    const QStringList parts = ListName(record.name).split(QLatin1Char(','));
    texts.label = parts.front();
    // A name may hold fewer texts than the switch has states: the list shows what there is.
    for (qsizetype i = 1; i < parts.size() && static_cast<uint32_t>(i) < record.states; ++i)
        texts.items.push_back(parts[i]);
    return texts;
}

CRoutingDlg::CRoutingDlg(QWidget* panel, QSize templateDlu, int menu)
    : CSetupDialog(panel, templateDlu), m_menu(menu) {
    m_states.fill(kItemUnchanged);
}

int CRoutingDlg::exec() {
    if (!m_initialised) {
        m_initialised = true;
        OnInitDialog();
    }
    return CSetupDialog::exec();
}

std::array<int, kMenuItems> CRoutingDlg::ItemValues() const {
    return m_states;
}

void CRoutingDlg::AddSourceList(int slot, int labelId, int listId, const QRect& labelDlu,
                                const QRect& listDlu) {
    QLabel* label = AddLabel(labelId, QString(), labelDlu);
    QComboBox* list = AddCombo(listId, listDlu);
    m_sources.push_back({slot, label, list, 0});
}

void CRoutingDlg::AddMatteView(const QRect& labelDlu, const QRect& matte100Dlu,
                               const QRect& matte75Dlu, const QRect& viewLockDlu) {
    m_matteLabel = AddLabel(kStaticId, QString::fromLatin1(kTextMatteView), labelDlu);
    m_matte100 = AddRadio(kIdMatte100, QStringLiteral("100"), matte100Dlu);
    m_matte75 = AddRadio(kIdMatte75, QStringLiteral("75"), matte75Dlu);
    m_matte100->setEnabled(false);
    m_matte75->setEnabled(false);
    auto* matte = new QButtonGroup(this);
    matte->addButton(m_matte100);
    matte->addButton(m_matte75);
    m_viewLock = AddCheckBox(kIdViewLock, QString::fromLatin1(kTextViewLock), viewLockDlu);
    // Only the operator's click moves the matte buttons, not the state set on opening.
    connect(m_viewLock, &QCheckBox::clicked, this, [this](bool locked) { OnViewLock(locked); });
}

void CRoutingDlg::AddApplyCancel(const QRect& applyDlu, const QRect& cancelDlu) {
    QPushButton* apply = AddButton(kIdRoutingApply, QStringLiteral("Apply"), applyDlu);
    QPushButton* cancel = AddButton(kIdRoutingCancel, QStringLiteral("Cancel"), cancelDlu);
    connect(apply, &QPushButton::clicked, this, [this] {
        ApplyShared();
        Apply();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CRoutingDlg::SetCaption() {
    const std::string& name = g_menuDatabase.menus[m_menu].name;
    setWindowTitle(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
}

void CRoutingDlg::FillSourceLists() {
    for (SourceList& source : m_sources)
        Fill(source);
}

void CRoutingDlg::Fill(SourceList& source) {
    const SwitchRecord* record = Slot(source.slot);
    if (!record || record->states == 0) {
        source.label->hide();
        source.list->hide();
        return;
    }
    const SwitchTexts texts = SplitSwitchName(*record);
    source.label->setText(texts.label);
    for (const QString& item : texts.items)
        source.list->addItem(item);
    const int selected = record->value - 1;
    source.list->setCurrentIndex(selected < source.list->count() ? selected : -1);
    source.opened = record->value;
}

void CRoutingDlg::ShowMatteView() {
    if (const SwitchRecord* lock = Slot(kSlotViewLock)) {
        if (lock->value == 0) {
            m_matte100->setEnabled(true);
            m_matte75->setEnabled(true);
        } else {
            m_viewLock->setChecked(true);
        }
    }
    if (const SwitchRecord* matte = Slot(kSlotMatteView))
        (matte->value != 0 ? m_matte100 : m_matte75)->setChecked(true);
}

void CRoutingDlg::OnViewLock(bool locked) {
    m_matte100->setEnabled(!locked);
    m_matte75->setEnabled(!locked);
}

void CRoutingDlg::ApplyShared() {
    for (const SourceList& source : m_sources) {
        if (!Slot(source.slot)) continue;
        // A list showing no state (a value beyond its texts) gives the unit's value back
        // rather than state 0, so an untouched list never changes the unit.
        const int selected = source.list->currentIndex();
        SetState(source.slot, selected >= 0 ? (selected + 1) & 0xFF : source.opened);
    }
    if (Slot(kSlotMatteView)) SetState(kSlotMatteView, m_matte100->isChecked() ? 1 : 0);
    if (Slot(kSlotViewLock)) SetState(kSlotViewLock, m_viewLock->isChecked() ? 1 : 0);
}
