#include "platform/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/Prompter.h"

namespace {

std::string g_serialDevice = kDefaultSerialDevice;

constexpr uint32_t kNoWait = UINT32_MAX;
constexpr unsigned int kPtySlaveMajor = 136;
constexpr unsigned int kPtySlaveMajors = 8;  // read interval that, alone, means "do not wait"

speed_t SpeedOf(int baud) {
    switch (baud) {
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        case 230400:
            return B230400;
        default:
            return B0;
    }
}

tcflag_t SizeOf(int dataBits) {
    switch (dataBits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        case 8:
            return CS8;
        default:
            return 0;
    }
}

// Raw bytes both ways: no translation, no echo, no line editing, no signals, and no flow
// control of any kind (neither XON/XOFF nor the handshake lines).
void MakeRaw(termios& line) {
    line.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                      IXANY | INPCK | IGNPAR);
    line.c_oflag &= ~OPOST;
    line.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    line.c_cflag &= ~CRTSCTS;
}

SerialCalls g_systemSerialCalls;
SerialCalls* g_serialCalls = &g_systemSerialCalls;

// Whether the line holds the settings asked for. Only a pseudo terminal may drop parity
// generation and keep the rest; a real port that does has not taken the line asked for.
bool SameLine(const termios& asked, const termios& line, bool pseudoTerminal) {
    const tcflag_t parityFree = pseudoTerminal ? PARENB : 0;
    return cfgetospeed(&line) == cfgetospeed(&asked) && cfgetispeed(&line) == cfgetispeed(&asked) &&
           line.c_iflag == asked.c_iflag && line.c_oflag == asked.c_oflag &&
           line.c_lflag == asked.c_lflag &&
           (line.c_cflag | parityFree) == (asked.c_cflag | parityFree);
}

// Waits up to ms milliseconds (-1: for ever) until fd is ready for events.
bool WaitFor(int fd, short events, int ms) {
    pollfd p{fd, events, 0};
    int ready;
    do {
        ready = poll(&p, 1, ms);
    } while (ready < 0 && errno == EINTR);
    return ready > 0 && (p.revents & events);
}

ssize_t WriteNow(int fd, uint8_t byte) {
    ssize_t n;
    do {
        n = write(fd, &byte, 1);
    } while (n < 0 && errno == EINTR);
    return n;
}

// A wait in milliseconds for one byte from a per-byte and a constant part; 0 for both means
// for ever (-1).
int WaitMs(uint32_t perByte, uint32_t constant) {
    const uint64_t total = uint64_t{perByte} + constant;
    if (total == 0) return -1;
    return total > INT_MAX ? INT_MAX : static_cast<int>(total);
}

}  // namespace

int SerialCalls::GetAttr(int fd, termios& line) {
    return tcgetattr(fd, &line);
}

int SerialCalls::SetAttr(int fd, const termios& line) {
    return tcsetattr(fd, TCSANOW, &line);
}

bool SerialCalls::IsPseudoTerminal(int fd) {
    // The pseudo terminals' slave side: majors 136..143 (Unix 98), whatever devpts they sit on.
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISCHR(status.st_mode)) return false;
    const unsigned int device = major(status.st_rdev);
    return device >= kPtySlaveMajor && device < kPtySlaveMajor + kPtySlaveMajors;
}

void SetSerialCalls(SerialCalls* calls) {
    g_serialCalls = calls ? calls : &g_systemSerialCalls;
}

void SetSerialDevice(const std::string& path) {
    g_serialDevice = path.empty() ? kDefaultSerialDevice : path;
}

std::string SerialDevice(const std::string& name) {
    return name == kBypassPortName ? g_serialDevice : name;
}

CSerialPort::~CSerialPort() {
    Close();
}

bool CSerialPort::Open(const std::string& name) {
    Close();
    const std::string device = SerialDevice(name);
    // No O_CREAT: only a device that exists. Non-blocking, so that a line without carrier does
    // not hold the open, and so that a write that cannot go at once waits only its time-out.
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "kv4panel: serial line %s: %s\n", device.c_str(),
                     std::strerror(errno));
        return false;
    }
    // Not shared: the advisory lock keeps out every program that asks for it too (picocom and
    // other programs that lock with flock), and the terminal's exclusive mode any other open
    // but root's. A device that
    // is no terminal at all is found out when it is configured.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        std::fprintf(stderr, "kv4panel: serial line %s is held by another program\n",
                     device.c_str());
        close(fd);
        return false;
    }
    if (ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY) {
        std::fprintf(stderr, "kv4panel: serial line %s cannot be held alone: %s\n", device.c_str(),
                     std::strerror(errno));
        close(fd);
        return false;
    }
    m_hComm = fd;
    // Raw from the start: a line left cooked (by a login, a terminal program) would otherwise
    // echo back whatever the peer sends before the relay is enabled.
    termios line{};
    if (g_serialCalls->GetAttr(fd, line) == 0) {
        MakeRaw(line);
        g_serialCalls->SetAttr(fd, line);
    }
    return true;
}

