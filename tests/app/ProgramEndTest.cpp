// How the program ends outside the happy path, and what it tells the journal: Escape and a stop
// signal leave the lamps dark, a fatal error and a bad configuration are one line each on stderr,
// and the shipped configuration file means exactly the defaults.

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>

#include "app/StopSignals.h"
#include "tests/app/PanelFixture.h"
#include "tests/support/RecordingSeams.h"
#include "widgets/InfoPanel.h"

namespace {

// The lamp image the link start sends: no unit selected, nothing lit.
constexpr std::array<uint8_t, 12> kDarkLamps = {0, 0, 0, 0, 0, 0, 62, 62, 62, 62, 62, 0};

class ProgramEnd : public PanelTest {
protected:
    // Runs the connected panel modally until action (queued on its event loop) ends it.
    void RunUntil(const std::function<void()>& action) {
        QTimer::singleShot(0, panel.get(), action);
        panel->exec();
    }
};

TEST_F(ProgramEnd, EscapeAndAStopSignalLeaveTheLampsDark) {
    Start();
    Connect(3);
    ASSERT_NE(rig->Surface().Lamps(), kDarkLamps) << "unit 3 is on line and selected";
    panel->show();
    testing::internal::CaptureStderr();
    RunUntil([this] { QTest::keyClick(panel.get(), Qt::Key_Escape); });
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kv4panel: Escape pressed on the panel: ending with status 0\n");
    EXPECT_EQ(panel->result(), QDialog::Rejected);
    EXPECT_EQ(rig->Surface().Lamps(), kDarkLamps);

    for (int signo : {SIGTERM, SIGINT}) {
        Start();
        Connect(2);
        ASSERT_NE(rig->Surface().Lamps(), kDarkLamps);
        CStopSignals stop;
        std::string caught;
        stop.Listen([&](const char* name) {
            caught = name;
            panel->RequestStop();
        });
        // The stop comes while a dialog is open over the panel: both go.
        bool dialogClosed = false;
        RunUntil([&, signo] {
            QDialog dialog(panel.get());
            QTimer::singleShot(0, &dialog, [signo] { std::raise(signo); });
            dialog.exec();
            dialogClosed = true;
        });
        EXPECT_TRUE(dialogClosed);
        EXPECT_EQ(caught, signo == SIGTERM ? "SIGTERM" : "SIGINT");
        EXPECT_EQ(panel->result(), QDialog::Rejected);
        EXPECT_EQ(rig->Surface().Lamps(), kDarkLamps) << caught;
    }
}

TEST_F(ProgramEnd, AFatalErrorIsOneLineOnStderrBeforeTheBox) {
    CMainPanelDlg& p = Start();
    Connect(3);
    rig->Surface().SetFanFailed(true);
    TestPrompter().Expect("Fatal Error: Fan Failure!  \n\nContact Quorvane for support.");
    testing::internal::CaptureStderr();
    p.OnTimer(3);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kv4panel: Fatal Error: Fan Failure! Contact Quorvane for support.\n");
    EXPECT_EQ(TestPower().powerOffs, 1);
}

TEST_F(ProgramEnd, AMissingOrUnreadableConfigurationIsReportedAndEveryKeyIsMissing) {
    testing::internal::CaptureStderr();
    Start("/nonexistent/KV4.ini");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kv4panel: the configuration file /nonexistent/KV4.ini is missing; every setting "
              "takes its default\n");

    QTemporaryDir folder;
    const std::string path = folder.path().toStdString();
    testing::internal::CaptureStderr();
    CMainPanelDlg& p = Start(path);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kv4panel: the configuration file " + path +
                  " cannot be read; every setting takes its default\n");
    EXPECT_TRUE(p.m_infoPanel->Content().showStatus);
    EXPECT_FALSE(p.CursorVisible());
}

TEST_F(ProgramEnd, TheShippedConfigurationMeansTheDefaults) {
    testing::internal::CaptureStderr();
    CMainPanelDlg& p = Start(KV4_SHIPPED_CONFIG);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the file reads whole";
    EXPECT_TRUE(p.m_infoPanel->Content().showStatus);
    EXPECT_FALSE(p.CursorVisible());
    EXPECT_NE(p.m_routerEnabled, kConfigTrue);
    // Its explanations start no section of their own: the four the panel reads, in order.
    EXPECT_EQ(FindConfigSection(kConfigDisplay), 1);
    EXPECT_EQ(FindConfigSection(kConfigMouse), 2);
    EXPECT_EQ(FindConfigSection(kConfigRouter), 3);
    EXPECT_EQ(FindConfigSection(kConfigTallyUnitSelect), 4);
    // Every key it sets is one the panel reads, written without blanks around the '='.
    EXPECT_EQ(GetConfigValue(kConfigDisplay, kConfigStatus), "ON");
    EXPECT_EQ(GetConfigValue(kConfigMouse, kConfigVisible), "FALSE");
    EXPECT_EQ(GetConfigValue(kConfigRouter, kConfigEnabled), "FALSE");
    EXPECT_EQ(GetConfigValue(kConfigRouter, kConfigPolarity), "HIGH");
    EXPECT_EQ(GetConfigValue(kConfigRouter, kConfigDwellFrames), "0");
    EXPECT_EQ(GetConfigValue(kConfigTallyUnitSelect, kConfigEnabled), "FALSE");
}

}  // namespace
