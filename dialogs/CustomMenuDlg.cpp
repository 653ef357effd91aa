#include "dialogs/CustomMenuDlg.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <algorithm>

CustomKnobTable::value_type g_customKnobsEdit{};
CustomButtonTable::value_type g_customButtonsEdit{};

namespace {

constexpr int kKnobSlots = 8;
constexpr int kButtonSlots = 6;
constexpr int kListedRecords = 128;  // controls and switches 0..127 of the unit
constexpr uint32_t kLastSwitchId = 255;

}  // namespace

CCustomMenuDlg::CCustomMenuDlg(QWidget* panel, int menu)
    : CSetupDialog(panel, QSize(kCustomTemplateWidth, kCustomTemplateHeight)),
      m_menu(std::clamp(menu, 0, kCustomMenus - 1)) {
    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QString::number(kIdCustomTabs));
    m_tabs->setGeometry(DluRect(7, 5, 200, 17));
    m_list = AddList(kIdCustomList, DluRect(7, 24, 200, 254));
    m_list->setSortingEnabled(true);

    const std::pair<int, const char*> paging[] = {
        {kIdHome, "Home"},       {kIdCustomPageUp, "Page Up"},     {kIdCustomUp, "Up"},
        {kIdCustomDown, "Down"}, {kIdCustomPageDown, "Page Down"}, {kIdEnd, "End"}};
    const int steps[] = {-100000, -kCustomPageStep, -1, 1, kCustomPageStep, 100000};
    for (int i = 0; i < 6; ++i) {
        QPushButton* b = AddButton(paging[i].first, QString::fromLatin1(paging[i].second),
                                   DluRect(211, 24 + 26 * i, 56, 22));
        connect(b, &QPushButton::clicked, this, [this, step = steps[i]] { Page(step); });
    }
    for (int k = 0; k < kKnobSlots; ++k) {
        const int y = 24 + 28 * k;
        m_slotButtons[k] =
            AddButton(kIdSlotButtons[k], QStringLiteral("Set"), DluRect(271, y, 30, 22));
        m_slotNames[k] = AddEdit(kIdFirstSlotName + k, DluRect(305, y + 3, 105, 15));
        m_slotNames[k]->setReadOnly(true);
        m_slotNames[k]->setFocusPolicy(Qt::NoFocus);
        connect(m_slotButtons[k], &QPushButton::clicked, this, [this, k] { ToggleSlot(k); });
    }
    QPushButton* apply = AddButton(kIdApply, QStringLiteral("Apply"), DluRect(271, 258, 66, 22));
    QPushButton* cancel = AddButton(kIdCancel, QStringLiteral("Cancel"), DluRect(344, 258, 66, 22));
    connect(apply, &QPushButton::clicked, this, [this] { Apply(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int) {
        if (!m_initialised) return;
        FillList();
        ShowSlots();
    });
    // A touch on the tab already shown refills its list too; a touch on the other tab is a
    // change, which refills once.
    connect(m_tabs, &QTabBar::tabBarClicked, this, [this](int tab) {
        if (!m_initialised || tab < 0 || tab != m_tabs->currentIndex()) return;
        FillList();
        ShowSlots();
    });
}

QPoint CCustomMenuDlg::Placement(QSize outer) const {
    return {(kScreenWidth - outer.width()) / 2 + 2, (kScreenHeight - outer.height()) / 3};
}

int CCustomMenuDlg::exec() {
    OnInitDialog();
    return CSetupDialog::exec();
}

int CCustomMenuDlg::Unit() const {
    return std::clamp(UnitNumber(g_selectedUnit), 0, kUnitSlots - 1);
}

