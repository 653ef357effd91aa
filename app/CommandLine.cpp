#include "app/CommandLine.h"

#include <charconv>

#include <QHostAddress>

#include "app/remote/RemoteServer.h"
#include "platform/ParallelPort.h"

namespace {

// Splits "--name=value" into its two halves; a plain "--name" leaves value empty.
void SplitOption(const std::string& arg, std::string* name, std::string* value, bool* hasValue) {
    const auto eq = arg.find('=');
    *hasValue = eq != std::string::npos;
    *name = *hasValue ? arg.substr(0, eq) : arg;
    *value = *hasValue ? arg.substr(eq + 1) : std::string();
}

bool ParseMegabytes(const std::string& text, int* out) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 ||
        value > kMaxTraceMaxMb)
        return false;
    *out = value;
    return true;
}

}  // namespace

std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args,
                                            std::string* error) {
    CommandLine options;
    bool traceMaxGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name, value;
        bool hasValue = false;
        SplitOption(args[i], &name, &value, &hasValue);

        const bool takesValue = name == "--port" || name == "--config" || name == "--serial" ||
                                name == "--select-unit" || name == "--remote" ||
                                name == "--remote-token" || name == "--trace" ||
                                name == "--trace-max" || name == "--replay";
        const bool isFlag = name == "--help" || name == "-h" || name == "--version" ||
                            name == "--simulate" || name == "--kiosk" || name == "--check-link";
        if (!takesValue && !isFlag) {
            *error = "unknown option '" + args[i] + "' (see --help)";
            return std::nullopt;
        }
        if (isFlag && hasValue) {
            *error = "option " + name + " takes no value";
            return std::nullopt;
        }
        if (takesValue && !hasValue) {
            if (i + 1 >= args.size()) {
                *error = "option " + name + " needs a value";
                return std::nullopt;
            }
            value = args[++i];
        }
        if (takesValue && value.empty()) {
            *error = "option " + name + " needs a value that is not empty";
            return std::nullopt;
        }

        if (name == "--help" || name == "-h")
            options.help = true;
        else if (name == "--version")
            options.version = true;
        else if (name == "--simulate")
            options.simulate = true;
        else if (name == "--kiosk")
            options.kiosk = true;
        else if (name == "--check-link")
            options.checkLink = true;
        else if (name == "--remote") {
            QHostAddress host;
            uint16_t port = 0;
            if (!CRemoteServer::ParseAddress(value, &host, &port, error)) return std::nullopt;
            options.remote = value;
        } else if (name == "--remote-token")
            options.remoteToken = value;
        else if (name == "--config")
            options.configPath = value;
        else if (name == "--trace")
            options.trace = value;
        else if (name == "--replay")
            options.replay = value;
        else if (name == "--trace-max") {
            if (!ParseMegabytes(value, &options.traceMaxMb)) {
                *error = "--trace-max needs a whole number of megabytes from 1 to " +
                         std::to_string(kMaxTraceMaxMb);
                return std::nullopt;
            }
            traceMaxGiven = true;
        } else if (name == "--serial") {
            options.serialDevice = value;
            options.serialGiven = true;
        } else if (name == "--select-unit") {
            if (value.size() != 1 || value[0] < '1' || value[0] > '4') {
                *error = "--select-unit needs a unit number from 1 to 4";
                return std::nullopt;
            }
            options.pressUnit = value[0] - '0';
        } else if (name == "--port") {
            if (!ParsePortLocation(value, error)) return std::nullopt;
            options.port = value;
        }
    }
    if (options.pressUnit != 0 && !options.simulate) {
        *error = "--select-unit works only with --simulate";
        return std::nullopt;
    }
    if (!options.remoteToken.empty() && options.remote.empty()) {
        *error = "--remote-token works only with --remote";
        return std::nullopt;
    }
    if (traceMaxGiven && options.trace.empty()) {
        *error = "--trace-max works only with --trace";
        return std::nullopt;
    }
    if (!options.replay.empty() && !options.simulate) {
        *error = "--replay works only with --simulate: the simulated units answer from the trace";
        return std::nullopt;
    }
    if (options.simulate && !options.port.empty()) {
        *error = "--simulate and --port exclude each other: the simulator is the port";
        return std::nullopt;
    }
    return options;
}

std::string UsageText() {
    return std::string(
               "Usage: kv4panel [options]\n"
               "Remote control panel for up to four keyer Main Units.\n"
               "\n"
               "  --simulate       run against the built-in simulator of the Main Units and\n"
               "                   of the control surface (no hardware needed)\n"
               "  --port PORT      the parallel port: ppdev:/dev/parportN (default ") +
           kDefaultPort +
           ")\n"
           "                   or io:0xADDR for direct port I/O (root only)\n"
           "  --config FILE    configuration file (default " +
           kDefaultConfigPath +
           ")\n"
           "  --serial DEV     serial line of the bypass transfer (default " +
           kDefaultSerialDevice +
           ";\n"
           "                   with --simulate: a pseudo terminal of the simulator)\n"
           "  --select-unit N  with --simulate: press the key of unit N (1-4) at start\n"
           "  --remote [HOST:]PORT  take remote control commands over TCP (HOST defaults\n"
           "                   to 127.0.0.1); see the README\n"
           "  --remote-token FILE  a remote client must first send the token in FILE\n"
           "  --kiosk          this PC is a dedicated panel: a fatal error powers it off,\n"
           "                   the manuals open in the panel's own viewer, and the\n"
           "                   dialogs draw their own captions (no title bars)\n"
           "  --check-link     check the link (port, control surface, Main Units, timing)\n"
           "                   and print a report; no display needed\n"
           "  --trace FILE     record every exchange on the link in FILE (pcapng, for\n"
           "                   Wireshark with tools/wireshark/kv4link.lua)\n"
           "  --trace-max MB   past MB megabytes (default 100) FILE becomes FILE.1 and a\n"
           "                   new FILE starts\n"
           "  --replay FILE    with --simulate: the simulated units and surface answer as\n"
           "                   recorded in the trace FILE\n"
           "  --version        print the version and exit\n"
           "  --help           print this text and exit\n";
}
