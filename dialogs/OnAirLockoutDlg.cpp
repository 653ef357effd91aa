#include "dialogs/OnAirLockoutDlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <map>
#include <vector>

#include "link/Commands.h"

namespace {

constexpr int kLockoutMenu = 37;
constexpr int kTallyItem = 11;
constexpr int kListedRecords = 128;
constexpr uint32_t kLastSwitchId = 255;
constexpr int kIdRole = Qt::UserRole;

struct LockEntry {
    QString text;
    uint8_t id;
    bool locked;
};

// The named controls, then the named switches, as the lock tables have them.
std::vector<LockEntry> LockEntries() {
    std::vector<LockEntry> entries;
    for (int i = 0; i < kListedRecords; ++i) {
        const ControlRecord& c = g_menuDatabase.controls[i];
        if (c.id != kNoControl && !c.name.empty())
            entries.push_back(
                {ListName(c.name), static_cast<uint8_t>(c.id), g_controlLocks[i] != kUnlocked});
    }
    for (int i = 0; i < kListedRecords; ++i) {
        const SwitchRecord& s = g_menuDatabase.switches[i];
        if (s.id > kFirstSwitchId && s.id < kLastSwitchId)
            entries.push_back(
                {ListName(s.name), static_cast<uint8_t>(s.id), g_switchLocks[i] != kUnlocked});
    }
    // Two records the unit names alike would read as one line, and a touch could lock the
    // other: each of them carries its id.
    std::map<QString, int> uses;
    for (const LockEntry& e : entries)
        ++uses[e.text];
    for (LockEntry& e : entries)
        if (uses[e.text] > 1) e.text += QStringLiteral(" (ID %1)").arg(e.id);
    return entries;
}

// Records the unit defined: a control record holds its own id, a switch record one of 129..255.
// A record left empty names no control, and locking it would lock control 0.
bool DefinedControl(int index) {
    return g_menuDatabase.controls[index].id == static_cast<uint32_t>(index);
}
bool DefinedSwitch(int index) {
    return g_menuDatabase.switches[index].id > kFirstSwitchId;
}

// Locks or unlocks one record; a refused command is tried once more. The result of the last
// attempt.
LinkStatus SetLockTwice(uint32_t id, uint8_t state) {
    const auto byte = static_cast<uint8_t>(id & 0xFF);
    const LinkStatus first = SetLock(byte, state);
    return first == kLinkOk ? first : SetLock(byte, state);
}

uint8_t ItemId(const QListWidgetItem* item) {
    return static_cast<uint8_t>(item->data(kIdRole).toUInt());
}

}  // namespace

