#include "platform/PpdevPort.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/ParallelPort.h"

namespace {

constexpr uint16_t kStatusOffset = 1;
constexpr uint16_t kControlOffset = 2;
constexpr uint16_t kEppDataOffset = 4;
// What the direct port reads when an EPP cycle gets no byte: the bus floats high.
constexpr uint8_t kNoByte = 0xFF;

class SystemCalls final : public PpdevCalls {
public:
    int Open(const char* path, int flags) override { return open(path, flags); }
    int Ioctl(int fd, unsigned long request, void* argument) override {
        return ioctl(fd, request, argument);
    }
    ssize_t Read(int fd, void* buffer, size_t count) override { return read(fd, buffer, count); }
    ssize_t Write(int fd, const void* buffer, size_t count) override {
        return write(fd, buffer, count);
    }
    int Close(int fd) override { return close(fd); }
};

// A call the driver left because a signal came is made again.
template <typename Call>
auto Retried(Call call) {
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR) return result;
    }
}

// Register reads and writes: status and control by ioctl, EPP data cycles by read() and
// write(). The file is non-blocking: an EPP read the far side does not answer comes back at
// once (EAGAIN) and reads as the direct port's timed-out cycle, so the link's own spin limits
// and result codes decide, never the driver's retry loop.
class PpdevPort final : public PortIo {
public:
    PpdevPort(PpdevCalls& calls, int fd) : m_calls(calls), m_fd(fd) {}
    ~PpdevPort() override {
        Retried([&] { return m_calls.Ioctl(m_fd, PPRELEASE, nullptr); });
        m_calls.Close(m_fd);
    }

    uint8_t Read(uint16_t port) override {
        unsigned char value = kNoByte;
        switch (static_cast<uint16_t>(port - kLegacyPortBase)) {
            case kStatusOffset:
                if (Retried([&] { return m_calls.Ioctl(m_fd, PPRSTATUS, &value); }) != 0)
                    value = kNoByte;
                break;
            case kControlOffset:
                if (Retried([&] { return m_calls.Ioctl(m_fd, PPRCONTROL, &value); }) != 0)
                    value = kNoByte;
                break;
            case kEppDataOffset:
                if (Retried([&] { return m_calls.Read(m_fd, &value, 1); }) != 1) value = kNoByte;
                break;
            default:
                break;
        }
        return value;
    }

    void Write(uint16_t port, uint8_t value) override {
        unsigned char byte = value;
        switch (static_cast<uint16_t>(port - kLegacyPortBase)) {
            case kControlOffset:
                Retried([&] { return m_calls.Ioctl(m_fd, PPWCONTROL, &byte); });
                break;
            case kEppDataOffset:
                // A byte the far side does not take is lost as on the direct port; the
                // answer that never comes tells the link.
                Retried([&] { return m_calls.Write(m_fd, &byte, 1); });
                break;
            default:
                break;
        }
    }

private:
    PpdevCalls& m_calls;
    int m_fd;
};

std::string Reason(const std::string& what, const std::string& device) {
    return what + " " + device + ": " + std::strerror(errno);
}

}  // namespace

PpdevCalls& SystemPpdevCalls() {
    static SystemCalls calls;
    return calls;
}

std::unique_ptr<PortIo> OpenPpdevPort(const std::string& device, PpdevCalls& calls,
                                      std::string* error) {
    const int fd = Retried([&] { return calls.Open(device.c_str(), O_RDWR | O_NONBLOCK); });
    if (fd < 0) {
        *error = Reason("cannot open the parallel port", device);
        return nullptr;
    }
    bool claimed = false;
    const auto fail = [&](const std::string& reason) -> std::unique_ptr<PortIo> {
        *error = reason;
        if (claimed) Retried([&] { return calls.Ioctl(fd, PPRELEASE, nullptr); });
        calls.Close(fd);
        return nullptr;
    };
    unsigned int modes = 0;
    if (Retried([&] { return calls.Ioctl(fd, PPGETMODES, &modes); }) != 0)
        return fail(Reason("cannot read the modes of the parallel port", device));
    if (!(modes & PARPORT_MODE_EPP))
        return fail("the parallel port " + device + " cannot do EPP: " + kNoEppAdvice);
    // Exclusively, so that the printer driver cannot take the port between two exchanges;
    // the driver takes this only before the first claim.
    if (Retried([&] { return calls.Ioctl(fd, PPEXCL, nullptr); }) != 0)
        return fail(Reason("cannot ask for the parallel port alone", device));
    if (Retried([&] { return calls.Ioctl(fd, PPCLAIM, nullptr); }) != 0)
        return fail(
            Reason("cannot claim the parallel port (is another driver, such as lp, "
                   "using it?)",
                   device));
    claimed = true;
    int mode = IEEE1284_MODE_EPP;
    if (Retried([&] { return calls.Ioctl(fd, PPSETMODE, &mode); }) != 0)
        return fail(Reason("cannot put the parallel port in EPP mode", device));
    return std::make_unique<PpdevPort>(calls, fd);
}
