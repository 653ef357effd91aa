#pragma once

// The Files dialog: the files (mode 0) or user files (mode 1) held on the selected Main Unit.
// The operator loads, saves, replaces, deletes and renames them, and copies a file to another
// unit of the same model. Every operation is a command the unit carries out; the list shown is
// the unit's list as last read.

#include <array>
#include <string>

#include "dialogs/DialogKit.h"
#include "link/PanelState.h"

class QLabel;
class QLineEdit;
class QPushButton;

// Template 151.
inline constexpr int kFilesTemplateWidth = 297;
inline constexpr int kFilesTemplateHeight = 196;
inline constexpr int kIdFileList = 1069;
inline constexpr int kIdFileName = 1070;
inline constexpr int kIdLoad = 1078;
inline constexpr int kIdDelete = 1106;
inline constexpr int kIdRename = 1107;
inline constexpr int kIdSave = 1076;
inline constexpr int kIdPageUp = 1098;
inline constexpr int kIdUp = 1095;
inline constexpr int kIdDown = 1101;
inline constexpr int kIdPageDown = 1099;
inline constexpr int kIdTransferFirst = 1072;  // 1072..1075: units 1..4
inline constexpr int kIdStatus = 1039;
inline constexpr int kIdClose = 2;

inline constexpr int kFilePageStep = 12;
// A file list the unit does not deliver is asked for this often before the dialog says so.
inline constexpr int kFileListAttempts = 5;
// Identify requests the dialog waits for the unit with after a delete.
inline constexpr int kWaitAfterDelete = 1001;
inline constexpr int kWaitBeforeReplace = 10001;

inline constexpr const char* kStatusEmpty = " Status:";
inline constexpr const char* kStatusListUnread =
    " Status: The Main Unit did not send its file list!";
inline constexpr const char* kMsgNameLimit = "Filename is limited to 23 characters.";
inline constexpr const char* kMsgReplace = "The file already exists.  Do you want to replace it?";
inline constexpr const char* kMsgNameTaken =
    "The file already exists.  Please select a different filename?";
// Asked before a delete, with the file's name.
inline constexpr const char* kMsgDeleteFormat = "Do you want to delete the file %1?";

class CFilesDlg : public CSetupDialog {
public:
    // mode 0: files, 1: user files; transfer[k]: unit k may receive a file (k = 1..4).
    CFilesDlg(QWidget* panel, int mode, const std::array<bool, kUnitSlots>& transfer);

    // The opening steps; exec() runs them first.
    void OnInitDialog();
    int exec() override;

    QPoint Placement(QSize outer) const override;

private:
    // Reads the shown list again; false when the unit did not send it.
    bool RefreshList();
    void OnPicked(int row);
    void OnNameEdited(const QString& text);
    void OnLoad();
    void OnSave();
    void OnDelete();
    void OnRename();
    void OnTransfer(int unit);
    void Page(int step);

    // The shown list's entries.
    const FileEntry* Entries() const;
    int EntryCount() const;
    // Position of name in the list box, or -1.
    int FindName(const std::string& name) const;
    int Selected() const;
    std::string SelectedName() const;
    std::string EditedName() const;
    void SetStatus(const std::string& text);
    // The outcome of an operation after which the list was read again: a failure is said
    // first, and a success never hides that the list could not be read.
    void SetOutcome(const std::string& text, bool failed, bool listRead);
    uint16_t HomeMenu() const;
    void WaitForUnit(int requests) const;
    void Select(int row);

    int m_mode;
    std::array<bool, kUnitSlots> m_transfer;
    bool m_initialised = false;
    CTouchList* m_list;
    QLineEdit* m_name;
    QPushButton* m_load;
    QPushButton* m_delete;
    QPushButton* m_rename;
    QPushButton* m_save;
    std::array<QPushButton*, kUnitCount> m_transferButtons{};
    QLabel* m_status;
};
