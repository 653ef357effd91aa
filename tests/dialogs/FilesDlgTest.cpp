// The Files dialog opened from a connected panel through its menus, as an operator would,
// driven by touches on its controls; asserted on what the unit holds and what the dialog says.

#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "dialogs/FilesDlg.h"
#include "link/Commands.h"
#include "tests/dialogs/DialogFixture.h"
#include "tests/support/RecordingSeams.h"
#include "tests/support/TapPort.h"
#include "widgets/InfoPanel.h"

namespace {

class FilesDialog : public DialogTest {
protected:
    // Touches the Files button (menu button 7; 9 for user files) of the connected panel.
    void Open(int menuButton, const std::function<void(CFilesDlg&)>& steps) {
        WhileOpen<CFilesDlg>([&] { panel->OnMenuButton(menuButton); }, steps);
    }

    static void Touch(CFilesDlg& dialog, int id) { Control<QPushButton>(dialog, id)->click(); }
    static void Type(CFilesDlg& dialog, const QString& text) {
        QLineEdit* edit = Control<QLineEdit>(dialog, kIdFileName);
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    static void Pick(CFilesDlg& dialog, int row) {
        TouchRow(Control<QListWidget>(dialog, kIdFileList), row);
    }
    static QString Name(CFilesDlg& dialog) {
        return Control<QLineEdit>(dialog, kIdFileName)->text();
    }
    static int Highlighted(CFilesDlg& dialog) {
        return Control<CTouchList>(dialog, kIdFileList)->SelectedRow();
    }
    static std::string Status(CFilesDlg& dialog) {
        return Control<QLabel>(dialog, kIdStatus)->text().toStdString();
    }
    static QStringList Shown(CFilesDlg& dialog) {
        QStringList names;
        auto* list = Control<QListWidget>(dialog, kIdFileList);
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        return names;
    }
    QStringList UnitFiles(int unit, bool user = false) const {
        QStringList names;
        for (const SimFile& f : user ? rig->Unit(unit)->UserFiles() : rig->Unit(unit)->Files())
            names << QString::fromStdString(f.name);
        return names;
    }
};

TEST_F(FilesDialog, OpensPlacedTitledWithTheUnitsFilesAndTheKeyboard) {
    Start();
    Connect(3);  // a Cedar: files need its reference video, which it has
    Open(7, [&](CFilesDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Files"));
        EXPECT_EQ(d.size(), QSize(446, 319));  // 297 x 196 dialog units
        const QRect outer = d.frameGeometry();
        EXPECT_EQ(outer.left(), (800 - outer.width()) / 2 + 2);
        EXPECT_EQ(outer.top(), 5);
        EXPECT_EQ(Shown(d), UnitFiles(3));
        // No file is a target until the operator touches one: Load, Delete and Transfer
        // send nothing.
        EXPECT_EQ(Highlighted(d), -1);
        EXPECT_EQ(Control<QListWidget>(d, kIdFileList)->currentRow(), -1)
            << "not even the focus frame of a current entry";
        EXPECT_TRUE(Name(d).isEmpty());
        EXPECT_FALSE(Control<QPushButton>(d, kIdSave)->isEnabled());
        EXPECT_FALSE(Control<QPushButton>(d, kIdRename)->isEnabled());
        Touch(d, kIdLoad);
        Touch(d, kIdDelete);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdLoadFile), 0);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdDeleteFile), 0);
        Pick(d, 0);
        EXPECT_EQ(Name(d), UnitFiles(3).front());
        EXPECT_TRUE(Control<QPushButton>(d, kIdSave)->isEnabled());
        EXPECT_TRUE(Control<QPushButton>(d, kIdRename)->isEnabled());
        EXPECT_EQ(Status(d), " Status:");
        EXPECT_EQ(Control<QPushButton>(d, kIdLoad)->text(), QStringLiteral("Load"));
        EXPECT_EQ(Control<QPushButton>(d, kIdPageDown)->text(), QStringLiteral("Page Down"));
        EXPECT_EQ(Control<QPushButton>(d, kIdClose)->text(), QStringLiteral("Close"));
        // Every control carries its template id; plain labels the static id -1.
        for (QWidget* w : d.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_FALSE(w->objectName().isEmpty()) << w->metaObject()->className();
        EXPECT_EQ(d.findChildren<QLabel*>(QStringLiteral("-1")).size(), 2);
        // No other unit is a Cedar on line: no transfer.
        for (int k = 0; k < 4; ++k)
            EXPECT_FALSE(Control<QPushButton>(d, kIdTransferFirst + k)->isEnabled()) << k;
        // No program is started for typing: the keyboard is the dialog's own.
        EXPECT_TRUE(TestLauncher().started.empty());
        // Enter is swallowed: the dialog stays open.
        QTest::keyClick(&d, Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());
    });
    EXPECT_TRUE(panel->TimerRunning(2));
    EXPECT_TRUE(panel->TimerRunning(3));

    // User files: "Preferences" on a Cedar, "User Files" on a group-A unit.
    Open(9, [](CFilesDlg& d) { EXPECT_EQ(d.windowTitle(), QStringLiteral("Preferences")); });
    Press(1, 0x01);
    panel->OnTimer(3);
    ASSERT_EQ(g_selectedUnit, 0x10);
    Open(9, [&](CFilesDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("User Files"));
        EXPECT_EQ(Shown(d), UnitFiles(1, true));
    });
}

