// The manual viewer of the kiosk: opened from the logo with ALT, full screen, paged and zoomed by
// finger, and a damaged manual said in words.

#include <QFile>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "dialogs/ManualViewerDlg.h"
#include "tests/dialogs/DialogFixture.h"

namespace {

class ManualViewer : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        folder = manuals.path().toStdString() + "/";
    }
    // A manual of pages pages under name in the test's manual folder.
    void WriteManual(const char* name, int pages) {
        QPdfWriter writer(manuals.filePath(QLatin1String(name)));
        writer.setPageSize(QPageSize(QPageSize::A4));
        QPainter painter(&writer);
        for (int page = 0; page < pages; ++page) {
            if (page > 0) writer.newPage();
            painter.drawText(200, 200, QStringLiteral("Page %1").arg(page + 1));
        }
    }
    static QPushButton* Button(QWidget& d, const char* name) {
        auto* button = d.findChild<QPushButton*>(QLatin1String(name));
        EXPECT_NE(button, nullptr) << name;
        return button;
    }
    static QString PageText(QWidget& d) {
        return d.findChild<QLabel*>(QLatin1String(kViewerPageLabel))->text();
    }
    // Opens the selected unit's manual as the operator does: ALT, then the logo, in a kiosk.
    void OpenFromTheLogo(const std::function<void(CManualViewerDlg&)>& steps) {
        panel->SetKiosk(true);
        panel->SetManualFolder(folder);
        panel->m_lamps[kLampAltByte] |= kLampAlt;
        WhileOpen<CManualViewerDlg>([&] { panel->OnLogoClick(); }, steps);
    }

    QTemporaryDir manuals;
    std::string folder;
};

TEST_F(ManualViewer, OpensFullScreenAndPagesAndZoomsWithinTheManual) {
    WriteManual("CedarManKV4.pdf", 3);
    Start();
    Connect(3);
    panel->show();
    OpenFromTheLogo([&](CManualViewerDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("CedarManKV4.pdf"));
        EXPECT_EQ(d.geometry(), panel->screen()->geometry());
        EXPECT_TRUE(d.Problem().isEmpty());
        EXPECT_EQ(PageText(d), QStringLiteral("Page 1 of 3"));
        EXPECT_FALSE(Button(d, kViewerPageUp)->isEnabled());
        EXPECT_FALSE(Button(d, kViewerFitWidth)->isEnabled()) << "it opens fitted to the width";
        // Buttons for a finger, as tall as the panel's own keys, the dialogs' style or not.
        for (const char* name : {kViewerPageUp, kViewerPageDown, kViewerZoomIn, "2"})
            EXPECT_EQ(Button(d, name)->height(), 56) << name;

        // Paging stops at the last page and comes back to the first.
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(Button(d, kViewerPageDown), Qt::LeftButton);
        EXPECT_EQ(PageText(d), QStringLiteral("Page 3 of 3"));
        EXPECT_EQ(d.CurrentPage(), 2);
        EXPECT_FALSE(Button(d, kViewerPageDown)->isEnabled());
        QTest::mouseClick(Button(d, kViewerPageUp), Qt::LeftButton);
        EXPECT_EQ(PageText(d), QStringLiteral("Page 2 of 3"));

        // Zoom in stops at its limit; the width fit comes back with its button.
        QTest::mouseClick(Button(d, kViewerZoomIn), Qt::LeftButton);
        const double first = d.Zoom();
        EXPECT_GT(first, 0.0);
        EXPECT_TRUE(Button(d, kViewerFitWidth)->isEnabled());
        for (int i = 0; i < 20 && Button(d, kViewerZoomIn)->isEnabled(); ++i)
            QTest::mouseClick(Button(d, kViewerZoomIn), Qt::LeftButton);
        EXPECT_DOUBLE_EQ(d.Zoom(), kViewerMaxZoom);
        QTest::mouseClick(Button(d, kViewerZoomOut), Qt::LeftButton);
        EXPECT_DOUBLE_EQ(d.Zoom(), kViewerMaxZoom / kViewerZoomStep);
        QTest::mouseClick(Button(d, kViewerFitWidth), Qt::LeftButton);
        EXPECT_EQ(d.Zoom(), 0.0);

        QTest::mouseClick(Button(d, "2"), Qt::LeftButton);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_TRUE(panel->TimerRunning(2) && panel->TimerRunning(3)) << "the poll runs again";
}

TEST_F(ManualViewer, ADamagedManualIsSaidInWords) {
    QFile broken(manuals.filePath(QStringLiteral("QuickStartKV4.pdf")));
    broken.open(QIODevice::WriteOnly);
    broken.write("not a manual");
    broken.close();
    Start();
    OpenFromTheLogo([&](CManualViewerDlg& d) {
        EXPECT_EQ(d.Problem(), QStringLiteral("The manual QuickStartKV4.pdf is damaged: it is not "
                                              "a PDF file that can be read."));
        EXPECT_EQ(d.findChild<QLabel*>(QLatin1String(kViewerProblem))->text(), d.Problem());
        EXPECT_EQ(d.PageCount(), 0);
        for (const char* name : {kViewerPageUp, kViewerPageDown, kViewerZoomIn, kViewerZoomOut})
            EXPECT_FALSE(Button(d, name)->isEnabled()) << name;
        EXPECT_TRUE(Button(d, "2")->isEnabled());
    });
}

}  // namespace