COnAirLockoutDlg::COnAirLockoutDlg(QWidget* panel, int enableSwitch)
    : CSetupDialog(panel, QSize(kLockoutTemplateWidth, kLockoutTemplateHeight)),
      m_enableSwitch(static_cast<uint8_t>(enableSwitch)) {
    auto* box = new QGroupBox(this);
    box->setObjectName(QString::number(kStaticId));
    box->setGeometry(DluRect(7, 3, 150, 28));
    m_enabled = new QCheckBox(QStringLiteral("Enabled"), this);
    m_enabled->setObjectName(QString::number(kIdLockoutEnabled));
    m_enabled->setGeometry(DluRect(14, 10, 120, 16));
    m_status = AddLabel(kStaticId, QString(), DluRect(164, 14, 281, 12));

    AddLabel(kStaticId, QStringLiteral("Locked"), DluRect(7, 36, 60, 10));
    m_locked = AddList(kIdLockedList, DluRect(7, 47, 150, 210));
    m_locked->setSortingEnabled(true);
    AddLabel(kStaticId, QStringLiteral("Unlocked"), DluRect(285, 36, 60, 10));
    m_unlocked = AddList(kIdUnlockedList, DluRect(285, 47, 160, 210));
    m_unlocked->setSortingEnabled(true);

    const char* paging[] = {"Home", "Page Up", "Up", "Down", "Page Down", "End"};
    const int steps[] = {-100000, -kLockoutPageStep, -1, 1, kLockoutPageStep, 100000};
    for (int i = 0; i < 6; ++i) {
        QPushButton* b = AddButton(kIdLockedPaging[i], QString::fromLatin1(paging[i]),
                                   DluRect(162, 47 + 26 * i, 56, 22));
        connect(b, &QPushButton::clicked, this, [this, step = steps[i]] { Page(step); });
    }
    QPushButton* unlock =
        AddButton(kIdUnlockSelected, QStringLiteral("----->"), DluRect(223, 80, 56, 22));
    QPushButton* lock =
        AddButton(kIdLockSelected, QStringLiteral("<-----"), DluRect(223, 108, 56, 22));
    QPushButton* lockAll =
        AddButton(kIdLockAll, QStringLiteral("Lock All"), DluRect(7, 262, 72, 20));
    QPushButton* unlockAll =
        AddButton(kIdUnlockAll, QStringLiteral("Unlock All"), DluRect(85, 262, 72, 20));
    m_tally = AddLabel(kIdTallySelect, QStringLiteral("Tally Unit Select: Disabled"),
                       DluRect(285, 266, 160, 12));
    // The run of spaces in the note breaks its line at the label's width.
    QLabel* note = AddLabel(kStaticId, QString::fromLatin1(kLockoutNote), DluRect(7, 287, 292, 20));
    note->setWordWrap(true);
    QPushButton* close =
        AddButton(kIdLockoutClose, QStringLiteral("Close"), DluRect(373, 287, 72, 20));
    close->setDefault(true);

    connect(m_enabled, &QCheckBox::clicked, this, [this](bool checked) { OnEnabled(checked); });
    connect(unlock, &QPushButton::clicked, this, [this] { OnUnlockSelected(); });
    connect(lock, &QPushButton::clicked, this, [this] { OnLockSelected(); });
    connect(lockAll, &QPushButton::clicked, this,
            [this] { LockEverything(kLock, kLockAllQuestion); });
    connect(unlockAll, &QPushButton::clicked, this,
            [this] { LockEverything(kUnlock, kUnlockAllQuestion); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

QPoint COnAirLockoutDlg::Placement(QSize outer) const {
    return {(kScreenWidth - outer.width()) / 2 + 2, (kScreenHeight - outer.height()) / 3};
}

int COnAirLockoutDlg::exec() {
    OnInitDialog();
    return CSetupDialog::exec();
}

void COnAirLockoutDlg::OnInitDialog() {
    if (m_initialised) return;
    m_initialised = true;
    setWindowTitle(QStringLiteral("On Air Lock Out Configuration"));
    const int enable = m_enableSwitch - kFirstSwitchId;
    m_enabled->setChecked(enable >= 0 && g_menuDatabase.switches[enable].value != 0);
    FillLists();
    SelectLocked(0);
    m_changed = 0;
    ShowTallySelect();
}

void COnAirLockoutDlg::ShowTallySelect() {
    if (IsModelGroupA()) {
        m_tally->hide();
        return;
    }
    const SwitchRecord* tally = SlotSwitch(kLockoutMenu, kTallyItem);
    const bool on = tally && tally->value != 0;
    m_tally->setText(on ? QStringLiteral("Tally Unit Select: Enabled")
                        : QStringLiteral("Tally Unit Select: Disabled"));
}

bool COnAirLockoutDlg::FillLists() {
    m_locked->clear();
    m_unlocked->clear();
    const bool read = ReadLockTables() == kLinkOk;
    // Without the unit's tables the lists would show the locks of an earlier read, or none as
    // if nothing were locked: they stay empty and say why.
    m_status->setText(read ? QString() : QString::fromLatin1(kLockTablesUnread));
    if (!read) return false;
    for (const LockEntry& e : LockEntries()) {
        QListWidgetItem* item = AddSortedName(e.locked ? m_locked : m_unlocked, e.text);
        item->setData(kIdRole, e.id);
    }
    return true;
}

void COnAirLockoutDlg::SayNotTaken() {
    // Lists the unit did not send say that already.
    if (m_status->text() != QString::fromLatin1(kLockTablesUnread))
        m_status->setText(QString::fromLatin1(kLockNoAnswer));
}

void COnAirLockoutDlg::SelectLocked(int row) {
    // A row beyond the end (the last entry was unlocked) selects the new last one.
    const int at = ClampedSelection(row, 0, m_locked->count());
    if (at >= 0) m_locked->setCurrentRow(at);
    m_locked->setFocus();
}

void COnAirLockoutDlg::Page(int step) {
    const int row = ClampedSelection(m_locked->currentRow(), step, m_locked->count());
    if (row >= 0) m_locked->setCurrentRow(row);
}

void COnAirLockoutDlg::OnEnabled(bool checked) {
    if (SetSwitchValue(m_enableSwitch, checked ? 1 : 0) == kLinkOk) return;
    // The box goes back to what the unit holds.
    const int enable = m_enableSwitch - kFirstSwitchId;
    m_enabled->setChecked(enable >= 0 && g_menuDatabase.switches[enable].value != 0);
    SayNotTaken();
}

void COnAirLockoutDlg::OnUnlockSelected() {
    QListWidgetItem* item = m_locked->currentItem();
    if (!item) return;
    const int row = m_locked->currentRow();
    const bool taken = SetLock(ItemId(item), kUnlock) == kLinkOk;
    FillLists();
    SelectLocked(row);
    m_changed = 1;
    if (!taken) SayNotTaken();
}

void COnAirLockoutDlg::OnLockSelected() {
    QListWidgetItem* item = m_unlocked->currentItem();
    if (!item) return;
    const bool taken = SetLock(ItemId(item), kLock) == kLinkOk;
    FillLists();
    SelectLocked(0);
    m_changed = 1;
    if (!taken) SayNotTaken();
}

void COnAirLockoutDlg::LockEverything(uint8_t state, const char* question) {
    // Refused or not, the panel refreshes itself when the dialog closes.
    m_changed = 1;
    if (Ask(question, PromptButtons::YesNo, PromptIcon::Question) != PromptAnswer::Yes) return;
    // A record the unit refuses twice is passed over; one it does not answer twice ends the
    // run: a unit gone would fail every other record the same slow way.
    bool taken = true;
    bool gone = false;
    auto lock = [&](uint32_t id) {
        const LinkStatus status = SetLockTwice(id, state);
        taken = taken && status == kLinkOk;
        gone = status == kLinkNoResponse;
    };
    for (int i = 0; i < kListedRecords && !gone; ++i)
        if (g_menuDatabase.controls[i].id != kNoControl && DefinedControl(i))
            lock(g_menuDatabase.controls[i].id);
    for (int i = 0; i < kListedRecords && !gone; ++i)
        if (DefinedSwitch(i)) lock(g_menuDatabase.switches[i].id);
    FillLists();
    SelectLocked(0);
    if (!taken) SayNotTaken();
}
