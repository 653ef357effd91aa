#include <QHostAddress>
#include <QPointer>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/DisplayGuard.h"
#include "app/PanelApp.h"
#include "app/PanelDialogs.h"
#include "app/StopSignals.h"
#include "app/panel/CursorHider.h"
#include "app/panel/LinkWaitGuard.h"
#include "app/panel/MainPanelDlg.h"
#include "app/remote/RemoteServer.h"
#include "app/service/LinkCheck.h"
#include "dialogs/TouchKeyboard.h"
#include "link/LinkTrace.h"
#include "platform/Clock.h"
#include "platform/Launcher.h"
#include "platform/ParallelPort.h"
#include "platform/PortIo.h"
#include "platform/Power.h"
#include "platform/Prompter.h"
#include "platform/SerialPort.h"
#include "sim/SimBypassLine.h"
#include "sim/SimReplay.h"
#include "sim/SimRig.h"
#include "sim/SimScript.h"
#include "sim/console/SimConsole.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitPortUnusable = 1;
constexpr int kPressUnitDelayMs = 500;
constexpr uint64_t kBytesPerMb = 1024 * 1024;

// --trace: the link's conversation from the first exchange to the program's end. A trace that
// cannot be written is said on stderr and the panel runs as it would without it: a diagnostic
// option never keeps a panel off the air.
class LinkTraceSession {
public:
    explicit LinkTraceSession(const CommandLine& options) {
        if (options.trace.empty()) return;
        std::string error;
        if (!m_trace.Open(options.trace, static_cast<uint64_t>(options.traceMaxMb) * kBytesPerMb,
                          &error)) {
            std::fprintf(stderr, "kv4panel: no link trace: %s\n", error.c_str());
            return;
        }
        std::fprintf(stderr, "kv4panel: tracing the link to %s\n", options.trace.c_str());
        g_linkTrace = &m_trace;
    }
    ~LinkTraceSession() { g_linkTrace = nullptr; }

private:
    CLinkTrace m_trace;
};

bool TraceWouldOverwriteReplay(const CommandLine& options) {
    if (options.trace.empty() || options.replay.empty()) return false;
    std::error_code error;
    return options.trace == options.replay ||
           std::filesystem::equivalent(options.trace, options.replay, error);
}

// The simulated rig, answering from the trace of --replay first when one is named. False
// after saying why on stderr.
std::unique_ptr<SimRig> MakeRig(const CommandLine& options) {
    auto rig = SimRig::Standard();
    std::string error;
    if (options.replay.empty()) return rig;
    if (!rig->Replay(options.replay, &error)) {
        std::fprintf(stderr, "kv4panel: --replay: %s\n", error.c_str());
        return nullptr;
    }
    const SimReplay& replay = *rig->Replaying();
    if (!replay.Damage().empty())
        std::fprintf(stderr, "kv4panel: --replay: %s; the exchanges before it are replayed\n",
                     replay.Damage().c_str());
    std::fprintf(stderr, "kv4panel: replaying %zu recorded answers to %zu requests from %s\n",
                 replay.Answers(), replay.Requests(), options.replay.c_str());
    return rig;
}

// Opens the parallel port named on the command line; reports a failure in plain words on
// stderr and in a message box.
std::unique_ptr<PortIo> OpenPort(const CommandLine& options) {
    std::string error;
    const std::string text = options.port.empty() ? kDefaultPort : options.port;
    auto location = ParsePortLocation(text, &error);
    std::unique_ptr<PortIo> port = location ? OpenParallelPort(*location, &error) : nullptr;
    if (!port) {
        std::fprintf(stderr, "kv4panel: %s\n", error.c_str());
        ThePrompter().Show("The panel cannot reach its parallel port:\n" + error +
                               "\n\nUse --simulate to run without hardware.",
                           "KV4 panel", PromptButtons::Ok, PromptIcon::Stop);
    }
    return port;
}

// The remote control line of --remote; under --simulate it presses the simulated surface and
// runs the rig's scripted steps. Reports a failure on stderr, with the program's exit status in
// *status: a token file that cannot be used is a bad value (2), a port that cannot be listened
// on is not (1).
std::unique_ptr<CRemoteServer> StartRemote(const CommandLine& options, SimRig* rig, int* status) {
    std::string error, token;
    QHostAddress host;
    uint16_t port = 0;
    RemoteSurface surface = LinkRemoteSurface();
    surface.kiosk = options.kiosk;
    if (rig) {
        surface.pressKey = [rig](int row, uint8_t keys) { rig->Surface().PressKey(row, keys); };
        surface.turnKnob = [rig](int knob, int steps) { rig->Surface().TurnKnob(knob, steps); };
        surface.inputPending = [rig] { return rig->Surface().InputPending(); };
        surface.simStep = [rig](const std::vector<std::string>& w) { return RunSimStep(*rig, w); };
    }
    std::unique_ptr<CRemoteServer> server;
    *status = kExitUsage;
    // The address was checked with the other options.
    if (CRemoteServer::ParseAddress(options.remote, &host, &port, &error) &&
        (options.remoteToken.empty() ||
         CRemoteServer::ReadToken(options.remoteToken, &token, &error))) {
        *status = kExitPortUnusable;
        server = std::make_unique<CRemoteServer>(std::move(surface), token);
        if (!server->Listen(host, port, &error)) server.reset();
    }
    if (!server) {
        std::fprintf(stderr, "kv4panel: %s\n", error.c_str());
        return nullptr;
    }
    std::fprintf(stderr, "kv4panel: remote control on %s port %u%s\n",
                 host.toString().toUtf8().constData(), port, token.empty() ? "" : " (token)");
    return server;
}

