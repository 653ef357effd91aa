#include <gtest/gtest.h>

#include <QTest>

#include "app/MainPanelDlg.h"

namespace {

TEST(MainPanel, OpensFramelessOverTheWholeScreen) {
    EXPECT_EQ(PanelClientRect(), QRect(0, 0, 800, 600));

    CMainPanelDlg panel;
    EXPECT_EQ(g_mainPanel, &panel);
    panel.show();
    EXPECT_EQ(panel.geometry(), QRect(0, 0, 800, 600));
    EXPECT_TRUE(panel.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(panel.windowTitle(), QStringLiteral("Zelvin"));
}

TEST(MainPanel, EnterIsIgnoredAndEscapeEndsThePanel) {
    CMainPanelDlg panel;
    panel.show();
    QTest::keyClick(&panel, Qt::Key_Return);
    QTest::keyClick(&panel, Qt::Key_Enter);
    EXPECT_TRUE(panel.isVisible());
    QTest::keyClick(&panel, Qt::Key_Escape);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(panel.result(), QDialog::Rejected);
}

TEST(MainPanel, ForgetsItselfWhenDestroyed) {
    { CMainPanelDlg panel; }
    EXPECT_EQ(g_mainPanel, nullptr);
}

}  // namespace
