#include "dialogs/GpiDlg.h"

#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <algorithm>
#include <array>
#include <cstring>

#include "link/Commands.h"

namespace {

constexpr int kPlacementTop = 20;

QString EntryName(const char (&name)[kNameLength]) {
    return QString::fromLatin1(name, static_cast<qsizetype>(strnlen(name, kNameLength)));
}

int FileCount() {
    return static_cast<int>(std::min<uint32_t>(g_fileCount, kMaxFiles));
}

// The events of a sequence as the sequence list counts them, bounded by what a detail holds.
int EventCount(int seq) {
    return static_cast<int>(std::min<uint32_t>(g_gpiSequences[seq].eventCount, kMaxGpiEvents));
}

}  // namespace

CGpiDlg::CGpiDlg(QWidget* panel) : CGpiDlg(panel, QSize(kGpiTemplateWidth, kGpiTemplateHeight)) {}

CGpiDlg::CGpiDlg(QWidget* panel, QSize templateDlu) : CSetupDialog(panel, templateDlu) {
    BuildSequenceControls();
}

void CGpiDlg::BuildSequenceControls() {
    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QString::number(kIdGpiTabs));
    m_tabs->setGeometry(DluRect(7, 4, 478, 17));
    m_tabs->setExpanding(false);
    m_tabs->setElideMode(Qt::ElideNone);

    AddLabel(kStaticId, QStringLiteral("Files"), DluRect(7, 25, 60, 10));
    m_files = AddList(kIdGpiFiles, DluRect(7, 36, 170, 163));
    const std::pair<int, const char*> paging[] = {{kIdGpiPageUp, "Page Up"},
                                                  {kIdGpiUp, "Up"},
                                                  {kIdGpiDown, "Down"},
                                                  {kIdGpiPageDown, "Page Down"}};
    const int steps[] = {-kGpiFilePageStep, -1, 1, kGpiFilePageStep};
    for (int i = 0; i < 4; ++i) {
        QPushButton* b = AddButton(paging[i].first, QString::fromLatin1(paging[i].second),
                                   DluRect(182, 36 + 26 * i, 56, 22));
        connect(b, &QPushButton::clicked, this, [this, step = steps[i]] { PageFiles(step); });
    }
    QPushButton* add = AddButton(kIdGpiAdd, QStringLiteral("Add"), DluRect(182, 151, 56, 22));

    AddLabel(kStaticId, QStringLiteral("GPI Events"), DluRect(244, 25, 80, 10));
    m_events = AddList(kIdGpiEvents, DluRect(244, 36, 170, 163));

    const std::pair<int, const char*> actions[] = {
        {kIdGpiRemove, "Remove"},      {kIdGpiRemoveAll, "Remove All"}, {kIdGpiStepUp, "Step Up"},
        {kIdGpiStepDown, "Step Down"}, {kIdGpiReset, "Reset"},          {kIdGpiClose, "Close"}};
    const int tops[] = {36, 62, 99, 125, 151, 177};
    std::array<QPushButton*, 6> buttons{};
    for (int i = 0; i < 6; ++i)
        buttons[i] = AddButton(actions[i].first, QString::fromLatin1(actions[i].second),
                               DluRect(420, tops[i], 65, 22));

    connect(add, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(buttons[0], &QPushButton::clicked, this, [this] { OnRemove(); });
    connect(buttons[1], &QPushButton::clicked, this, [this] { OnRemoveAll(); });
    connect(buttons[2], &QPushButton::clicked, this, [this] { OnStepUp(); });
    connect(buttons[3], &QPushButton::clicked, this, [this] { OnStepDown(); });
    connect(buttons[4], &QPushButton::clicked, this, [this] { OnReset(); });
    connect(buttons[5], &QPushButton::clicked, this, &QDialog::reject);
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int tab) {
        if (m_initialised) OnTabChanged(tab);
    });
    // An event is picked when the finger lifts: once, whatever rows it slid across, and
    // again when it touches the event already highlighted.
    m_events->picked = [this](int event) { OnEventPicked(event); };
}

QPoint CGpiDlg::Placement(QSize outer) const {
    return {(kScreenWidth - outer.width()) / 2 + 2, kPlacementTop};
}

int CGpiDlg::exec() {
    OnInitDialog();
    const int result = CSetupDialog::exec();
    OnDestroyed();
    return result;
}

void CGpiDlg::OnInitDialog() {
    if (m_initialised) return;
    setWindowTitle(QString::fromLatin1(g_menuDatabase.menus[kGpiMenu].name.c_str()));
    // A list the unit did not send gives no tabs: the table may hold another unit's sequences.
    const bool listed = ReadGpiSequenceList() == kLinkOk;
    const int first = FirstTab();
    const int sequences =
        listed ? static_cast<int>(std::min<uint32_t>(g_gpiSequenceCount, kMaxGpiSequences)) : 0;
    for (int i = 0; i < sequences; ++i) {
        m_tabs->addTab(QString::fromLatin1(kGpiTabFormat).arg(i + 1));
        OnTabAdded(i);
    }

    m_filesRead = ReadFileList(FileList::Files) == kLinkOk;
    for (int i = 0; i < FileCount(); ++i)
        m_files->addItem(EntryName(g_files[i].name));
    if (m_files->count() > 0) m_files->setCurrentRow(0);

    // A select control naming no sequence of the unit shows the first.
    const int tab = first >= 0 && first < sequences ? first : (sequences > 0 ? 0 : -1);
    m_tabs->setCurrentIndex(tab);
    m_initialised = true;
    ShowSequence(tab);
    OnTabShown(tab);
}

