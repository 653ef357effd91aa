#include <gtest/gtest.h>

#include <QLabel>
#include <QTemporaryFile>
#include <QTest>

#include "app/panel/MainPanelDlg.h"
#include "link/ConfigFile.h"
#include "link/EppLink.h"
#include "tests/app/PanelFixture.h"
#include "widgets/BitmapTextButton.h"
#include "widgets/ColorLabel.h"
#include "widgets/InfoPanel.h"
#include "widgets/KnobDisplay.h"
#include "widgets/StatusStrip.h"
#include "widgets/TitleStrip.h"

namespace {

// A configuration file for one panel.
class ConfigFile {
public:
    explicit ConfigFile(const char* text) {
        m_file.open();
        m_file.write(text);
        m_file.flush();
    }
    std::string Path() const { return m_file.fileName().toStdString(); }

private:
    QTemporaryFile m_file;
};

using MainPanel = PanelTest;

TEST_F(MainPanel, OpensFramelessOverTheWholeScreen) {
    EXPECT_EQ(PanelClientRect(), QRect(0, 0, 800, 600));
    CMainPanelDlg& panel = Start();
    EXPECT_EQ(g_mainPanel, &panel);
    panel.show();
    EXPECT_EQ(panel.geometry(), QRect(0, 0, 800, 600));
    EXPECT_TRUE(panel.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(panel.windowTitle(), QStringLiteral("Zelvin"));
    EXPECT_FALSE(panel.m_background.isNull());
    EXPECT_EQ(panel.m_background.size(), QSize(800, 600));
}

TEST_F(MainPanel, EveryWidgetSitsAtItsPlace) {
    CMainPanelDlg& panel = Start();
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(panel.m_knobs[k]->geometry(), QRect(0, std::array{0, 170, 340, 509}[k], 148, 91));
        EXPECT_EQ(panel.m_knobs[k + 4]->geometry().topLeft(),
                  QPoint(652, std::array{0, 170, 340, 509}[k]));
    }
    const QPoint menuPlaces[] = {{242, 114}, {362, 114}, {482, 114}, {182, 163}, {302, 163},
                                 {422, 163}, {542, 163}, {242, 212}, {362, 212}, {482, 212}};
    for (int b = 0; b < 10; ++b)
        EXPECT_EQ(panel.m_menuButtons[b]->geometry(), QRect(menuPlaces[b], QSize(74, 33))) << b;
    for (int f = 0; f < 6; ++f)
        EXPECT_EQ(panel.m_functionButtons[f]->geometry(), QRect(167 + 78 * f, 305, 76, 35)) << f;
    EXPECT_EQ(panel.m_infoPanel->geometry(), QRect(171, 398, 458, 82));
    EXPECT_EQ(panel.m_unitStrip->geometry().topLeft(), QPoint(171, 509));
    EXPECT_GE(panel.m_unitStrip->width(), 451);
    EXPECT_GE(panel.m_unitStrip->height(), 21);
    EXPECT_EQ(panel.m_unitTitle->geometry().topLeft(), QPoint(171, 560));
    for (int id : kModelLogoIds)
        EXPECT_EQ(panel.ModelLogo(id)->geometry(), QRect(300, 0, 200, 28));
    EXPECT_EQ(panel.ModelLogo(1064)->pixmap().size(), QSize(164, 28));
    EXPECT_EQ(panel.ModelLogo(1053)->pixmap().size(), QSize(200, 28));
    EXPECT_EQ(panel.m_titleLabel->geometry(), QRect(150, 36, 501, 28));
}

TEST_F(MainPanel, StartsWithOnlyTheBackgroundLogoAndStatusAreaShowing) {
    CMainPanelDlg& panel = Start();
    panel.show();
    for (auto* knob : panel.m_knobs)
        EXPECT_FALSE(knob->isVisible());
    for (auto* button : panel.m_menuButtons)
        EXPECT_FALSE(button->isVisible());
    for (auto* button : panel.m_functionButtons)
        EXPECT_FALSE(button->isVisible());
    EXPECT_FALSE(panel.m_titleLabel->isVisible());
    for (int id : kModelLogoIds)
        EXPECT_EQ(panel.ModelLogo(id)->isVisible(), id == 1064) << id;
    EXPECT_TRUE(panel.m_infoPanel->isVisible());
    EXPECT_TRUE(panel.m_unitStrip->isVisible());
    EXPECT_TRUE(panel.m_unitTitle->isVisible());

    // No unit, no menus: every block marked for download, every menu unknown.
    for (const MenuBlock& block : *panel.m_menuBlocks)
        EXPECT_EQ(block.bytes[0], 255);
    for (int unit = 0; unit < kUnitSlots; ++unit) {
        EXPECT_EQ(panel.m_currentMenu[unit], -1);
        EXPECT_EQ(panel.m_savedMenu[unit], -1);
        EXPECT_EQ(g_customKnobs[unit][4][7], 128);
        EXPECT_EQ(g_customButtons[unit][0][0], 127);
    }
    EXPECT_EQ(panel.m_heldFunction, 131u);
    EXPECT_EQ(g_effectKnobAssign[0], 128);
    EXPECT_EQ(g_effectButtonAssign[1], 127);
    EXPECT_EQ(panel.m_keyFrameRec.name, "KeyFrame");
    EXPECT_EQ(panel.m_keyFrameRec.attributes, 0x8008u);
    EXPECT_EQ(panel.m_frameTimeRec.attributes, 0x4000u);
    EXPECT_EQ(panel.m_taperOutRec.maxDisplay, 100);
}

TEST_F(MainPanel, ConfigurationDecidesCursorStatusViewAndRouter) {
    // Without a file: cursor hidden, status shown, no router settings.
    {
        CMainPanelDlg& panel = Start();
        EXPECT_FALSE(panel.CursorVisible());
        EXPECT_EQ(panel.cursor().shape(), Qt::BlankCursor);
        EXPECT_TRUE(panel.m_infoPanel->Content().showStatus);
        EXPECT_TRUE(panel.m_routerEnabled.empty());
        EXPECT_EQ(panel.m_routerDwellFrames, 0);
    }
    ConfigFile file(
        "[MOUSE]\r\nVISIBLE=TRUE\r\n[DISPLAY]\r\nSTATUS=OFF\r\n"
        "[ROUTER]\r\nENABLED=TRUE\r\nPOLARITY=LOW\r\nDWELL_FRAMES= 12x\r\n");
    CMainPanelDlg& panel = Start(file.Path());
    EXPECT_TRUE(panel.CursorVisible());
    EXPECT_NE(panel.cursor().shape(), Qt::BlankCursor);
    EXPECT_FALSE(panel.m_infoPanel->Content().showStatus) << "STATUS=OFF";
    EXPECT_EQ(panel.m_routerEnabled, "TRUE");
    EXPECT_EQ(panel.m_routerPolarity, "LOW");
    EXPECT_EQ(panel.m_routerDwellFrames, 12);

    // Lower case does not count.
    ConfigFile lower("[MOUSE]\nVISIBLE=true\n[DISPLAY]\nSTATUS=off\n");
    CMainPanelDlg& strict = Start(lower.Path());
    EXPECT_FALSE(strict.CursorVisible());
    EXPECT_TRUE(strict.m_infoPanel->Content().showStatus) << "only OFF switches it off";
}

TEST_F(MainPanel, PutsThePortIntoForwardDirection) {
    ASSERT_EQ(rig->Port().ControlRegister() & 0x20, 0x20);
    Start();
    EXPECT_EQ(rig->Port().ControlRegister(), 0x04);
}

TEST_F(MainPanel, EnterIsIgnoredAndEscapeEndsThePanel) {
    CMainPanelDlg& panel = Start();
    panel.show();
    QTest::keyClick(&panel, Qt::Key_Return);
    QTest::keyClick(&panel, Qt::Key_Enter);
    EXPECT_TRUE(panel.isVisible());
    QTest::keyClick(&panel, Qt::Key_Escape);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(panel.result(), QDialog::Rejected);
}

TEST_F(MainPanel, ForgetsItselfWhenDestroyed) {
    Start();
    panel.reset();
    EXPECT_EQ(g_mainPanel, nullptr);
}

}  // namespace