TEST_F(FilesDialog, SavesANewFileAndReplacesAnExistingOneOnlyWhenAskedTo) {
    Start();
    Connect(3);
    TapPort tap(rig->Port());
    SetPortIo(&tap);
    Open(7, [&](CFilesDlg& d) {
        Type(d, "Night News");
        Touch(d, kIdSave);
        EXPECT_TRUE(UnitFiles(3).contains("Night News"));
        EXPECT_TRUE(Shown(d).contains("Night News"));
        EXPECT_EQ(Status(d), " Status: File Night News has been saved!");
        EXPECT_TRUE(Name(d).isEmpty());
        EXPECT_FALSE(Control<QPushButton>(d, kIdSave)->isEnabled());
        EXPECT_EQ(Highlighted(d), -1) << "a refresh leaves no file highlighted";
        // A new file goes with 0xFFFF, the home menu of the unit's identity.
        ASSERT_EQ(tap.Requests(kCmdSaveFile).size(), 1u);
        EXPECT_EQ(tap.Requests(kCmdSaveFile)[0][5], 0xFF);
        EXPECT_EQ(tap.Requests(kCmdSaveFile)[0][6], 0xFF);

        // The same name again: No sends nothing and leaves the status line as it was.
        Pick(d, 0);
        Touch(d, kIdLoad);
        const std::string loaded = Status(d);
        ASSERT_NE(loaded, " Status: File Night News has been saved!");
        const int files = UnitFiles(3).size();
        const int deletes = rig->Unit(3)->Received(kCmdDeleteFile);
        const int saves = rig->Unit(3)->Received(kCmdSaveFile);
        Type(d, "Night News");
        TestPrompter().Expect(kMsgReplace, PromptAnswer::No);
        Touch(d, kIdSave);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdDeleteFile), deletes);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdSaveFile), saves);
        EXPECT_EQ(Status(d), loaded);
        EXPECT_TRUE(Name(d).isEmpty());

        // Yes: the old file is deleted, then the new one saved in its place, under its id.
        const int at = static_cast<int>(Shown(d).indexOf("Night News"));
        const uint32_t fileId = g_files[at].fileId;
        Type(d, "Night News");
        TestPrompter().Expect(kMsgReplace, PromptAnswer::Yes);
        Touch(d, kIdSave);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdDeleteFile), deletes + 1);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdSaveFile), saves + 1);
        const auto deleted = tap.Requests(kCmdDeleteFile).back();
        EXPECT_EQ(deleted[5] << 8 | deleted[6], static_cast<int>(fileId & 0xFFFF));
        const auto replaced = tap.Requests(kCmdSaveFile).back();
        EXPECT_EQ(replaced[5] << 8 | replaced[6], static_cast<int>(fileId & 0xFFFF));
        EXPECT_EQ(UnitFiles(3).size(), files);
        EXPECT_EQ(UnitFiles(3).count("Night News"), 1);
    });
    SetPortIo(&rig->Port());
    EXPECT_EQ(TestPrompter().shown.at(0).buttons, PromptButtons::YesNo);
}

