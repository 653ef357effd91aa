#include "dialogs/FilesDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <cstring>

#include "link/Commands.h"

namespace {

constexpr uint16_t kNewFileWord = 0xFFFF;
constexpr int kPlacementTop = 5;

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string EntryName(const FileEntry& entry) {
    return std::string(entry.name, strnlen(entry.name, kNameLength));
}

std::string StatusText(const std::string& name, const char* what) {
    return std::string(" Status: File ") + name + " has been " + what + "!";
}

// The unit refused or did not answer.
std::string FailedText(const std::string& name, const char* what) {
    return std::string(" Status: File ") + name + " has not been " + what + "!";
}

// A rename or a replacing save whose delete went through and whose save did not.
std::string DeletedNotSavedText(const std::string& name) {
    return std::string(" Status: File ") + name + " has been deleted and not saved again!";
}

}  // namespace

CFilesDlg::CFilesDlg(QWidget* panel, int mode, const std::array<bool, kUnitSlots>& transfer)
    : CSetupDialog(panel, QSize(kFilesTemplateWidth, kFilesTemplateHeight)),
      m_mode(mode == 1 ? 1 : 0),
      m_transfer(transfer) {
    AddLabel(kStaticId, QStringLiteral("Filename:"), DluRect(7, 8, 44, 10));
    m_name = AddEdit(kIdFileName, DluRect(52, 5, 108, 15));
    m_list = AddList(kIdFileList, DluRect(7, 24, 150, 142));

    AddButton(kIdPageUp, QStringLiteral("Page Up"), DluRect(162, 24, 56, 22));
    AddButton(kIdUp, QStringLiteral("Up"), DluRect(162, 50, 56, 22));
    AddButton(kIdDown, QStringLiteral("Down"), DluRect(162, 76, 56, 22));
    AddButton(kIdPageDown, QStringLiteral("Page Down"), DluRect(162, 102, 56, 22));

    m_load = AddButton(kIdLoad, QStringLiteral("Load"), DluRect(222, 5, 68, 20));
    m_save = AddButton(kIdSave, QStringLiteral("Save"), DluRect(222, 29, 68, 20));
    m_delete = AddButton(kIdDelete, QStringLiteral("Delete"), DluRect(222, 53, 68, 20));
    m_rename = AddButton(kIdRename, QStringLiteral("Rename"), DluRect(222, 77, 68, 20));
    m_save->setEnabled(false);
    m_rename->setEnabled(false);

    AddLabel(kStaticId, QStringLiteral("Transfer:"), DluRect(222, 104, 68, 10));
    for (int k = 0; k < kUnitCount; ++k) {
        const QRect place = DluRect(222 + 36 * (k % 2), 116 + 24 * (k / 2), 32, 20);
        m_transferButtons[k] = AddButton(kIdTransferFirst + k, QString::number(k + 1), place);
        m_transferButtons[k]->setEnabled(false);
        connect(m_transferButtons[k], &QPushButton::clicked, this,
                [this, k] { OnTransfer(k + 1); });
    }

    m_status =
        AddLabel(kIdStatus, QString::fromLatin1(kStatusEmpty), DluRect(7, 172, 209, 16), true);
    AddButton(kIdClose, QStringLiteral("Close"), DluRect(222, 170, 68, 20));

    connect(findChild<QPushButton*>(QString::number(kIdClose)), &QPushButton::clicked, this,
            &QDialog::reject);
    connect(m_load, &QPushButton::clicked, this, [this] { OnLoad(); });
    connect(m_save, &QPushButton::clicked, this, [this] { OnSave(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { OnDelete(); });
    connect(m_rename, &QPushButton::clicked, this, [this] { OnRename(); });
    const std::pair<int, int> paging[] = {
        {kIdPageUp, -kFilePageStep}, {kIdUp, -1}, {kIdDown, 1}, {kIdPageDown, kFilePageStep}};
    for (const auto& [id, step] : paging)
        connect(findChild<QPushButton*>(QString::number(id)), &QPushButton::clicked, this,
                [this, step = step] { Page(step); });
    m_list->picked = [this](int row) { OnPicked(row); };
    connect(m_name, &QLineEdit::textChanged, this, [this](const QString& t) { OnNameEdited(t); });
    SwallowEnter(true);
}

QPoint CFilesDlg::Placement(QSize outer) const {
    return {(kScreenWidth - outer.width()) / 2 + 2, kPlacementTop};
}

int CFilesDlg::exec() {
    OnInitDialog();
    return CSetupDialog::exec();
}

void CFilesDlg::OnInitDialog() {
    if (m_initialised) return;
    m_initialised = true;
    if (m_mode == 0)
        setWindowTitle(QStringLiteral("Files"));
    else
        setWindowTitle(IsModelGroupA() ? QStringLiteral("User Files")
                                       : QStringLiteral("Preferences"));
    RefreshList();
    m_list->setFocus();
    // A user file's contents are read by its number in the file list, which names another
    // file: only files are carried to another unit.
    for (int k = 1; k <= kUnitCount; ++k)
        m_transferButtons[k - 1]->setEnabled(m_mode == 0 && m_transfer[k]);
    UseKeyboard(m_name);
}

// ---- The list -----------------------------------------------------------------------------------

const FileEntry* CFilesDlg::Entries() const {
    return m_mode == 0 ? g_files.data() : g_userFiles.data();
}

int CFilesDlg::EntryCount() const {
    const uint32_t count = m_mode == 0 ? g_fileCount : g_userFileCount;
    return static_cast<int>(std::min<uint32_t>(count, kMaxFiles));
}

bool CFilesDlg::RefreshList() {
    m_list->clear();
    const FileList which = m_mode == 0 ? FileList::Files : FileList::UserFiles;
    // A unit that fails to send its list is asked again at once, a few times: one that no
    // longer answers must not hold the dialog. A list not read is empty (ReadFileList empties
    // the table), so no file id of an earlier list can reach this unit.
    bool read = false;
    for (int attempt = 0; attempt < kFileListAttempts && !read; ++attempt)
        read = ReadFileList(which) == kLinkOk;
    if (!read) SetStatus(kStatusListUnread);
    for (int i = 0; i < EntryCount(); ++i)
        m_list->addItem(Latin1(EntryName(Entries()[i])));
    // No file is the target of Load, Delete or Transfer until the operator touches one.
    m_list->setCurrentRow(-1);
    m_list->clearSelection();
    m_name->clear();
    update();
    return read;
}

void CFilesDlg::Select(int row) {
    if (row >= 0 && row < m_list->count()) m_list->setCurrentRow(row);
}

int CFilesDlg::Selected() const {
    const int row = m_list->SelectedRow();
    return row < EntryCount() ? row : -1;
}

std::string CFilesDlg::SelectedName() const {
    const int row = Selected();
    return row < 0 ? std::string() : m_list->item(row)->text().toLatin1().toStdString();
}

std::string CFilesDlg::EditedName() const {
    return m_name->text().toLatin1().toStdString();
}

int CFilesDlg::FindName(const std::string& name) const {
    const QString wanted = Latin1(name);
    for (int i = 0; i < m_list->count() && i < EntryCount(); ++i)
        if (m_list->item(i)->text() == wanted) return i;
    return -1;
}

void CFilesDlg::Page(int step) {
    // With nothing highlighted the step counts from before the first file.
    const int row = ClampedSelection(m_list->SelectedRow(), step, m_list->count());
    if (row >= 0) Select(row);
}

void CFilesDlg::OnPicked(int row) {
    if (row >= 0 && row < m_list->count()) m_name->setText(m_list->item(row)->text());
}

void CFilesDlg::OnNameEdited(const QString& text) {
    m_save->setEnabled(!text.isEmpty());
    m_rename->setEnabled(!text.isEmpty());
    if (text.size() <= kMaxFileNameChars) return;
    // Setting the cut text comes back here with 23 characters, so the box shows once.
    m_name->setText(text.left(kMaxFileNameChars));
    Ask(kMsgNameLimit, PromptButtons::Ok, PromptIcon::Warning);
}

// ---- The operations ----------------------------------------------------------------------------

void CFilesDlg::SetStatus(const std::string& text) {
    m_status->setText(Latin1(text));
}

void CFilesDlg::SetOutcome(const std::string& text, bool failed, bool listRead) {
    if (failed || listRead) SetStatus(text);
}

uint16_t CFilesDlg::HomeMenu() const {
    return g_unitIdentity.currentMenu;
}

void CFilesDlg::WaitForUnit(int requests) const {
    for (int i = 0; i < requests; ++i)
        if (Identify(g_selectedUnit, g_unitIdentity) == kLinkOk) return;
}

// Load, Delete, Rename and Transfer act on the file the operator touched: with none highlighted
// (on opening, after every refresh, with an empty list) they do nothing.

void CFilesDlg::OnLoad() {
    const int row = Selected();
    if (row < 0) return;
    const std::string name = SelectedName();
    const bool loaded =
        LoadFile(static_cast<uint8_t>(Entries()[row].fileId & 0xFF), m_mode == 1) == kLinkOk;
    SetStatus(loaded ? StatusText(name, "loaded") : FailedText(name, "loaded"));
}

void CFilesDlg::OnSave() {
    const std::string name = EditedName();
    const int found = FindName(name);
    const bool withMenus = m_mode == 1;
    bool asked = true;
    bool deleted = false;
    bool saved = false;
    if (found < 0) {
        saved = SaveFile(name, HomeMenu(), kNewFileWord, withMenus) == kLinkOk;
    } else if (Ask(kMsgReplace, PromptButtons::YesNo, PromptIcon::Question) == PromptAnswer::Yes) {
        const auto fileId = static_cast<uint16_t>(Entries()[found].fileId);
        // A file the unit did not delete is not saved over: the unit keeps it as it was.
        deleted = DeleteFile(fileId, withMenus) == kLinkOk;
        if (deleted) {
            WaitForUnit(kWaitBeforeReplace);
            saved = SaveFile(name, HomeMenu(), fileId, withMenus) == kLinkOk;
        }
    } else {
        asked = false;
    }
    if (asked) {
        const bool listRead = RefreshList();
        const std::string outcome = saved     ? StatusText(name, "saved")
                                    : deleted ? DeletedNotSavedText(name)
                                              : FailedText(name, "saved");
        SetOutcome(outcome, !saved, listRead);
    }
    m_save->setEnabled(false);
    m_name->clear();
}

void CFilesDlg::OnDelete() {
    const int row = Selected();
    if (row < 0) return;
    const std::string name = SelectedName();
    const QString question = QString::fromLatin1(kMsgDeleteFormat).arg(Latin1(name));
    if (Ask(question.toLatin1().toStdString(), PromptButtons::YesNo, PromptIcon::Question) !=
        PromptAnswer::Yes)
        return;
    const bool deleted =
        DeleteFile(static_cast<uint16_t>(Entries()[row].fileId), m_mode == 1) == kLinkOk;
    if (deleted) {
        WaitForUnit(kWaitAfterDelete);
        const uint8_t message = g_unitIdentity.MessageNumber;
        // The unit's message table has 200 entries; another number names none.
        if (message != kNoMessage && message < kUnitMessageCount)
            Ask(g_unitMessages[message].message, PromptButtons::Ok, PromptIcon::Information);
    }
    const bool listRead = RefreshList();
    SetOutcome(deleted ? StatusText(name, "deleted") : FailedText(name, "deleted"), !deleted,
               listRead);
}

void CFilesDlg::OnRename() {
    const std::string name = EditedName();
    const int row = Selected();
    // Without a file touched there is nothing to rename: the typed name stays for when the
    // operator has touched one.
    if (row < 0 && FindName(name) < 0) return;
    if (FindName(name) >= 0) {
        Ask(kMsgNameTaken, PromptButtons::Ok, PromptIcon::Warning);
    } else {
        const std::string old = SelectedName();
        const bool withMenus = m_mode == 1;
        // Nothing is saved under the new name unless the old file is gone: a rename never
        // leaves two copies behind.
        const bool deleted =
            DeleteFile(static_cast<uint16_t>(Entries()[row].fileId), withMenus) == kLinkOk;
        bool saved = false;
        if (deleted) {
            WaitForUnit(kWaitAfterDelete);
            saved = SaveFile(name, HomeMenu(), kNewFileWord, withMenus) == kLinkOk;
        }
        const bool listRead = RefreshList();
        const std::string outcome = saved     ? StatusText(name, "renamed")
                                    : deleted ? DeletedNotSavedText(old)
                                              : FailedText(old, "renamed");
        SetOutcome(outcome, !saved, listRead);
    }
    m_name->clear();
}

void CFilesDlg::OnTransfer(int unit) {
    const int row = Selected();
    if (row < 0 || row >= static_cast<int>(g_fileCount)) return;
    const std::string name = SelectedName();
    // A file that did not come whole from this unit is not written to the other: it would
    // overwrite a file there with an earlier transfer's data.
    const bool carried =
        ReadFileData(static_cast<uint8_t>(g_files[row].fileId & 0xFF)) == kLinkOk &&
        WriteFileData(AddressOfUnit(unit)) == kLinkOk;
    SetStatus(carried ? StatusText(name, "transfered") : FailedText(name, "transfered"));
}