void CCustomMenuDlg::OnInitDialog() {
    if (m_initialised) return;
    setWindowTitle(QStringLiteral("Custom %1 Menu Configuration").arg(m_menu));
    m_tabs->addTab(QStringLiteral("   Knobs   "));
    m_tabs->addTab(QStringLiteral("  Buttons   "));
    m_tabs->setCurrentIndex(0);
    m_initialised = true;
    FillList();
    g_customKnobsEdit = g_customKnobs[Unit()];
    g_customButtonsEdit = g_customButtons[Unit()];
    ShowSlots();
}

bool CCustomMenuDlg::KnobsTab() const {
    return m_tabs->currentIndex() == 0;
}

void CCustomMenuDlg::FillList() {
    m_list->clear();
    const bool knobs = KnobsTab();
    for (int i = 0; i < kListedRecords; ++i) {
        if (knobs) {
            const ControlRecord& c = g_menuDatabase.controls[i];
            if (c.id != kNoControl && (c.attributes & kAttrNameCut) && !c.name.empty())
                AddSortedName(m_list, ListName(c.name));
        } else {
            // Switch records 1..128 as the unit numbers them (id 129..254).
            const SwitchRecord& s = g_menuDatabase.switches[i + 1];
            if (s.id > kFirstSwitchId && s.id < kLastSwitchId && (s.attributes & kAttrNameCut))
                AddSortedName(m_list, ListName(s.name));
        }
    }
    if (m_list->count() > 0) m_list->setCurrentRow(0);
    m_list->setFocus();
    for (int k = kButtonSlots; k < kKnobSlots; ++k) {
        m_slotButtons[k]->setVisible(knobs);
        m_slotNames[k]->setVisible(knobs);
    }
}

void CCustomMenuDlg::ShowSlots() {
    const bool knobs = KnobsTab();
    const int shown = knobs ? kKnobSlots : kButtonSlots;
    for (int k = 0; k < shown; ++k) {
        const int value = knobs ? g_customKnobsEdit[m_menu][k] : g_customButtonsEdit[m_menu][k];
        const bool empty = value == (knobs ? kNoControl : kNoSwitch);
        m_slotButtons[k]->setText(QString::fromLatin1(empty ? kSlotAssign : kSlotClear));
        // The tables hold only ids inside the control and switch tables, or the empty value: a
        // file's bytes are checked where they come in.
        const std::string& name =
            knobs ? g_menuDatabase.controls[value].name : g_menuDatabase.switches[value].name;
        m_slotNames[k]->setText(empty ? QString() : ListName(name));
    }
}

void CCustomMenuDlg::ToggleSlot(int k) {
    const bool knobs = KnobsTab();
    uint8_t& slot = knobs ? g_customKnobsEdit[m_menu][k] : g_customButtonsEdit[m_menu][k];
    const uint8_t empty = knobs ? kNoControl : kNoSwitch;
    if (slot != empty) {
        slot = empty;
    } else if (QListWidgetItem* item = m_list->currentItem()) {
        // The list is sorted, so the entry is found again by its text.
        const QString text = item->text();
        for (int i = 0; i < kListedRecords && slot == empty; ++i) {
            if (knobs && ListName(g_menuDatabase.controls[i].name) == text)
                slot = static_cast<uint8_t>(g_menuDatabase.controls[i].id);
            const SwitchRecord& s = g_menuDatabase.switches[i];
            if (!knobs && s.id >= kFirstSwitchId && ListName(s.name) == text)
                slot = static_cast<uint8_t>(s.id - kFirstSwitchId);
        }
        // An id the table has no slot for is no assignment.
        if (knobs && slot > kNoControl) slot = empty;
        if (!knobs && slot >= kSwitchCount) slot = empty;
    }
    ShowSlots();
}

void CCustomMenuDlg::Page(int step) {
    const int row = ClampedSelection(m_list->currentRow(), step, m_list->count());
    if (row >= 0) m_list->setCurrentRow(row);
}

void CCustomMenuDlg::Apply() {
    g_customKnobs[Unit()] = g_customKnobsEdit;
    g_customButtons[Unit()] = g_customButtonsEdit;
    accept();
}