// --check-link: the bring-up report on the terminal, without a display or a box.
int CheckLink(const CommandLine& options) {
    SteadyClock clock;
    SetClock(&clock);
    std::unique_ptr<SimRig> rig;
    std::unique_ptr<PortIo> port;
    std::string name, error;
    if (options.simulate) {
        if (!(rig = MakeRig(options))) return kExitUsage;
        SetPortIo(&rig->Port());
        name = "the simulated rig";
    } else {
        name = options.port.empty() ? kDefaultPort : options.port;
        const auto location = ParsePortLocation(name, &error);
        port = location ? OpenParallelPort(*location, &error) : nullptr;
        if (!port) {
            std::printf(
                "%-12s%s: %s\n%-12sthe port cannot be used: see the README, \"Bringing "
                "up a panel PC\"\n",
                "port", name.c_str(), error.c_str(), "result");
            SetClock(nullptr);
            return kExitPortUnusable;
        }
        name += location->kind == PortLocation::Kind::Ppdev ? " (ppdev, EPP available)"
                                                            : " (direct port I/O)";
        SetPortIo(port.get());
    }
    const int status = RunLinkCheck(name, stdout);
    SetPortIo(nullptr);
    SetClock(nullptr);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), &error);
    if (!options) {
        std::fprintf(stderr, "kv4panel: %s\n", error.c_str());
        return kExitUsage;
    }
    if (options->help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (options->version) {
        std::printf("kv4panel %s\n", KV4_VERSION);
        return 0;
    }
    if (TraceWouldOverwriteReplay(*options)) {
        std::fprintf(stderr,
                     "kv4panel: --trace and --replay name the same file: the trace would "
                     "overwrite what is to be replayed\n");
        return kExitUsage;
    }
    LinkTraceSession trace(*options);
    if (options->checkLink) return CheckLink(*options);

    // A stop before the panel runs waits for it, and then ends it at once.
    CStopSignals stopSignals;
    int qtArgc = 1;
    auto displayGuard = std::make_unique<CDisplayGuard>();
    // The dialogs' touch keyboard is chosen before the application object exists.
    PrepareTouchKeyboard();
    CPanelApp app(qtArgc, argv);
    displayGuard.reset();
    stopSignals.Listen([&app](const char* name) { app.EndOnSignal(name); });

    SteadyClock clock;
    MessageBoxPrompter prompter;
    ProcessLauncher launcher;
    SystemPower power(options->kiosk, [&app](int status) { app.EndProgram(status); });
    SetClock(&clock);
    SetPrompter(&prompter);
    // A box before the panel runs (a port that cannot be opened) has no title bar either.
    SetPromptWindow(nullptr, options->kiosk);
    SetLauncher(&launcher);
    SetPower(&power);
    CPanelDialogs dialogs;
    SetDialogFactory(&dialogs);
    SetSerialDevice(options->serialDevice);
    // The link's waits keep the windows alive; the panel's own input waits its turn.
    CLinkWaitGuard waitGuard;

    // The simulated rig stands behind the same port seam as the parallel port.
    std::unique_ptr<SimRig> rig;
    std::unique_ptr<PortIo> port;
    QPointer<CSimConsole> orphan;
    if (options->simulate) {
        if (!(rig = MakeRig(*options))) return kExitUsage;
        SetPortIo(&rig->Port());
        // Without a real line named, the bypass transfer talks over the rig's pseudo terminal,
        // whose far end the console offers.
        if (!options->serialGiven) {
            if (rig->OpenBypassLine(&error))
                SetSerialDevice(rig->BypassLine()->PanelDevice());
            else
                std::fprintf(stderr, "kv4panel: %s\n", error.c_str());
        }
        // The console window stands in for the surface and the units. Once the panel runs it
        // joins it, beside it: the panel then owns it and leaves it usable while it runs modal.
        auto* console = new CSimConsole(*rig);
        // The console stands in for hardware: it keeps its pointer on a desktop.
        console->setProperty(kKeepsCursorProperty, true);
        orphan = console;
        QTimer::singleShot(0, console, [console] { console->JoinPanel(g_mainPanel); });
        // The key is pressed once the panel runs, as an operator would press it.
        if (options->pressUnit)
            QTimer::singleShot(kPressUnitDelayMs, [&rig, unit = options->pressUnit] {
                rig->Surface().PressKey(unit, 0x01);
            });
    } else {
        port = OpenPort(*options);
        if (!port) return kExitPortUnusable;
        SetPortIo(port.get());
    }

    std::unique_ptr<CRemoteServer> remote;
    int remoteStatus = 0;
    if (!options->remote.empty() && !(remote = StartRemote(*options, rig.get(), &remoteStatus))) {
        delete orphan.data();
        return remoteStatus;
    }

    const int status = app.Run(options->configPath, options->kiosk);
    // A panel that ended before it ran never took the console; it goes before the rig.
    delete orphan.data();
    SetPortIo(nullptr);
    return status;
}
