#include <gtest/gtest.h>

#include <QProcess>

#include "app/CommandLine.h"

namespace {

std::optional<CommandLine> Parse(std::vector<std::string> args, std::string* error) {
    return ParseCommandLine(args, error);
}

TEST(CommandLine, DefaultsAndEveryOptionInBothForms) {
    std::string error;
    auto none = Parse({}, &error);
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->simulate);
    EXPECT_TRUE(none->port.empty());
    EXPECT_EQ(none->configPath, "/etc/kv4/KV4.ini");
    EXPECT_EQ(none->serialDevice, "/dev/ttyS0");
    EXPECT_FALSE(none->serialGiven) << "the simulator may then offer its own line";

    auto all =
        Parse({"--port", "io:0x278", "--config=/tmp/k.ini", "--serial", "/dev/ttyUSB0", "--kiosk"},
              &error);
    ASSERT_TRUE(all) << error;
    EXPECT_EQ(all->port, "io:0x278");
    EXPECT_EQ(all->configPath, "/tmp/k.ini");
    EXPECT_EQ(all->serialDevice, "/dev/ttyUSB0");
    EXPECT_TRUE(all->serialGiven);
    EXPECT_TRUE(all->kiosk);
}

TEST(CommandLine, RefusesWhatItCannotUseWithAOneLineReason) {
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},        {"simulate"},  {"--port"},
        {"--port", "lpt1"}, {"--config="}, {"--serial"},
        {"--kiosk=yes"},    {"-x"},        {"--simulate", "--port", "ppdev:/dev/parport0"},
    };
    for (const auto& args : bad) {
        std::string error;
        EXPECT_FALSE(Parse(args, &error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

// The program itself: what an engineer sees on the terminal.
struct ProgramRun {
    int status;
    QString out;
    QString err;
};

ProgramRun RunPanel(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(KV4PANEL_PATH), args);
    EXPECT_TRUE(process.waitForFinished(20000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(CommandLine, ProgramAnswersVersionHelpAndBadOptions) {
    const ProgramRun version = RunPanel({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, QStringLiteral("kv4panel " KV4_VERSION "\n"));

    const ProgramRun help = RunPanel({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--simulate", "--port", "--config", "--serial", "--kiosk"})
        EXPECT_TRUE(help.out.contains(QLatin1String(option))) << option;

    const ProgramRun bad = RunPanel({"--frobnicate"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(bad.out.isEmpty());
    EXPECT_EQ(bad.err.count(QLatin1Char('\n')), 1) << bad.err.toStdString();
    EXPECT_TRUE(bad.err.contains(QLatin1String("--frobnicate")));

    const ProgramRun badPort = RunPanel({"--port", "io:nowhere"});
    EXPECT_EQ(badPort.status, 2);
    EXPECT_EQ(badPort.err.count(QLatin1Char('\n')), 1) << badPort.err.toStdString();
}

}  // namespace
