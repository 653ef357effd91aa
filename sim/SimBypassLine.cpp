#include "sim/SimBypassLine.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <cstring>

namespace {

constexpr int kReadChunk = 4096;

// Everything of bytes written to a non-blocking descriptor, or false.
bool WriteAll(int fd, const char* bytes, qsizetype size) {
    while (size > 0) {
        const ssize_t n = write(fd, bytes, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        size -= n;
    }
    return true;
}

QByteArray ReadWaiting(int fd) {
    QByteArray bytes;
    char chunk[kReadChunk];
    for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.append(chunk, n);
    }
    return bytes;
}

}  // namespace

std::unique_ptr<SimBypassLine> SimBypassLine::Open(std::string* error) {
    std::unique_ptr<SimBypassLine> line(new SimBypassLine);
    if (!line->OpenEnd(line->m_panel, error) || !line->OpenEnd(line->m_peer, error)) return nullptr;
    line->m_panel.notifier =
        new QSocketNotifier(line->m_panel.master, QSocketNotifier::Read, line.get());
    connect(line->m_panel.notifier, &QSocketNotifier::activated, line.get(),
            [l = line.get()] { l->OnPanelWrote(); });
    line->m_peer.notifier =
        new QSocketNotifier(line->m_peer.master, QSocketNotifier::Read, line.get());
    connect(line->m_peer.notifier, &QSocketNotifier::activated, line.get(),
            [l = line.get()] { l->OnPeerWrote(); });
    return line;
}

SimBypassLine::~SimBypassLine() {
    for (End* end : {&m_panel, &m_peer}) {
        delete end->notifier;
        if (end->held >= 0) close(end->held);
        if (end->master >= 0) close(end->master);
    }
}

bool SimBypassLine::OpenEnd(End& end, std::string* error) {
    if (openpty(&end.master, &end.held, nullptr, nullptr, nullptr) != 0) {
        *error = std::string("no pseudo terminal for the bypass line: ") + std::strerror(errno);
        return false;
    }
    char name[256];
    if (ttyname_r(end.held, name, sizeof name) != 0) {
        *error = "the bypass line's pseudo terminal has no name";
        return false;
    }
    end.device = name;
    fcntl(end.master, F_SETFD, FD_CLOEXEC);
    fcntl(end.held, F_SETFD, FD_CLOEXEC);
    fcntl(end.master, F_SETFL, fcntl(end.master, F_GETFL) | O_NONBLOCK);
    // Raw until its user sets it up: a fresh terminal would echo the bytes back and edit lines.
    termios raw{};
    tcgetattr(end.held, &raw);
    cfmakeraw(&raw);
    tcsetattr(end.held, TCSANOW, &raw);
    return true;
}

bool SimBypassLine::Send(const QByteArray& bytes) {
    m_peerSentLast = false;
    emit ToPanel(bytes, true);
    return WriteAll(m_panel.master, bytes.constData(), bytes.size());
}

void SimBypassLine::OnPanelWrote() {
    const QByteArray bytes = ReadWaiting(m_panel.master);
    if (bytes.isEmpty()) return;
    // The far end hears the panel when it asked; a full queue there loses the bytes, as a line
    // nobody listens on would.
    if (m_peerSentLast) WriteAll(m_peer.master, bytes.constData(), bytes.size());
    emit FromPanel(bytes);
}

void SimBypassLine::OnPeerWrote() {
    const QByteArray bytes = ReadWaiting(m_peer.master);
    if (bytes.isEmpty()) return;
    m_peerSentLast = true;
    emit ToPanel(bytes, false);
    WriteAll(m_panel.master, bytes.constData(), bytes.size());
}
