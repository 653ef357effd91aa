#include "platform/ParallelPort.h"

#include "platform/PpdevPort.h"

#include <cerrno>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define KV4_HAVE_PORT_IO 1
#endif

namespace {

constexpr uint16_t kRegisterSpan = 8;

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
    return location.kind == PortLocation::Kind::Ppdev
               ? OpenPpdevPort(location.device, SystemPpdevCalls(), error)
               : OpenDirect(location.base, error);
}