TEST_F(FilesDialog, LoadsDeletesAndRenamesTheFileTheOperatorTouched) {
    Start();
    Connect(3);
    TapPort tap(rig->Port());
    SetPortIo(&tap);
    Open(7, [&](CFilesDlg& d) {
        auto* list = Control<QListWidget>(d, kIdFileList);
        Pick(d, 1);
        const QString second = UnitFiles(3).at(1);
        EXPECT_EQ(Name(d), second);
        // A touch below the last file keeps the selection.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          QPoint(10, list->viewport()->height() - 3));
        EXPECT_EQ(Highlighted(d), 1);
        // A touch on the file already highlighted copies its name again.
        Type(d, "");
        Pick(d, 1);
        EXPECT_EQ(Name(d), second);
        Touch(d, kIdLoad);
        ASSERT_EQ(tap.Requests(kCmdLoadFile).size(), 1u);
        EXPECT_EQ(tap.Requests(kCmdLoadFile)[0][5], rig->Unit(3)->Files().at(1).id & 0xFF)
            << "the number of the file touched";
        EXPECT_EQ(Status(d), " Status: File " + second.toStdString() + " has been loaded!");
        // The last file's number is neither its row + 1 nor a user file's.
        Pick(d, 7);
        Touch(d, kIdLoad);
        ASSERT_EQ(rig->Unit(3)->Files().at(7).id, 12);
        EXPECT_EQ(tap.Requests(kCmdLoadFile).back()[5], 12);
        Pick(d, 1);

        // Renaming to a name in the list deletes nothing.
        Type(d, UnitFiles(3).at(2));
        TestPrompter().Expect(kMsgNameTaken);
        Touch(d, kIdRename);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdDeleteFile), 0);
        EXPECT_TRUE(Name(d).isEmpty());

        Type(d, "Renamed Set");
        Touch(d, kIdRename);
        EXPECT_FALSE(UnitFiles(3).contains(second));
        EXPECT_TRUE(UnitFiles(3).contains("Renamed Set"));
        EXPECT_EQ(Status(d), " Status: File Renamed Set has been renamed!");

        // Delete asks first, naming the file; No sends nothing.
        Pick(d, 0);
        const QString first = UnitFiles(3).at(0);
        const std::string question = "Do you want to delete the file " + first.toStdString() + "?";
        TestPrompter().Expect(question, PromptAnswer::No);
        Touch(d, kIdDelete);
        EXPECT_TRUE(UnitFiles(3).contains(first));
        EXPECT_EQ(rig->Unit(3)->Received(kCmdDeleteFile), 1);
        TestPrompter().Expect(question, PromptAnswer::Yes);
        Touch(d, kIdDelete);
        EXPECT_FALSE(UnitFiles(3).contains(first));
        EXPECT_EQ(Shown(d), UnitFiles(3));
        EXPECT_EQ(Status(d), " Status: File " + first.toStdString() + " has been deleted!");
        // A second touch on Delete has no file to act on: the operator has not picked one.
        Touch(d, kIdDelete);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdDeleteFile), 2);
        TestPrompter().ExpectDone();
    });
    SetPortIo(&rig->Port());
}

TEST_F(FilesDialog, ADeleteShowsTheMessageTheUnitPostsAfterIt) {
    Start();
    Connect(3);
    Open(7, [&](CFilesDlg& d) {
        rig->Unit(3)->PostMessage(1);
        Pick(d, 0);
        TestPrompter().Expect(
            "Do you want to delete the file " + UnitFiles(3).at(0).toStdString() + "?",
            PromptAnswer::Yes);
        TestPrompter().Expect(g_unitMessages[1].message);
        Touch(d, kIdDelete);
    });
    TestPrompter().ExpectDone();
}

