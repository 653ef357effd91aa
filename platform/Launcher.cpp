#include "platform/Launcher.h"

#include <QProcess>
#include <QStringList>

namespace {
constexpr int kStartTimeoutMs = 5000;
constexpr int kTerminateTimeoutMs = 2000;
}  // namespace

ProcessLauncher::ProcessLauncher() = default;

ProcessLauncher::~ProcessLauncher() {
    while (!m_processes.empty())
        Terminate(m_processes.begin()->first);
}

Launcher::Handle ProcessLauncher::Start(const std::string& program,
                                        const std::vector<std::string>& args) {
    QStringList arguments;
    for (const auto& arg : args)
        arguments << QString::fromStdString(arg);
    auto process = std::make_unique<QProcess>();
    // The panel's own input method (its touch keyboard, drawn inside its dialogs) is not
    // handed on: another program keeps the desktop's.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (environment.value(QStringLiteral("QT_IM_MODULE")) == QStringLiteral("qtvirtualkeyboard")) {
        const QString desktop = QString::fromLatin1(kDesktopInputMethod);
        if (environment.contains(desktop))
            environment.insert(QStringLiteral("QT_IM_MODULE"), environment.value(desktop));
        else
            environment.remove(QStringLiteral("QT_IM_MODULE"));
        environment.remove(desktop);
        environment.remove(QStringLiteral("QT_VIRTUALKEYBOARD_DESKTOP_DISABLE"));
    }
    process->setProcessEnvironment(environment);
    process->start(QString::fromStdString(program), arguments);
    if (!process->waitForStarted(kStartTimeoutMs)) return 0;
    const Handle handle = m_nextHandle++;
    m_processes.emplace(handle, std::move(process));
    return handle;
}

void ProcessLauncher::Terminate(Handle handle) {
    auto it = m_processes.find(handle);
    if (it == m_processes.end()) return;
    QProcess& process = *it->second;
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(kTerminateTimeoutMs)) {
            process.kill();
            process.waitForFinished(kTerminateTimeoutMs);
        }
    }
    m_processes.erase(it);
}

namespace {
Launcher* g_launcher = nullptr;
}  // namespace

void SetLauncher(Launcher* launcher) {
    g_launcher = launcher;
}

Launcher& TheLauncher() {
    // Created on first use: a QProcess needs the application object to exist.
    static ProcessLauncher fallback;
    return g_launcher ? *g_launcher : fallback;
}
