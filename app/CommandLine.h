#pragma once

#include <optional>
#include <string>
#include <vector>

#include "link/ConfigFile.h"
#include "platform/SerialPort.h"

inline constexpr int kDefaultTraceMaxMb = 100;
inline constexpr int kMaxTraceMaxMb = 1024;  // what --replay reads back

// What the operator or engineer asked for on the command line.
struct CommandLine {
    bool help = false;
    bool version = false;
    bool simulate = false;
    bool kiosk = false;
    bool checkLink = false;  // the bring-up report on the terminal instead of the panel
    int pressUnit = 0;       // with --simulate: unit key pressed on the simulated surface at start
    std::string port;        // empty: the default parallel port
    std::string configPath = kDefaultConfigPath;
    std::string serialDevice = kDefaultSerialDevice;
    bool serialGiven = false;  // --serial was given: the line is that device, also simulated
    std::string remote;        // [HOST:]PORT of the remote control line; empty: none
    std::string remoteToken;   // file whose first line a remote client must send first
    std::string trace;         // pcapng file of the link's conversation; empty: none
    int traceMaxMb = kDefaultTraceMaxMb;  // past it the trace starts a new file
    std::string replay;                   // with --simulate: the rig answers from this trace first
};

// Parses the arguments after the program name. An unknown option or an unusable value gives
// nullopt and a one-line reason in *error.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args,
                                            std::string* error);

// The text --help prints.
std::string UsageText();
