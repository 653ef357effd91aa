#include "app/StopSignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kStopSignals[] = {SIGTERM, SIGINT};

// The write end is used by the handler, the read end by the GUI thread; -1 while not caught.
int g_pipe[2] = {-1, -1};
struct sigaction g_previous[2];

void OnStopSignal(int signo) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signo);
    (void)!::write(g_pipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

CStopSignals::CStopSignals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0) return;
    // A burst of signals must never block the handler.
    ::fcntl(g_pipe[1], F_SETFL, O_NONBLOCK);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 2; ++i)
        ::sigaction(kStopSignals[i], &action, &g_previous[i]);
}

CStopSignals::~CStopSignals() {
    m_notifier.reset();
    if (g_pipe[0] < 0) return;
    for (int i = 0; i < 2; ++i)
        ::sigaction(kStopSignals[i], &g_previous[i], nullptr);
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void CStopSignals::Listen(std::function<void(const char* name)> handler) {
    m_handler = std::move(handler);
    if (g_pipe[0] < 0 || m_notifier) return;
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { OnReadable(); });
}

void CStopSignals::OnReadable() {
    unsigned char byte = 0;
    if (::read(g_pipe[0], &byte, 1) != 1) return;
    if (m_handler) m_handler(byte == SIGINT ? "SIGINT" : "SIGTERM");
}