bool CSerialPort::Configure(int baud, int dataBits, int parity, bool checkParity, int stopBits) {
    termios dcb{};
    m_result = IsOpen() ? g_serialCalls->GetAttr(m_hComm, dcb) : -1;
    if (m_result != 0) {
        Fail(kMsgGetCommState, kCaptionCommState);
        return false;
    }
    const speed_t speed = SpeedOf(baud);
    const tcflag_t size = SizeOf(dataBits);
    const bool usable = speed != B0 && size != 0 &&
                        (parity == kParityNone || parity == kParityOdd || parity == kParityEven) &&
                        (stopBits == kOneStopBit || stopBits == kTwoStopBits);
    if (usable) {
        MakeRaw(dcb);
        dcb.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
        dcb.c_cflag |= size | CREAD | CLOCAL;
        if (parity != kParityNone) dcb.c_cflag |= PARENB;
        if (parity == kParityOdd) dcb.c_cflag |= PARODD;
        if (stopBits == kTwoStopBits) dcb.c_cflag |= CSTOPB;
        // A byte with a parity or framing error is dropped rather than passed on as another
        // byte; the frame it belonged to then never completes.
        if (checkParity) dcb.c_iflag |= INPCK | IGNPAR;
        cfsetispeed(&dcb, speed);
        cfsetospeed(&dcb, speed);
        g_serialCalls->SetAttr(m_hComm, dcb);
    }
    // What the line holds afterwards decides: the call reports success when any one setting
    // took, and failure when the line held all it can already.
    termios applied{};
    m_result = usable && g_serialCalls->GetAttr(m_hComm, applied) == 0 &&
                       SameLine(dcb, applied, g_serialCalls->IsPseudoTerminal(m_hComm))
                   ? 0
                   : -1;
    if (m_result != 0) {
        Fail(kMsgSetCommState, kCaptionCommState);
        return false;
    }
    // DTR and RTS low. A line without modem lines (a pseudo terminal) has none to lower.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ioctl(m_hComm, TIOCMBIC, &lines);
    m_dcb = applied;
    return true;
}

bool CSerialPort::SetTimeouts(uint32_t readInterval, uint32_t readPerByte, uint32_t readConstant,
                              uint32_t writePerByte, uint32_t writeConstant) {
    termios line{};
    m_result = IsOpen() ? g_serialCalls->GetAttr(m_hComm, line) : -1;
    if (m_result != 0) return false;
    m_timeouts = {readInterval, readPerByte, readConstant, writePerByte, writeConstant};
    // The terminal hands over what it has at once; ReadByte waits itself, to the millisecond.
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
    m_result = g_serialCalls->SetAttr(m_hComm, line);
    if (m_result != 0) {
        Fail(kMsgSetTimeouts, kCaptionTimeouts);
        return false;
    }
    return true;
}

bool CSerialPort::ReadByte(uint8_t& out) {
    out = 0;
    if (!IsOpen()) return false;
    if (m_aheadNext < m_aheadEnd) {
        out = m_ahead[m_aheadNext++];
        return true;
    }
    const bool noWait = m_timeouts.readInterval == kNoWait && m_timeouts.readPerByte == 0 &&
                        m_timeouts.readConstant == 0;
    const int wait = noWait ? 0 : WaitMs(m_timeouts.readPerByte, m_timeouts.readConstant);
    if (!WaitFor(m_hComm, POLLIN, wait)) return false;
    ssize_t n;
    do {
        n = read(m_hComm, m_ahead.data(), m_ahead.size());
    } while (n < 0 && errno == EINTR);
    if (n < 1) return false;
    m_aheadNext = 1;
    m_aheadEnd = static_cast<int>(n);
    out = m_ahead[0];
    return true;
}

bool CSerialPort::WriteByte(uint8_t byte) {
    m_written = 0;
    if (!IsOpen()) return false;
    // A line with room takes the byte at once; only a full one is waited on.
    ssize_t n = WriteNow(m_hComm, byte);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        if (!WaitFor(m_hComm, POLLOUT, WaitMs(m_timeouts.writePerByte, m_timeouts.writeConstant)))
            return false;
        n = WriteNow(m_hComm, byte);
    }
    m_written = n > 0 ? static_cast<int>(n) : 0;
    return n == 1;
}

bool CSerialPort::HasInput() const {
    if (!IsOpen()) return false;
    if (m_aheadNext < m_aheadEnd) return true;
    int waiting = 0;
    return ioctl(m_hComm, FIONREAD, &waiting) == 0 && waiting > 0;
}

void CSerialPort::Close() {
    DropTakenAlong();
    if (!IsOpen()) return;
    // The line may stay open elsewhere (a pseudo terminal whose far end keeps it): the next
    // opener must not find it exclusive.
    ioctl(m_hComm, TIOCNXCL);
    close(m_hComm);
    m_hComm = -1;
}

void CSerialPort::Fail(const char* text, const char* caption) {
    std::fprintf(stderr, "kv4panel: serial line: %s\n", text);
    ThePrompter().Show(text, caption, PromptButtons::Ok, PromptIcon::Stop);
    Close();
}
