#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

// SIGTERM (systemctl stop, a shutdown) and SIGINT (Ctrl+C) end the program cleanly. The signal
// handler only notes the signal in a pipe; the GUI thread acts on it between two events, so a
// link exchange is never cut in half.
class CStopSignals final : public QObject {
public:
    // Catches both signals from now on, until this object is destroyed. Made before the
    // application object, so that a stop during start-up waits for the event loop.
    CStopSignals();
    ~CStopSignals() override;

    // From the next turn of the event loop on, calls handler with "SIGTERM" or "SIGINT" for each
    // signal caught. Needs the application object.
    void Listen(std::function<void(const char* name)> handler);

private:
    void OnReadable();

    std::function<void(const char*)> m_handler;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
