#pragma once

// The parallel port through the kernel's ppdev driver, in EPP mode. The driver is reached
// through PpdevCalls, the system calls it answers, so that the backend can be proven against a
// fake written from the driver's documented behaviour.

#include <sys/types.h>

#include <memory>
#include <string>

#include "platform/PortIo.h"

class PpdevCalls {
public:
    virtual ~PpdevCalls() = default;
    virtual int Open(const char* path, int flags) = 0;
    virtual int Ioctl(int fd, unsigned long request, void* argument) = 0;
    virtual ssize_t Read(int fd, void* buffer, size_t count) = 0;
    virtual ssize_t Write(int fd, const void* buffer, size_t count) = 0;
    virtual int Close(int fd) = 0;
};

// The real system calls.
PpdevCalls& SystemPpdevCalls();

// What the engineer is told when the port cannot do EPP.
inline constexpr const char* kNoEppAdvice =
    "set the parallel port to EPP or ECP+EPP in the PC's set-up";

// Opens device non-blocking, asks for it exclusively, claims it and puts it in EPP mode;
// nullptr with a plain-words reason in *error (the port released and closed) when that fails.
std::unique_ptr<PortIo> OpenPpdevPort(const std::string& device, PpdevCalls& calls,
                                      std::string* error);
