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
#include "platform/Report.h"

namespace {

constexpr uint16_t kStatusOffset = 1;
constexpr uint16_t kControlOffset = 2;
constexpr uint16_t kEppDataOffset = 4;
constexpr uint8_t kControlLines = 0x0F;
constexpr uint8_t kReverseBit = 0x20;
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
            case kControlOffset: {
                // The driver writes only the four control lines; the data direction (bit 5) is
                // its own call.
                int reverse = (value & kReverseBit) ? 1 : 0;
                unsigned char lines = value & kControlLines;
                if (Retried([&] { return m_calls.Ioctl(m_fd, PPDATADIR, &reverse); }) != 0 ||
                    Retried([&] { return m_calls.Ioctl(m_fd, PPWCONTROL, &lines); }) != 0)
                    ReportOnce("the parallel port's control register cannot be written");
                break;
            }
            case kEppDataOffset:
                // A byte the far side does not take is lost as on the direct port; the
                // answer that never comes tells the link.
                if (Retried([&] { return m_calls.Write(m_fd, &byte, 1); }) < 0 && errno != EAGAIN)
                    ReportOnce("an EPP write of the parallel port failed");
                break;
            default:
                break;
        }
    }

private:
    // A driver that refuses a register is said once in the journal; the link's result codes
    // tell the rest.
    void ReportOnce(const char* what) {
        if (m_reported) return;
        m_reported = true;
        ReportLine(std::string(what) + ": " + std::strerror(errno));
    }

    PpdevCalls& m_calls;
    int m_fd;
    bool m_reported = false;
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
    // Not inherited by the programs the panel starts: the claim belongs to the open file, and a
    // viewer that outlived the panel would hold the port.
    const int fd =
        Retried([&] { return calls.Open(device.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC); });
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
