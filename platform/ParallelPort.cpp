#include "platform/ParallelPort.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define KV4_HAVE_PORT_IO 1
#endif

namespace {

constexpr uint16_t kStatusOffset = 1;
constexpr uint16_t kControlOffset = 2;
constexpr uint16_t kEppDataOffset = 4;
constexpr uint16_t kRegisterSpan = 8;

// Register reads and writes through the ppdev driver: status and control by ioctl, EPP data
// cycles by read() and write() with the port claimed in EPP mode.
class PpdevPort final : public PortIo {
public:
    explicit PpdevPort(int fd) : m_fd(fd) {}
    ~PpdevPort() override {
        ioctl(m_fd, PPRELEASE);
        close(m_fd);
    }

    uint8_t Read(uint16_t port) override {
        unsigned char value = 0xFF;
        switch (static_cast<uint16_t>(port - kLegacyPortBase)) {
            case kStatusOffset:
                ioctl(m_fd, PPRSTATUS, &value);
                break;
            case kControlOffset:
                ioctl(m_fd, PPRCONTROL, &value);
                break;
            case kEppDataOffset:
                if (read(m_fd, &value, 1) != 1) value = 0xFF;
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
                ioctl(m_fd, PPWCONTROL, &byte);
                break;
            case kEppDataOffset:
                (void)!write(m_fd, &byte, 1);
                break;
            default:
                break;
        }
    }

private:
    int m_fd;
};

#ifdef KV4_HAVE_PORT_IO
class DirectPort final : public PortIo {
public:
    explicit DirectPort(uint16_t base) : m_base(base) {}
    ~DirectPort() override { ioperm(m_base, kRegisterSpan, 0); }

    uint8_t Read(uint16_t port) override { return inb(Map(port)); }
    void Write(uint16_t port, uint8_t value) override { outb(value, Map(port)); }

private:
    uint16_t Map(uint16_t port) const {
        return static_cast<uint16_t>(m_base + ((port - kLegacyPortBase) & (kRegisterSpan - 1)));
    }
    uint16_t m_base;
};
#endif

std::unique_ptr<PortIo> OpenPpdev(const std::string& device, std::string* error) {
    const int fd = open(device.c_str(), O_RDWR);
    if (fd < 0) {
        *error = "cannot open the parallel port " + device + ": " + std::strerror(errno);
        return nullptr;
    }
    int mode = IEEE1284_MODE_EPP;
    if (ioctl(fd, PPCLAIM) != 0 || ioctl(fd, PPSETMODE, &mode) != 0) {
        *error =
            "cannot claim the parallel port " + device + " in EPP mode: " + std::strerror(errno);
        close(fd);
        return nullptr;
    }
    return std::make_unique<PpdevPort>(fd);
}

std::unique_ptr<PortIo> OpenDirect(uint16_t base, std::string* error) {
#ifdef KV4_HAVE_PORT_IO
    if (ioperm(base, kRegisterSpan, 1) != 0) {
        *error = "no access to the I/O ports of the parallel port (run as root): " +
                 std::string(std::strerror(errno));
        return nullptr;
    }
    return std::make_unique<DirectPort>(base);
#else
    (void)base;
    *error = "direct port I/O is not available on this processor; use ppdev:";
    return nullptr;
#endif
}

}  // namespace

std::optional<PortLocation> ParsePortLocation(const std::string& text, std::string* error) {
    PortLocation location;
    if (text.rfind("ppdev:", 0) == 0) {
        location.kind = PortLocation::Kind::Ppdev;
        location.device = text.substr(6);
        if (location.device.empty() || location.device[0] != '/') {
            *error = "--port ppdev: needs the path of a device, e.g. ppdev:/dev/parport0";
            return std::nullopt;
        }
        return location;
    }
    if (text.rfind("io:", 0) == 0) {
        const std::string number = text.substr(3);
        char* end = nullptr;
        errno = 0;
        const unsigned long base = std::strtoul(number.c_str(), &end, 0);
        if (number.empty() || *end != '\0' || errno != 0 || base == 0 ||
            base > 0xFFFF - kRegisterSpan) {
            *error = "--port io: needs a port base address, e.g. io:0x378";
            return std::nullopt;
        }
        location.kind = PortLocation::Kind::IoPorts;
        location.base = static_cast<uint16_t>(base);
        return location;
    }
    *error = "unknown --port '" + text + "' (use ppdev:/dev/parportN or io:0xADDR)";
    return std::nullopt;
}

std::unique_ptr<PortIo> OpenParallelPort(const PortLocation& location, std::string* error) {
    return location.kind == PortLocation::Kind::Ppdev ? OpenPpdev(location.device, error)
                                                      : OpenDirect(location.base, error);
}
