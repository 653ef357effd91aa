#include "app/DisplayGuard.h"

#include <QString>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

#include "platform/Report.h"

namespace {

constexpr const char* kWhatToRun =
    "run kv4panel in a graphical session, under xvfb-run, or with QT_QPA_PLATFORM=offscreen "
    "(the panel PC runs it in kv4panel.service)";

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::vector<std::string> g_heldBack;

void GuardHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        ReportLine(NoDisplayLine(Env));
        // Nothing of the half-built application may run any more: no abort, no core.
        ::_exit(kExitNoDisplay);
    }
    std::string line = context.category && std::string(context.category) != "default"
                           ? std::string(context.category) + ": "
                           : std::string();
    g_heldBack.push_back(line + message.toStdString());
}

}  // namespace

std::string NoDisplayLine(const std::function<std::string(const char*)>& env) {
    // The platform Qt tries: the one asked for, else Wayland in a Wayland session, else X.
    std::string platform = env("QT_QPA_PLATFORM");
    if (platform.empty()) platform = env("XDG_SESSION_TYPE") == "wayland" ? "wayland" : "xcb";
    platform = platform.substr(0, platform.find_first_of(";:"));

    std::string what;
    if (platform.rfind("wayland", 0) == 0) {
        const std::string display = env("WAYLAND_DISPLAY");
        what = display.empty() ? "no display: WAYLAND_DISPLAY is not set"
                               : "cannot reach the Wayland display " + display;
    } else if (platform == "xcb") {
        const std::string display = env("DISPLAY");
        what = display.empty() ? "no display: DISPLAY is not set"
                               : "cannot reach the X display " + display;
    } else {
        what = "the display platform '" + platform + "' (QT_QPA_PLATFORM) cannot start";
    }
    return what + "; " + kWhatToRun;
}

CDisplayGuard::CDisplayGuard() : m_previous(qInstallMessageHandler(GuardHandler)) {}

CDisplayGuard::~CDisplayGuard() {
    qInstallMessageHandler(m_previous);
    for (const std::string& line : g_heldBack)
        std::fprintf(stderr, "%s\n", line.c_str());
    g_heldBack.clear();
}