TEST_F(FilesDialog, NamesStopAtTwentyThreeCharactersAndPagingClamps) {
    SimProfile cedar = ShippedProfile("cedar");
    for (int i = static_cast<int>(cedar.files.size()); i < 20; ++i)
        cedar.files.push_back({40 + i, 0, "Extra " + std::to_string(i), {}, {}});
    rig->AddUnit(3, cedar);
    Start();
    Connect(3);
    Open(7, [&](CFilesDlg& d) {
        TestPrompter().Expect(kMsgNameLimit);
        Type(d, "abcdefghijklmnopqrstuvwx");  // 24 characters
        EXPECT_EQ(Name(d), "abcdefghijklmnopqrstuvw");
        EXPECT_EQ(TestPrompter().shown.size(), 1u) << "the box comes once";
        // A name travels in Latin-1: what it cannot carry is never taken, so never sent as '?'.
        // Each character comes as an input method commits it, as from the touch keyboard.
        auto* name = Control<QLineEdit>(d, kIdFileName);
        name->clear();
        for (const QChar c : QString::fromUtf8("F\u00eate \u20ac5 \u0416")) {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(name, &commit);
        }
        EXPECT_EQ(Name(d), QString::fromUtf8("F\u00eate 5 "));
        Type(d, "");
        EXPECT_FALSE(Control<QPushButton>(d, kIdSave)->isEnabled());
        EXPECT_FALSE(Control<QPushButton>(d, kIdRename)->isEnabled());

        ASSERT_EQ(Shown(d).size(), 20);
        Touch(d, kIdUp);
        EXPECT_EQ(Highlighted(d), 0) << "from no file, a step up lands on the first";
        Touch(d, kIdUp);
        EXPECT_EQ(Highlighted(d), 0);
        Touch(d, kIdPageDown);
        EXPECT_EQ(Highlighted(d), 12);
        Touch(d, kIdDown);
        EXPECT_EQ(Highlighted(d), 13);
        Touch(d, kIdPageDown);
        EXPECT_EQ(Highlighted(d), 19) << "no wrap at the end";
        Touch(d, kIdDown);
        EXPECT_EQ(Highlighted(d), 19);
        Touch(d, kIdPageUp);
        EXPECT_EQ(Highlighted(d), 7);
        Touch(d, kIdPageUp);
        EXPECT_EQ(Highlighted(d), 0);
        EXPECT_TRUE(Name(d).isEmpty()) << "paging does not copy the name";
    });
}

TEST_F(FilesDialog, ATransferCarriesTheFileToAnotherCedar) {
    rig->SetOnline(4, true);
    Start();
    Connect(3);
    Open(7, [&](CFilesDlg& d) {
        EXPECT_FALSE(Control<QPushButton>(d, kIdTransferFirst + 2)->isEnabled()) << "itself";
        EXPECT_FALSE(Control<QPushButton>(d, kIdTransferFirst + 0)->isEnabled()) << "an Elm";
        QPushButton* toFour = Control<QPushButton>(d, kIdTransferFirst + 3);
        ASSERT_TRUE(toFour->isEnabled());
        toFour->click();
        EXPECT_EQ(rig->Unit(3)->Received(kCmdFileDataOpen), 0) << "no file touched yet";
        Pick(d, 2);
        const std::string name = UnitFiles(3).at(2).toStdString();
        toFour->click();
        EXPECT_EQ(Status(d), " Status: File " + name + " has been transfered!");
        const SimFile* carried = nullptr;
        for (const SimFile& f : rig->Unit(4)->Files())
            if (f.name == name) carried = &f;
        ASSERT_NE(carried, nullptr);
        const SimFile& original = rig->Unit(3)->Files().at(2);
        EXPECT_EQ(carried->contents, original.contents);
    });
    // User files are not carried: their number would name a file of the other list.
    Open(9, [&](CFilesDlg& d) {
        EXPECT_FALSE(Control<QPushButton>(d, kIdTransferFirst + 3)->isEnabled());
    });
}

TEST_F(FilesDialog, AUserFileSavedCarriesTheCustomMenus) {
    Start();
    Connect(1);  // an Elm
    g_customKnobs[1][2] = {59, 60, 61, 128, 128, 128, 128, 128};
    g_customButtons[1][2] = {33, 127, 127, 127, 127, 127};
    Open(9, [&](CFilesDlg& d) {
        Type(d, "Crew B");
        Touch(d, kIdSave);
    });
    const SimFile* saved = nullptr;
    for (const SimFile& f : rig->Unit(1)->UserFiles())
        if (f.name == "Crew B") saved = &f;
    ASSERT_NE(saved, nullptr);
    ASSERT_EQ(saved->customMenus.size(), 4u);
    EXPECT_EQ(saved->customMenus[1].knobs[2], 61);
    EXPECT_EQ(saved->customMenus[1].buttons[0], 33);
    EXPECT_EQ(saved->customMenus[1].buttons[1], 255) << "an empty button is 255 in a file";
}

