#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <map>

#include "app/CommandLine.h"
#include "app/DisplayGuard.h"
#include "platform/Pcapng.h"

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
        {"--bogus"},
        {"simulate"},
        {"--port"},
        {"--port", "lpt1"},
        {"--config="},
        {"--serial"},
        {"--kiosk=yes"},
        {"-x"},
        {"--simulate", "--port", "ppdev:/dev/parport0"},
        {"--trace-max", "5"},  // without --trace
        {"--trace", "t", "--trace-max", "0"},
        {"--trace", "t", "--trace-max=1.5"},
        {"--replay", "t"},  // without --simulate
        {"--remote", "notaport"},
        {"--remote", "99999"},
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

ProgramRun RunPanel(const QStringList& args,
                    const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(env);
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

    // An unusable value of --remote, or a token file that cannot be read, is a bad option too.
    for (const QStringList& args :
         {QStringList{"--simulate", "--remote", "notaport"}, QStringList{"--remote=99999"},
          QStringList{"--simulate", "--remote", "127.0.0.1:1", "--remote-token", "/nonexistent"}}) {
        const ProgramRun badRemote = RunPanel(args);
        EXPECT_EQ(badRemote.status, 2) << args.join(' ').toStdString();
        EXPECT_EQ(badRemote.err.count(QStringLiteral("kv4panel: ")), 1)
            << badRemote.err.toStdString();
    }

    const ProgramRun noTrace = RunPanel({"--check-link", "--simulate", "--replay", "/nonexistent"});
    EXPECT_EQ(noTrace.status, 2);
    EXPECT_EQ(noTrace.err, QStringLiteral("kv4panel: --replay: cannot read /nonexistent: No such "
                                          "file or directory\n"));
}

TEST(CommandLine, TheLinkCheckIsTracedAndTheTraceReplays) {
    QTemporaryDir dir;
    const QString trace = dir.filePath(QStringLiteral("check.pcapng"));
    const ProgramRun check = RunPanel({"--check-link", "--simulate", "--trace", trace});
    EXPECT_EQ(check.status, 0) << check.err.toStdString();
    EXPECT_TRUE(check.err.contains(QStringLiteral("tracing the link to ") + trace));
    std::vector<PcapngPacket> packets;
    std::string error;
    ASSERT_TRUE(ReadPcapngFile(trace.toStdString(), 1 << 24, &packets, &error)) << error;
    EXPECT_GT(packets.size(), 20u);

    // The same check answered from the trace reports the same units.
    const ProgramRun replayed = RunPanel({"--check-link", "--simulate", "--replay", trace});
    EXPECT_EQ(replayed.status, 0) << replayed.err.toStdString();
    EXPECT_TRUE(replayed.err.contains(QStringLiteral("replaying ")));
    const auto units = [](const QString& out) {
        return out.split(QLatin1Char('\n')).filter(QStringLiteral("identify"));
    };
    EXPECT_EQ(units(check.out).size(), 4);
    EXPECT_EQ(units(replayed.out), units(check.out));

    const ProgramRun same = RunPanel({"--check-link", "--simulate", "--replay", trace, "--trace",
                                      dir.filePath(QStringLiteral("./check.pcapng"))});
    EXPECT_EQ(same.status, 2);
    EXPECT_TRUE(same.err.contains(QStringLiteral("name the same file")));
    EXPECT_GT(QFileInfo(trace).size(), 1000) << "the trace to replay is left as it was";

    const ProgramRun unwritable = RunPanel(
        {"--check-link", "--simulate", "--trace", dir.filePath(QStringLiteral("no/such.pcapng"))},
        QProcessEnvironment::systemEnvironment());
    EXPECT_EQ(unwritable.status, 0) << "a trace that cannot be written keeps nothing from running";
    EXPECT_TRUE(unwritable.err.contains(QStringLiteral("kv4panel: no link trace: cannot write ")));
}

}  // namespace

namespace {

// An environment with no display at all, as over ssh or in a service without a session.
QProcessEnvironment NoDisplay() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"})
        env.remove(QLatin1String(name));
    return env;
}

TEST(CommandLine, WithoutADisplayHelpAndVersionWorkAndThePanelSaysWhatToDo) {
    EXPECT_EQ(RunPanel({"--version"}, NoDisplay()).status, 0);
    const ProgramRun help = RunPanel({"--help"}, NoDisplay());
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith(QLatin1String("Usage: kv4panel")));

    const ProgramRun panel = RunPanel({"--simulate"}, NoDisplay());
    EXPECT_EQ(panel.status, kExitNoDisplay);
    EXPECT_EQ(panel.err,
              QStringLiteral("kv4panel: no display: DISPLAY is not set; run kv4panel in a "
                             "graphical session, under xvfb-run, or with QT_QPA_PLATFORM=offscreen "
                             "(the panel PC runs it in kv4panel.service)\n"));

    // A display that is named but not there is no abort either.
    QProcessEnvironment stale = NoDisplay();
    stale.insert(QStringLiteral("DISPLAY"), QStringLiteral(":97"));
    const ProgramRun gone = RunPanel({"--simulate"}, stale);
    EXPECT_EQ(gone.status, kExitNoDisplay);
    EXPECT_TRUE(gone.err.startsWith(QLatin1String("kv4panel: cannot reach the X display :97;")))
        << gone.err.toStdString();
    EXPECT_EQ(gone.err.count(QLatin1Char('\n')), 1);
}

TEST(CommandLine, TheDisplayLineNamesWhatQtWouldTry) {
    auto line = [](std::map<std::string, std::string> env) {
        return NoDisplayLine([&env](const char* name) { return env[name]; });
    };
    EXPECT_EQ(
        line({{"XDG_SESSION_TYPE", "wayland"}}).rfind("no display: WAYLAND_DISPLAY is not set;", 0),
        0u);
    EXPECT_EQ(line({{"QT_QPA_PLATFORM", "wayland"}, {"WAYLAND_DISPLAY", "wayland-1"}})
                  .rfind("cannot reach the Wayland display wayland-1;", 0),
              0u);
    EXPECT_EQ(line({{"QT_QPA_PLATFORM", "eglfs"}})
                  .rfind("the display platform 'eglfs' (QT_QPA_PLATFORM) cannot start;", 0),
              0u);
}

// Starts the panel on the simulator, waits until it runs, then sends signo.
ProgramRun StopWith(int signo) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setReadChannel(QProcess::StandardError);
    process.start(QStringLiteral(KV4PANEL_PATH),
                  {QStringLiteral("--simulate"), QStringLiteral("--config=/nonexistent/KV4.ini")});
    QByteArray err;
    // The configuration line comes from the panel's start, just before its event loop runs.
    while (!err.contains("/nonexistent/KV4.ini") && process.waitForReadyRead(20000))
        err += process.readAllStandardError();
    ::kill(static_cast<pid_t>(process.processId()), signo);
    EXPECT_TRUE(process.waitForFinished(20000));
    err += process.readAllStandardError();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "no core, no abort";
    return {process.exitCode(), {}, QString::fromUtf8(err)};
}

TEST(CommandLine, SigtermAndSigintEndTheProgramWithStatusZero) {
    for (int signo : {SIGTERM, SIGINT}) {
        const ProgramRun run = StopWith(signo);
        const QString name = QLatin1String(signo == SIGTERM ? "SIGTERM" : "SIGINT");
        EXPECT_EQ(run.status, 0) << name.toStdString() << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("kv4panel: ") + name +
                                     QStringLiteral(" received: ending with status 0")))
            << run.err.toStdString();
    }
}

}  // namespace
