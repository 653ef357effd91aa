// The Files dialog opened from a connected panel through its menus, as an operator would,
// driven by touches on its controls; asserted on what the unit holds and what the dialog says.

#include <QApplication>
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
        EXPECT_EQ(Control<QListWidget>(d, kIdFileList)->currentRow(), 0);
        EXPECT_EQ(Control<QLineEdit>(d, kIdFileName)->text(), UnitFiles(3).front());
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
        ASSERT_EQ(TestLauncher().started.size(), 1u);
        EXPECT_EQ(TestLauncher().started[0].program, "onboard");
        // Enter is swallowed: the dialog stays open.
        QTest::keyClick(&d, Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());
    });
    EXPECT_EQ(TestLauncher().terminated.size(), 1u) << "the keyboard goes with the dialog";
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
    Open(7, [&](CFilesDlg& d) {
        Type(d, "Night News");
        Touch(d, kIdSave);
        EXPECT_TRUE(UnitFiles(3).contains("Night News"));
        EXPECT_TRUE(Shown(d).contains("Night News"));
        EXPECT_EQ(Status(d), " Status: File Night News has been saved!");
        EXPECT_TRUE(Control<QLineEdit>(d, kIdFileName)->text().isEmpty());
        EXPECT_FALSE(Control<QPushButton>(d, kIdSave)->isEnabled());

        // The same name again: No sends nothing and leaves the status line.
        const int files = UnitFiles(3).size();
        const int deletes = rig->Unit(3)->Received(kCmdDeleteFile);
        const int saves = rig->Unit(3)->Received(kCmdSaveFile);
        Type(d, "Night News");
        TestPrompter().Expect(kMsgReplace, PromptAnswer::No);
        Touch(d, kIdSave);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdDeleteFile), deletes);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdSaveFile), saves);
        EXPECT_EQ(Status(d), " Status: File Night News has been saved!");
        EXPECT_TRUE(Control<QLineEdit>(d, kIdFileName)->text().isEmpty());

        // Yes: the old file is deleted, then the new one saved in its place.
        Type(d, "Night News");
        TestPrompter().Expect(kMsgReplace, PromptAnswer::Yes);
        Touch(d, kIdSave);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdDeleteFile), deletes + 1);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdSaveFile), saves + 1);
        EXPECT_EQ(UnitFiles(3).size(), files);
        EXPECT_EQ(UnitFiles(3).count("Night News"), 1);
    });
    EXPECT_EQ(TestPrompter().shown.at(0).buttons, PromptButtons::YesNo);
}

TEST_F(FilesDialog, LoadsDeletesAndRenamesTheSelectedFile) {
    Start();
    Connect(3);
    Open(7, [&](CFilesDlg& d) {
        auto* list = Control<QListWidget>(d, kIdFileList);
        list->setCurrentRow(1);  // as the operator touches it: the name follows
        const QString second = UnitFiles(3).at(1);
        EXPECT_EQ(Control<QLineEdit>(d, kIdFileName)->text(), second);
        // A touch below the last file keeps the selection.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          QPoint(10, list->viewport()->height() - 3));
        EXPECT_EQ(list->currentRow(), 1);
        EXPECT_EQ(list->selectedItems().size(), 1);
        Touch(d, kIdLoad);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdLoadFile), 1);
        EXPECT_EQ(Status(d), " Status: File " + second.toStdString() + " has been loaded!");

        // Renaming to a name in the list deletes nothing.
        Type(d, UnitFiles(3).at(2));
        TestPrompter().Expect(kMsgNameTaken);
        Touch(d, kIdRename);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdDeleteFile), 0);
        EXPECT_TRUE(Control<QLineEdit>(d, kIdFileName)->text().isEmpty());

        list->setCurrentRow(1);
        Type(d, "Renamed Set");
        Touch(d, kIdRename);
        EXPECT_FALSE(UnitFiles(3).contains(second));
        EXPECT_TRUE(UnitFiles(3).contains("Renamed Set"));
        EXPECT_EQ(Status(d), " Status: File Renamed Set has been renamed!");

        list->setCurrentRow(0);
        const QString first = UnitFiles(3).at(0);
        Touch(d, kIdDelete);  // no question asked
        EXPECT_FALSE(UnitFiles(3).contains(first));
        EXPECT_EQ(Shown(d), UnitFiles(3));
        EXPECT_EQ(Status(d), " Status: File " + first.toStdString() + " has been deleted!");
    });
}

TEST_F(FilesDialog, ADeleteShowsTheMessageTheUnitPostsAfterIt) {
    Start();
    Connect(3);
    Open(7, [&](CFilesDlg& d) {
        rig->Unit(3)->PostMessage(1);
        TestPrompter().Expect(g_unitMessages[1].message);
        Touch(d, kIdDelete);
    });
    TestPrompter().ExpectDone();
}

TEST_F(FilesDialog, NamesStopAtTwentyThreeCharactersAndPagingClamps) {
    Start();
    Connect(3);
    Open(7, [&](CFilesDlg& d) {
        TestPrompter().Expect(kMsgNameLimit);
        Type(d, "abcdefghijklmnopqrstuvwx");  // 24 characters
        EXPECT_EQ(Control<QLineEdit>(d, kIdFileName)->text(), "abcdefghijklmnopqrstuvw");
        EXPECT_EQ(TestPrompter().shown.size(), 1u) << "the box comes once";
        Type(d, "");
        EXPECT_FALSE(Control<QPushButton>(d, kIdSave)->isEnabled());
        EXPECT_FALSE(Control<QPushButton>(d, kIdRename)->isEnabled());

        auto* list = Control<QListWidget>(d, kIdFileList);
        const int last = list->count() - 1;
        ASSERT_GT(last, 1);
        Touch(d, kIdUp);
        EXPECT_EQ(list->currentRow(), 0);
        Touch(d, kIdPageDown);
        EXPECT_EQ(list->currentRow(), std::min(12, last));
        Touch(d, kIdPageDown);
        Touch(d, kIdDown);
        EXPECT_EQ(list->currentRow(), last) << "no wrap at the end";
        Touch(d, kIdPageUp);
        Touch(d, kIdPageUp);
        EXPECT_EQ(list->currentRow(), 0);
        EXPECT_TRUE(Control<QLineEdit>(d, kIdFileName)->text().isEmpty())
            << "paging does not copy the name";
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
        Control<QListWidget>(d, kIdFileList)->setCurrentRow(2);
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
        // Rename has no file to rename: nothing is deleted or saved, the name is dropped.
        Type(d, "New Name");
        Touch(d, kIdRename);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdLoadFile), 0);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdDeleteFile), 0);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdSaveFile), 0);
        EXPECT_TRUE(Control<QLineEdit>(d, kIdFileName)->text().isEmpty());
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
        const std::string first = UnitFiles(3).at(0).toStdString();
        Touch(d, kIdDelete);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdIdentify), identifies + kWaitAfterDelete);
        EXPECT_EQ(Status(d), " Status: File " + first + " has been deleted!");

        // Replacing waits up to 10,001 requests.
        rig->Unit(3)->Faults().answersLeft = -1;
        Touch(d, kIdDown);  // the list reads again on the next refresh
        Type(d, UnitFiles(3).at(0));
        TestPrompter().Expect(kMsgReplace, PromptAnswer::Yes);
        const int before = rig->Unit(3)->Received(kCmdIdentify);
        rig->Unit(3)->Faults().answersLeft = 1;
        Touch(d, kIdSave);
        EXPECT_EQ(rig->Unit(3)->Received(kCmdIdentify), before + kWaitBeforeReplace);
    });
}

}  // namespace