int CGpiDlg::CurrentTab() const {
    return m_tabs->currentIndex();
}

int CGpiDlg::TabCount() const {
    return m_tabs->count();
}

void CGpiDlg::OnTabChanged(int tab) {
    ShowSequence(tab);
    OnTabShown(tab);
}

QString CGpiDlg::EventText(int fileId) const {
    for (int i = 0; i < FileCount(); ++i)
        if (g_files[i].fileId == static_cast<uint32_t>(fileId)) return EntryName(g_files[i].name);
    // The line stays, so that every line is still the event at its position.
    return QString::fromLatin1(m_filesRead ? kGpiMissingFileFormat : kGpiUnlistedFileFormat)
        .arg(fileId);
}

void CGpiDlg::ShowSequence(int seq) {
    m_events->clear();
    // Without sequences there is no detail to read.
    if (seq < 0 || seq >= kMaxGpiSequences) return;
    GpiSequenceCommand(static_cast<uint8_t>(seq), kGpiReadDetail);
    const GpiSequenceDetail& detail = g_gpiDetails[seq];
    for (int j = 0; j < EventCount(seq); ++j)
        m_events->addItem(EventText(detail.eventFileId[j]));
    SelectCurrentEvent(seq);
}

void CGpiDlg::SelectCurrentEvent(int seq) {
    // No current event: the sequence stands at its end, the last event selected.
    const int current = g_gpiDetails[seq].currentEvent;
    const int row = current == 0 ? m_events->count() - 1 : current - 1;
    if (row >= 0 && row < m_events->count())
        m_events->setCurrentRow(row);
    else
        m_events->clearSelection();
}

void CGpiDlg::Reshow(int seq) {
    GpiSequenceCommand(static_cast<uint8_t>(seq), kGpiReadDetail);
    SelectCurrentEvent(seq);
}

void CGpiDlg::Reread(int seq) {
    ReadGpiSequenceList();
    ShowSequence(seq);
}

bool CGpiDlg::ResetAndAdvance(int seq, int count) {
    const auto s = static_cast<uint8_t>(seq);
    if (GpiSequenceCommand(s, kGpiReset) != kLinkOk) return false;
    for (int i = 0; i < count; ++i) {
        // A unit that failed one advance would fail the rest as slowly.
        if (GpiSequenceCommand(s, kGpiStep) != kLinkOk) return false;
        DelayMs(kGpiAdvanceWaitMs);
    }
    return true;
}

void CGpiDlg::OnEventPicked(int event) {
    const int seq = CurrentTab();
    if (seq < 0 || event < 0 || event >= m_events->count()) return;
    // The unit's sequence only steps, so it is started again and stepped to the event.
    ResetAndAdvance(seq, event + 1);
}

void CGpiDlg::OnAdd() {
    const int seq = CurrentTab();
    const int file = m_files->SelectedRow();
    // Without a file selected there is nothing to insert.
    if (seq < 0 || file < 0 || file >= FileCount()) return;
    const int event = m_events->SelectedRow();
    const int position = event >= 0 ? event : EventCount(seq);
    AddGpiEvent(static_cast<uint8_t>(seq), static_cast<uint8_t>(g_files[file].fileId & 0xFF),
                static_cast<uint8_t>(position), 1);
    Reread(seq);
}

void CGpiDlg::OnRemove() {
    const int seq = CurrentTab();
    const int event = m_events->SelectedRow();
    if (seq < 0 || event < 0) return;
    AddGpiEvent(static_cast<uint8_t>(seq), 0, static_cast<uint8_t>(event), 0);
    Reread(seq);
}

void CGpiDlg::OnRemoveAll() {
    const int seq = CurrentTab();
    if (seq < 0) return;
    // Each removal of event 0 moves the next one up.
    const int lines = m_events->count();
    for (int i = 0; i < lines; ++i)
        if (AddGpiEvent(static_cast<uint8_t>(seq), 0, 0, 0) != kLinkOk) break;
    Reread(seq);
}

void CGpiDlg::OnStepUp() {
    const int seq = CurrentTab();
    const int event = m_events->SelectedRow();
    if (seq < 0 || event <= 0) return;
    ResetAndAdvance(seq, event);
    Reshow(seq);
}

void CGpiDlg::OnStepDown() {
    const int seq = CurrentTab();
    if (seq < 0) return;
    if (GpiSequenceCommand(static_cast<uint8_t>(seq), kGpiStep) == kLinkOk)
        DelayMs(kGpiAdvanceWaitMs);
    Reshow(seq);
}

void CGpiDlg::OnReset() {
    const int seq = CurrentTab();
    if (seq < 0) return;
    GpiSequenceCommand(static_cast<uint8_t>(seq), kGpiReset);
    Reshow(seq);
}

void CGpiDlg::PageFiles(int step) {
    const int row = ClampedSelection(m_files->SelectedRow(), step, m_files->count());
    if (row >= 0) m_files->setCurrentRow(row);
}
