#include "tests/platform/FakePpdev.h"

#include <cerrno>

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include "sim/SimPort.h"

namespace {
int Fail(int error) {
    errno = error;
    return -1;
}
}  // namespace

bool FakePpdev::Interrupted() {
    if (interruptNext <= 0) return false;
    --interruptNext;
    errno = EINTR;
    return true;
}

int FakePpdev::Open(const char* path, int flags) {
    if (m_device != path) return Fail(ENOENT);
    m_open = true;
    m_nonBlocking = (flags & O_NONBLOCK) != 0;
    m_closeOnExec = (flags & O_CLOEXEC) != 0;
    m_mode = IEEE1284_MODE_COMPAT;
    return kFd;
}

int FakePpdev::Ioctl(int fd, unsigned long request, void* argument) {
    if (fd != kFd || !m_open) return Fail(EBADF);
    requests.push_back(request);
    switch (request) {
        case PPEXCL:
            // Too late once the device is registered, unless it already is exclusive.
            if (m_registered) return m_exclusive ? 0 : Fail(EINVAL);
            m_exclusive = true;
            return 0;
        case PPCLAIM:
            if (m_claimed) return Fail(EINVAL);
            if (Interrupted()) return -1;
            if (heldByOtherDriver && m_exclusive) return Fail(ENXIO);
            m_registered = true;
            m_claimed = true;
            return 0;
        case PPGETMODES:
            *static_cast<unsigned int*>(argument) = modes;
            return 0;
        case PPSETMODE:
            m_mode = *static_cast<int*>(argument);
            return 0;
        default:
            break;
    }
    // Everything else needs the port claimed.
    if (!m_claimed) return Fail(EINVAL);
    switch (request) {
        case PPRELEASE:
            m_claimed = false;
            return 0;
        case PPRSTATUS:
            *static_cast<unsigned char*>(argument) = m_wire.Read(SimPort::kStatus);
            return 0;
        case PPRCONTROL:
            *static_cast<unsigned char*>(argument) = m_controlLines;
            return 0;
        case PPWCONTROL:
            m_controlLines = *static_cast<unsigned char*>(argument) & 0x0F;
            return 0;
        case PPDATADIR:
            m_reverse = *static_cast<int*>(argument) != 0;
            return 0;
        default:
            return Fail(ENOTTY);
    }
}

ssize_t FakePpdev::Read(int fd, void* buffer, size_t count) {
    if (fd != kFd || !m_open) return Fail(EBADF);
    if (!m_claimed) return Fail(EINVAL);
    if (count == 0) return 0;
    auto* bytes = static_cast<unsigned char*>(buffer);
    for (long spin = 0;; ++spin) {
        // An EPP cycle completes only when the far side has a byte to put on the bus.
        if (m_mode == IEEE1284_MODE_EPP && m_wire.PendingBytes() > 0) {
            size_t got = 0;
            while (got < count && m_wire.PendingBytes() > 0)
                bytes[got++] = m_wire.Read(SimPort::kData);
            return static_cast<ssize_t>(got);
        }
        if (m_nonBlocking) return Fail(EAGAIN);
        if (spin >= kHangSpins) {
            // Where the real driver would go on for ever: the test is told, and the caller
            // gets an error it does not retry.
            m_hung = true;
            return Fail(EIO);
        }
    }
}

ssize_t FakePpdev::Write(int fd, const void* buffer, size_t count) {
    if (fd != kFd || !m_open) return Fail(EBADF);
    if (!m_claimed) return Fail(EINVAL);
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    for (size_t i = 0; i < count; ++i)
        m_wire.Write(SimPort::kData, bytes[i]);
    return static_cast<ssize_t>(count);
}

int FakePpdev::Close(int fd) {
    if (fd != kFd || !m_open) return Fail(EBADF);
    m_open = false;
    m_claimed = false;
    m_registered = false;
    m_exclusive = false;
    return 0;
}
