// The link check a service engineer runs at a panel PC: its report over the simulated rig, its
// exit status, and that it sends nothing the panel's own link start and scan would not.

#include <gtest/gtest.h>

#include <QProcess>
#include <cstdio>
#include <set>

#include "app/service/LinkCheck.h"
#include "link/Commands.h"
#include "link/PanelState.h"
#include "link/UnitOperations.h"
#include "platform/Clock.h"
#include "sim/SimRig.h"
#include "tests/support/TapPort.h"

namespace {

// Runs the check over rig through tap and gives its report.
std::string Check(TapPort& tap, int* status) {
    SetPortIo(&tap);
    char* text = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    *status = RunLinkCheck("the simulated rig", out);
    std::fclose(out);
    std::string report(text, size);
    std::free(text);
    SetPortIo(nullptr);
    return report;
}

TEST(LinkCheck, ReportsTheSurfaceTheUnitsAndTheTimingAndSendsOnlyWhatTheLinkStartSends) {
    VirtualClock clock;
    SetClock(&clock);
    ResetPanelState();
    auto rig = SimRig::Standard();
    TapPort tap(rig->Port());
    int status = -1;
    const std::string report = Check(tap, &status);
    EXPECT_EQ(status, 0);
    for (const char* line :
         {"port        the simulated rig\n",
          "surface     configure 0 (ok), status 0 (ok), version 1.07A, fan running\n",
          "unit 3      identify 0 (ok), model 11, flags 40, title \"STUDIO 3  HD KEY\"\n",
          "unit 4      identify 1 (no answer)\n",
          "result      the control surface answers: the panel can run\n"})
        EXPECT_NE(report.find(line), std::string::npos) << line << "\n" << report;
    EXPECT_NE(report.find("exchange    median "), std::string::npos) << report;
    EXPECT_NE(report.find(" answered exchanges, 1 without an answer not timed\n"),
              std::string::npos)
        << "unit 4's wait is no exchange time\n"
        << report;
    EXPECT_NE(report.find("long read   menu blob of unit 1: ok, "), std::string::npos) << report;

    // Reads only: the link start's configure, status, version and dark lamps, the scan's
    // identify, and a selection's title and menu blob.
    const std::set<uint8_t> shortForm = {kCmdPanelStatus, kCmdPanelLamps, kCmdPanelConfigure,
                                         kCmdLinkReset, kCmdPanelVersion};
    const std::set<uint8_t> longForm = {kCmdIdentify, kCmdTitle, kCmdMenuReady, kCmdMenuBlob};
    for (const auto& packet : tap.packets) {
        if (packet[0] == 0x08)
            EXPECT_TRUE(longForm.count(packet[4])) << "command " << int(packet[4]);
        else
            EXPECT_TRUE(shortForm.count(packet[0])) << "command " << int(packet[0]);
    }
    uint8_t dark[kLampBytes];
    DarkLamps(dark);
    EXPECT_TRUE(std::equal(dark, dark + kLampBytes, rig->Surface().Lamps().begin()))
        << "no lamp left lit";

    // A surface that does not answer: status 1, and the README's section named.
    rig->Surface().SetSilent(true);
    TapPort silentTap(rig->Port());
    const std::string silent = Check(silentTap, &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(silent.find("surface     configure 1 (no answer)"), std::string::npos) << silent;
    EXPECT_NE(silent.find("the control surface does not answer: see the README, \"Bringing up "
                          "a panel PC\""),
              std::string::npos)
        << silent;
    SetClock(nullptr);
}

TEST(LinkCheck, TheProgramRunsItWithoutADisplayAndAPortThatCannotBeOpenedIsStatusOne) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    QProcess simulated;
    simulated.setProcessEnvironment(env);
    simulated.start(QStringLiteral(KV4PANEL_PATH), {"--simulate", "--check-link"});
    ASSERT_TRUE(simulated.waitForFinished(20000));
    EXPECT_EQ(simulated.exitCode(), 0);
    const QString out = QString::fromUtf8(simulated.readAllStandardOutput());
    EXPECT_TRUE(out.contains("unit 1      identify 0 (ok), model 4")) << out.toStdString();

    QProcess missing;
    missing.setProcessEnvironment(env);
    missing.start(QStringLiteral(KV4PANEL_PATH),
                  {"--check-link", "--port", "ppdev:/nonexistent/parport0"});
    ASSERT_TRUE(missing.waitForFinished(20000));
    EXPECT_EQ(missing.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(missing.readAllStandardOutput())
                    .startsWith("port        ppdev:/nonexistent/parport0: cannot open"));
}

}  // namespace
