#pragma once

// A fake of the kernel's ppdev driver at the system-call seam, written from the driver's own
// behaviour (drivers/char/ppdev.c and Documentation/driver-api/parport-lowlevel.rst), with the
// simulated rig's port as the wire behind it:
// - open() registers nothing; the device is registered on the first PPCLAIM, exclusively when
//   PPEXCL came first; PPEXCL after that is refused with EINVAL (pp_open, PPEXCL in
//   pp_do_ioctl).
// - PPGETMODES and PPSETMODE work unclaimed; every register ioctl (PPRSTATUS, PPRCONTROL,
//   PPWCONTROL, PPDATADIR, PPRELEASE), read() and write() need the port claimed, else EINVAL;
//   an ioctl the driver does not know is ENOTTY.
// - The control ioctls reach only the four control lines (bits 0..3, as parport_pc masks
//   them); the data direction is PPDATADIR's.
// - PPCLAIM may sleep until the port is free, and a signal then ends it with EINTR; closing
//   the file releases and unregisters the device (pp_release).
// - An EPP read() that gets no byte is retried inside the driver for as long as no signal
//   comes, unless the file is O_NONBLOCK: then it returns EAGAIN (the loop in pp_read). Here
//   the retry loop gives up after kHangSpins turns (EIO) and reports hung(), so a test fails
//   instead of hanging.

#include <linux/parport.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/PpdevPort.h"

class SimPort;

class FakePpdev final : public PpdevCalls {
public:
    static constexpr int kFd = 7;
    static constexpr long kHangSpins = 100000;

    FakePpdev(SimPort& wire, std::string device) : m_wire(wire), m_device(std::move(device)) {}

    // What the port can do (PPGETMODES): a port set to ECP+EPP in the PC's set-up by default.
    unsigned int modes =
        PARPORT_MODE_PCSPP | PARPORT_MODE_TRISTATE | PARPORT_MODE_EPP | PARPORT_MODE_ECP;
    // Another driver (the printer's) holds the port: an exclusive claim fails with ENXIO.
    bool heldByOtherDriver = false;
    // The next claims fail with EINTR, as when a signal comes while the claim sleeps.
    int interruptNext = 0;

    int Open(const char* path, int flags) override;
    int Ioctl(int fd, unsigned long request, void* argument) override;
    ssize_t Read(int fd, void* buffer, size_t count) override;
    ssize_t Write(int fd, const void* buffer, size_t count) override;
    int Close(int fd) override;

    bool open() const { return m_open; }
    bool claimed() const { return m_claimed; }
    bool exclusive() const { return m_exclusive; }
    bool nonBlocking() const { return m_nonBlocking; }
    bool closeOnExec() const { return m_closeOnExec; }
    bool reverse() const { return m_reverse; }
    bool hung() const { return m_hung; }
    int mode() const { return m_mode; }
    // The ioctl requests in order, for the order of the claim.
    std::vector<unsigned long> requests;

private:
    bool Interrupted();

    SimPort& m_wire;
    std::string m_device;
    bool m_open = false;
    bool m_registered = false;
    bool m_exclusive = false;
    bool m_claimed = false;
    bool m_nonBlocking = false;
    bool m_closeOnExec = false;
    bool m_reverse = false;
    uint8_t m_controlLines = 0x04;
    bool m_hung = false;
    int m_mode = 0;
};
