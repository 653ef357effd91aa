#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

class QProcess;

// Starts the helper programs of the panel (the desktop's manual viewer) and ends them again when
// the dialog that wanted them closes.
class Launcher {
public:
    using Handle = int;  // 0 = the program did not start
    virtual ~Launcher() = default;
    // Starts program with args and returns once it is up.
    virtual Handle Start(const std::string& program, const std::vector<std::string>& args) = 0;
    virtual void Terminate(Handle handle) = 0;
};

class ProcessLauncher final : public Launcher {
public:
    ProcessLauncher();
    ~ProcessLauncher() override;
    Handle Start(const std::string& program, const std::vector<std::string>& args) override;
    void Terminate(Handle handle) override;

private:
    std::map<Handle, std::unique_ptr<QProcess>> m_processes;
    Handle m_nextHandle = 1;
};

// Where the panel keeps the desktop's input method while its own touch keyboard is the
// program's: a started program gets the desktop's back.
inline constexpr const char* kDesktopInputMethod = "KV4_DESKTOP_QT_IM_MODULE";

// The process-wide launcher; a ProcessLauncher until another is set.
void SetLauncher(Launcher* launcher);
Launcher& TheLauncher();
