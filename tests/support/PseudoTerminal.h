#pragma once

// A pseudo terminal for the serial tests: the code under test opens Device(), the test plays
// the far end of the line on the other side. Bytes cross a pseudo terminal a moment after they
// are written, so both directions wait for them with a bound.

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

class PseudoTerminal {
public:
    static constexpr auto kPatience = std::chrono::seconds(3);

    PseudoTerminal() {
        if (openpty(&m_far, &m_device, nullptr, nullptr, nullptr) != 0) return;
        char name[256];
        if (ttyname_r(m_device, name, sizeof name) == 0) m_path = name;
        fcntl(m_far, F_SETFL, fcntl(m_far, F_GETFL) | O_NONBLOCK);
        // A cooked line, as a serial port is left by a login or a terminal program: line
        // editing, echo, CR to LF, XON/XOFF and the handshake lines, even parity. Whoever
        // uses it must set it up first.
        termios cooked{};
        tcgetattr(m_device, &cooked);
        cooked.c_iflag |= ICRNL | IXON;
        cooked.c_lflag |= ECHO | ICANON | ISIG;
        cooked.c_oflag |= OPOST;
        cooked.c_cflag |= CRTSCTS | PARENB;
        cooked.c_cflag &= ~PARODD;
        tcsetattr(m_device, TCSANOW, &cooked);
    }
    ~PseudoTerminal() {
        if (m_device >= 0) close(m_device);
        if (m_far >= 0) close(m_far);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& Device() const { return m_path; }
    // The line's settings as the device has them now.
    termios Line() const {
        termios t{};
        tcgetattr(m_device, &t);
        return t;
    }

    // Writes bytes from the far end and waits until the device side can read them.
    void Send(const std::vector<uint8_t>& bytes) {
        const int before = Waiting();
        if (write(m_far, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return;
        Until([&] { return Waiting() >= before + static_cast<int>(bytes.size()); });
    }
    // What the far end received: waits for count bytes, then for nothing more to come.
    std::vector<uint8_t> Received(size_t count = 0) {
        std::vector<uint8_t> got;
        auto take = [&] {
            uint8_t chunk[512];
            for (ssize_t n; (n = read(m_far, chunk, sizeof chunk)) > 0;)
                got.insert(got.end(), chunk, chunk + n);
            return got.size() >= count;
        };
        Until(take);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        take();
        return got;
    }

    // The far end goes away (a terminal program quits, an adapter is pulled).
    void HangUp() {
        if (m_far >= 0) close(m_far);
        m_far = -1;
    }

private:
    int Waiting() const {
        int n = 0;
        ioctl(m_device, FIONREAD, &n);
        return n;
    }
    template <typename F>
    static void Until(F done) {
        const auto end = std::chrono::steady_clock::now() + kPatience;
        while (!done() && std::chrono::steady_clock::now() < end) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    int m_far = -1;
    int m_device = -1;
    std::string m_path;
};