TEST_F(FilesDialog, AnEmptyListAndASilentUnitAreHandledSafely) {
    SimProfile cedar = ShippedProfile("cedar");
    cedar.files.clear();
    rig->AddUnit(3, cedar);
    Start();
    Connect(3);
    Open(7, [&](CFilesDlg& d) {
        EXPECT_TRUE(Shown(d).isEmpty());
        EXPECT_FALSE(Control<QPushButton>(d, kIdSave)->isEnabled());
        Touch(d, kIdLoad);
        Touch(d, kIdDelete);
        Touch(d, kIdDown);
        // Rename has no file to rename: nothing is deleted or saved, the name stays typed.
        Type(d, "New Name");
        Touch(d, kIdRename);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdLoadFile), 0);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdDeleteFile), 0);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdSaveFile), 0);
        EXPECT_EQ(Name(d), "New Name");
        EXPECT_EQ(Status(d), " Status:");
    });

    // A unit that never sends its list is asked a few times; the dialog says so.
    rig->Unit(3)->Faults().corruption = SimCorruption::WrongCode;
    rig->Unit(3)->Faults().corruptCommand = kCmdFileListOpen;
    rig->Unit(3)->Faults().corruptCount = -1;
    const int asked = rig->Unit(3)->Received(kCmdFileListOpen);
    Open(7, [&](CFilesDlg& d) { EXPECT_EQ(Status(d), kStatusListUnread); });
    EXPECT_EQ(rig->Unit(3)->Received(kCmdFileListOpen), asked + kFileListAttempts);
}

TEST_F(FilesDialog, AfterClosingGroupARereadsAndOthersUpdateTheirFileSystem) {
    Start();
    Connect(3);
    Open(7, [](CFilesDlg&) {});
    QCoreApplication::processEvents();
    EXPECT_EQ(rig->Unit(3)->Received(234), 1) << "the deferred file-system update ran";

    // Without a dialog nothing runs after it.
    SetDialogFactory(nullptr);
    panel->OnMenuButton(7);
    QCoreApplication::processEvents();
    EXPECT_EQ(rig->Unit(3)->Received(234), 1);
    EXPECT_EQ(panel->m_infoPanel->Message(), "The Files dialog is not available.");

    SetDialogFactory(&dialogs);
    Press(1, 0x01);
    panel->OnTimer(3);
    const int reads = rig->Unit(1)->Received(kCmdValues2);
    Open(7, [](CFilesDlg&) {});
    EXPECT_EQ(rig->Unit(1)->Received(kCmdValues2), reads + 1) << "the full refresh";
}

TEST_F(FilesDialog, TheWaitsForASilentUnitAreBounded) {
    Start();
    Connect(3);
    Open(7, [&](CFilesDlg& d) {
        // The unit takes the delete and then says nothing more: 1,001 identify requests, the
        // list asked for a few times, and the dialog goes on.
        const int identifies = rig->Unit(3)->Received(kCmdIdentify);
        rig->Unit(3)->Faults().answersLeft = 1;
        Pick(d, 0);
        TestPrompter().Expect(
            "Do you want to delete the file " + UnitFiles(3).at(0).toStdString() + "?",
            PromptAnswer::Yes);
        Touch(d, kIdDelete);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdIdentify), identifies + kWaitAfterDelete);
        EXPECT_EQ(Status(d), kStatusListUnread) << "the list the unit did not send";
        EXPECT_TRUE(Shown(d).isEmpty());

        // Replacing waits up to 10,001 requests.
        rig->Unit(3)->Faults().answersLeft = -1;
        Touch(d, kIdDown);  // the list reads again on the next refresh
        Type(d, "Refill");
        Touch(d, kIdSave);
        Type(d, UnitFiles(3).at(0));
        TestPrompter().Expect(kMsgReplace, PromptAnswer::Yes);
        const int before = rig->Unit(3)->Received(kCmdIdentify);
        rig->Unit(3)->Faults().answersLeft = 1;
        Touch(d, kIdSave);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdIdentify), before + kWaitBeforeReplace);
    });
}

