// The dialogs as the kiosk shows them: a caption strip of their own (no title bars there), what
// a finger must hit at a finger's size, and message boxes centred on the panel.

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

#include "dialogs/AboutDlg.h"
#include "dialogs/DialogStyle.h"
#include "dialogs/FilesDlg.h"
#include "dialogs/InputDlg.h"
#include "tests/dialogs/DialogFixture.h"

namespace {

class KioskDialogs : public DialogTest {
protected:
    void TearDown() override {
        SetDialogCaptions(false);
        DialogTest::TearDown();
    }
};

TEST_F(KioskDialogs, ACaptionStripTopsEveryDialogAndThePlacementTakesItIn) {
    Start();
    panel->show();
    Connect(3);
    SetDialogCaptions(true);
    const QSize files = DluSize(kFilesTemplateWidth, kFilesTemplateHeight);
    for (int button : {7, 9}) {
        WhileOpen<CFilesDlg>(
            [&] { panel->OnMenuButton(button); },
            [&](CFilesDlg& d) {
                // The Cedar's user files are its Preferences: the strip tells the two apart.
                EXPECT_EQ(d.windowTitle(), button == 7 ? "Files" : "Preferences");
                EXPECT_TRUE(d.windowFlags() & Qt::FramelessWindowHint) << "one title, the strip";
                EXPECT_EQ(d.size(), QSize(files.width(), files.height() + kCaptionStripHeight));
                EXPECT_EQ(Control<QLineEdit>(d, kIdFileName)->y(),
                          DluRect(52, 5, 108, 15).y() + kCaptionStripHeight);
                EXPECT_EQ(d.frameGeometry().top() - panel->geometry().top(), 5);
                const QImage shot = d.grab().toImage();
                EXPECT_EQ(shot.pixelColor(2, 2), QColor(0x1c, 0x1d, 0x20));
                // The caption in the panel's title green, left in the strip.
                int green = 0;
                for (int x = 0; x < 120; ++x)
                    for (int y = 4; y < kCaptionStripHeight - 4; ++y)
                        if (shot.pixelColor(x, y).green() > 150 &&
                            shot.pixelColor(x, y).blue() < 110)
                            ++green;
                EXPECT_GT(green, 20) << "no caption drawn";
            });
    }
    WhileOpen<CAboutDlg>(
        [&] { panel->OnLogoClick(); },
        [&](CAboutDlg& d) {
            EXPECT_EQ(d.size(), QSize(363, 491 + kCaptionStripHeight));
            const QRect outer = d.frameGeometry();
            EXPECT_EQ(outer.top() - panel->geometry().top(), (600 - outer.height()) / 3);
            // The picture moved down with the rest: its light top starts below the strip.
            EXPECT_GT(qGray(d.grab().toImage().pixel(5, kCaptionStripHeight + 5)), 180);
        });
}

TEST_F(KioskDialogs, WhatAFingerHitsIsFingerSized) {
    const QString before = QApplication::style()->name();
    const QString sheet = qApp->styleSheet();
    ApplyPanelStyle(*qApp);
    Start();
    panel->show();
    Connect(3);
    panel->OnMenuButton(3);
    WhileOpen<CInputDlg>(
        [&] { panel->OnMenuButton(1); },
        [&](CInputDlg& d) {
            for (auto metric : {QStyle::PM_IndicatorWidth, QStyle::PM_ExclusiveIndicatorHeight,
                                QStyle::PM_ScrollBarExtent})
                EXPECT_GE(d.style()->pixelMetric(metric), 24) << metric;
            // The nine delay radios are 21 pixels in the template: they grow about their middle.
            for (int id : kIdDelayButtons) {
                auto* radio = Control<QRadioButton>(d, id);
                EXPECT_GE(radio->height(), 24) << id;
            }
            for (QComboBox* combo : d.findChildren<QComboBox*>()) {
                if (combo->count() > 0) {
                    EXPECT_GE(combo->view()->sizeHintForRow(0), 32);
                }
            }
        });
    WhileOpen<CFilesDlg>([&] { panel->OnMenuButton(7); },
                         [&](CFilesDlg& d) {
                             auto* list = Control<QListWidget>(d, kIdFileList);
                             EXPECT_GE(list->verticalScrollBar()->sizeHint().width(), 24);
                             EXPECT_LT(list->sizeHintForRow(0), 32)
                                 << "list rows keep their height";
                         });
    qApp->setStyleSheet(sheet);
    QApplication::setStyle(before);
}

TEST_F(KioskDialogs, AMessageBoxSitsInTheMiddleOfThePanel) {
    Start();
    panel->move(100, 40);
    panel->show();
    QRect box;
    QTimer::singleShot(0, [&] {
        auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        box = shown->frameGeometry();
        // Texts from a unit are shown as they stand.
        EXPECT_EQ(shown->textFormat(), Qt::PlainText);
        shown->accept();
    });
    MessageBoxPrompter prompter;
    prompter.Show("<b>Unit</b> says", "Zelvin", PromptButtons::Ok, PromptIcon::Information);
    EXPECT_LE((box.center() - panel->geometry().center()).manhattanLength(), 2)
        << box.center().x() << "," << box.center().y();
}

}  // namespace
