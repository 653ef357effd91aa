// The touch keyboard inside the dialogs that take a name: a program of its own, since the
// keyboard is chosen before the application object exists. Names are typed by touches on its
// keys, never by key events sent to the field.

#include <QLineEdit>
#include <QPushButton>
#include <QQuickItem>
#include <QQuickWidget>
#include <QTest>

#include "dialogs/EffectMenuDlg.h"
#include "dialogs/FilesDlg.h"
#include "dialogs/TouchKeyboard.h"
#include "tests/dialogs/DialogFixture.h"
#include "tests/support/RecordingSeams.h"

void BeforeTestApplication() {
    PrepareTouchKeyboard();
}

// Qt's script engine keeps the keyboard's objects in a heap of its own to the end, where
// LeakSanitizer cannot see the pointers: this program is checked for memory errors only.
extern "C" int __lsan_is_turned_off() {
    return 1;
}

namespace {

// The key of the keyboard that reads text ("\n" for Enter), among the items shown.
QQuickItem* KeyItem(QQuickItem* item, const QString& text) {
    const QVariant key = item->property("key");
    if (item->isVisible() && item->width() > 0 && key.isValid() &&
        (item->property("text").toString() == text ||
         item->property("displayText").toString() == text ||
         (text == "\n" && key.toInt() == Qt::Key_Return)))
        return item;
    for (QQuickItem* child : item->childItems())
        if (QQuickItem* key = KeyItem(child, text)) return key;
    return nullptr;
}

class TouchKeyboardTest : public DialogTest {
protected:
    static QQuickWidget* Keyboard(QWidget& dialog) {
        auto* keyboard = qobject_cast<QQuickWidget*>(TouchKeyboardIn(&dialog));
        EXPECT_NE(keyboard, nullptr) << "no keyboard in the dialog";
        return keyboard;
    }
    // A finger on each key in turn ("&123" and "ABC" switch the page of keys).
    static void Touch(QWidget& dialog, const QStringList& keys) {
        QQuickWidget* keyboard = Keyboard(dialog);
        ASSERT_NE(keyboard, nullptr);
        // As on a screen, the dialog is the active window before a finger comes down.
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        for (const QString& text : keys) {
            // The keys are laid out once the keyboard has been shown and has a field to serve.
            QQuickItem* key = nullptr;
            for (int wait = 0; wait < 150 && !key; ++wait)
                if (!(key = KeyItem(keyboard->rootObject(), text))) QTest::qWait(20);
            ASSERT_NE(key, nullptr) << "no key " << text.toStdString();
            const QPointF centre = key->mapToScene(QPointF(key->width() / 2, key->height() / 2));
            QTest::mouseClick(keyboard, Qt::LeftButton, {}, centre.toPoint());
            QCoreApplication::processEvents();
        }
    }
    QStringList UnitFiles(int unit) const {
        QStringList names;
        for (const SimFile& f : rig->Unit(unit)->Files())
            names << QString::fromStdString(f.name);
        return names;
    }
};

TEST_F(TouchKeyboardTest, ANameTypedByTouchesIsSavedOnTheUnitAndTheKeyboardLeavesWithTheDialog) {
    Start();
    panel->show();
    Connect(3);
    QPointer<QWidget> kept;
    WhileOpen<CFilesDlg>([&] { panel->OnMenuButton(7); },
                         [&](CFilesDlg& d) {
                             QQuickWidget* keyboard = Keyboard(d);
                             ASSERT_NE(keyboard, nullptr);
                             kept = keyboard;
                             auto* name = Control<QLineEdit>(d, kIdFileName);
                             // Below the template's controls, the dialog's width, a finger's height
                             // per key row; the dialog grew by the keyboard.
                             const QSize templateSize =
                                 DluSize(kFilesTemplateWidth, kFilesTemplateHeight);
                             EXPECT_EQ(keyboard->geometry().top(), templateSize.height());
                             EXPECT_EQ(keyboard->width(), d.width());
                             EXPECT_EQ(d.height(), templateSize.height() + keyboard->height());
                             EXPECT_GE(keyboard->height(), 4 * 32);
                             EXPECT_FALSE(keyboard->geometry().intersects(name->geometry()));
                             EXPECT_LE(d.frameGeometry().bottom() - panel->geometry().top(), 600);

                             // A touch on a list entry takes the focus; the next key still types
                             // into the name.
                             TouchRow(Control<QListWidget>(d, kIdFileList), 0);
                             name->clear();
                             Touch(d, {"t", "a", "k", "e", "&123", "2"});
                             EXPECT_EQ(name->text(), "take2");
                             Control<QPushButton>(d, kIdSave)->click();
                         });
    EXPECT_TRUE(UnitFiles(3).contains("take2")) << UnitFiles(3).join(',').toStdString();
    ASSERT_FALSE(kept.isNull()) << "the keyboard outlives the dialog";
    EXPECT_EQ(kept->parentWidget(), nullptr);
    EXPECT_FALSE(kept->isVisible());

    // The same keyboard comes back when the dialog opens again; a name keeps 23 characters.
    WhileOpen<CFilesDlg>([&] { panel->OnMenuButton(7); },
                         [&](CFilesDlg& d) {
                             ASSERT_EQ(Keyboard(d), kept.data());
                             TestPrompter().Expect("Filename is limited to 23 characters.");
                             // The letters show again, not the digits it was left on.
                             Touch(d, QStringList(24, QStringLiteral("x")));
                             EXPECT_EQ(Control<QLineEdit>(d, kIdFileName)->text(),
                                       QString(23, QLatin1Char('x')));
                         });
}

TEST_F(TouchKeyboardTest, ItsEnterKeyClosesTheEffectMenuAsEnterDoesAndTheKeyboardServesOn) {
    Start();
    panel->show();
    Connect(1);  // the Elm, whose Effect Menu is menu button 6
    panel->OnMenuButton(6);
    QPointer<QWidget> keyboard;
    WhileOpen<CEffectMenuDlg>([&] { panel->OnMenuButton(5); },
                              [&](CEffectMenuDlg& d) {
                                  keyboard = Keyboard(d);
                                  Touch(d, {"w", "i", "p", "e"});
                                  EXPECT_EQ(Control<QLineEdit>(d, kIdEffectName)->text(), "wipe");
                                  // Enter closes the dialog with its selections, as the key on a
                                  // keyboard does; the keyboard hides in the middle of its own
                                  // touch and stays whole.
                                  Touch(d, {"\n"});
                                  EXPECT_FALSE(d.isVisible());
                                  EXPECT_EQ(d.result(), QDialog::Accepted);
                              });
    ASSERT_FALSE(keyboard.isNull());
    WhileOpen<CFilesDlg>([&] { panel->OnMenuButton(7); },
                         [&](CFilesDlg& d) {
                             ASSERT_EQ(Keyboard(d), keyboard.data());
                             Touch(d, {"o", "k"});
                             EXPECT_EQ(Control<QLineEdit>(d, kIdFileName)->text(), "ok");
                         });
}

}  // namespace