// What the operator reads when the unit refuses or does not answer: never that it worked.
TEST_F(FilesDialog, AUnitThatDoesNotAnswerIsNeverReportedAsDone) {
    rig->SetOnline(4, true);
    Start();
    Connect(3);
    Open(7, [&](CFilesDlg& d) {
        SimUnit& cedar = *rig->Unit(3);
        const std::string first = UnitFiles(3).at(0).toStdString();
        auto refuse = [&](uint8_t command) {
            cedar.Faults().corruption = SimCorruption::WrongCode;
            cedar.Faults().corruptCommand = command;
            cedar.Faults().corruptCount = -1;
        };
        auto heal = [&] { cedar.Faults() = SimUnitFaults{}; };

        refuse(kCmdLoadFile);
        Pick(d, 0);
        Touch(d, kIdLoad);
        EXPECT_EQ(Status(d), " Status: File " + first + " has not been loaded!");

        // A transfer whose read fails writes nothing to the other unit.
        heal();
        refuse(kCmdFileDataOpen);
        const std::vector<SimFile> fourBefore = rig->Unit(4)->Files();
        const int writes = rig->Unit(4)->Received(kCmdFileDataWrite);
        Touch(d, kIdTransferFirst + 3);
        EXPECT_EQ(Status(d), " Status: File " + first + " has not been transfered!");
        EXPECT_EQ(rig->Unit(4)->Received(kCmdFileDataWrite), writes);
        EXPECT_EQ(rig->Unit(4)->Files().size(), fourBefore.size());

        // A rename whose delete went through and whose save did not.
        heal();
        refuse(kCmdSaveFile);
        cedar.Faults().corruption = SimCorruption::WrongType;
        Pick(d, 0);
        Type(d, "Fresh Name");
        Touch(d, kIdRename);
        EXPECT_EQ(Status(d), " Status: File " + first + " has been deleted and not saved again!");
        EXPECT_FALSE(UnitFiles(3).contains(QString::fromStdString(first)));

        // A save the unit refuses.
        Type(d, "Never Kept");
        Touch(d, kIdSave);
        EXPECT_EQ(Status(d), " Status: File Never Kept has not been saved!");
        // Replacing: the old file deleted, the new one refused.
        const std::string replaced = Shown(d).at(0).toStdString();
        Type(d, QString::fromStdString(replaced));
        TestPrompter().Expect(kMsgReplace, PromptAnswer::Yes);
        Touch(d, kIdSave);
        EXPECT_EQ(Status(d),
                  " Status: File " + replaced + " has been deleted and not saved again!");

        // A rename whose delete is refused saves nothing: no second copy appears.
        heal();
        refuse(kCmdDeleteFile);
        const int saves = cedar.Received(kCmdSaveFile);
        Pick(d, 0);
        const std::string second = Shown(d).at(0).toStdString();
        Type(d, "Other Name");
        Touch(d, kIdRename);
        EXPECT_EQ(cedar.Received(kCmdSaveFile), saves);
        EXPECT_EQ(Status(d), " Status: File " + second + " has not been renamed!");
        Pick(d, 0);
        const std::string third = Shown(d).at(0).toStdString();
        TestPrompter().Expect("Do you want to delete the file " + third + "?", PromptAnswer::Yes);
        Touch(d, kIdDelete);
        EXPECT_EQ(Status(d), " Status: File " + third + " has not been deleted!");

        // The unit gone: Load says so, and Save says so over the list it could not read.
        heal();
        rig->SetOnline(3, false);
        Pick(d, 0);
        const std::string fourth = Shown(d).at(0).toStdString();
        Touch(d, kIdLoad);
        EXPECT_EQ(Status(d), " Status: File " + fourth + " has not been loaded!");
        Type(d, "Virtual Desk");
        Touch(d, kIdSave);
        EXPECT_EQ(Status(d), " Status: File Virtual Desk has not been saved!");
        EXPECT_TRUE(Shown(d).isEmpty()) << "a list not read is empty";
        EXPECT_EQ(g_fileCount, 0u);
        rig->SetOnline(3, true);
    });
}

// The list of the unit selected before must never stand for this unit's.
TEST_F(FilesDialog, AListThatCannotBeReadIsEmptyAndASuccessDoesNotHideIt) {
    Start();
    Connect(1);
    ASSERT_EQ(ReadFileList(FileList::Files), kLinkOk);
    ASSERT_GT(g_fileCount, 0u) << "the Elm's files, read before";
    Press(3, 0x01);
    panel->OnTimer(3);
    ASSERT_EQ(g_selectedUnit, 0x30);
    SimUnit& cedar = *rig->Unit(3);
    cedar.Faults().corruption = SimCorruption::WrongCode;
    cedar.Faults().corruptCommand = kCmdFileListOpen;
    cedar.Faults().corruptCount = -1;
    Open(7, [&](CFilesDlg& d) {
        EXPECT_EQ(Status(d), kStatusListUnread);
        EXPECT_TRUE(Shown(d).isEmpty());
        EXPECT_EQ(g_fileCount, 0u);
        Touch(d, kIdDown);
        Touch(d, kIdLoad);
        EXPECT_EQ(cedar.Received(kCmdLoadFile), 0);

        // A save the unit takes, whose list then cannot be read: the status keeps saying so.
        Type(d, "Kept Anyway");
        Touch(d, kIdSave);
        EXPECT_EQ(cedar.Received(kCmdSaveFile), 1);
        EXPECT_EQ(Status(d), kStatusListUnread);
    });
}

}  // namespace
