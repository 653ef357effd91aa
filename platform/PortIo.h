#pragma once

#include <cstdint>

// Every register access of the link goes through one PortIo. The parallel port, ppdev and the
// simulator are interchangeable behind it; the link never knows which one it talks to.
class PortIo {
public:
    virtual ~PortIo() = default;
    virtual uint8_t Read(uint16_t port) = 0;
    virtual void Write(uint16_t port, uint8_t value) = 0;
};

// The process-wide port, set once at start-up (tests swap it in their fixtures). Until one is
// set, an unconnected port stands in: it reads 0xFF (ready, nothing to answer) and drops writes.
void SetPortIo(PortIo* port);
PortIo& ThePortIo();

namespace detail {
extern PortIo* g_portIo;
}

inline uint8_t PortRead(uint16_t port) {
    return detail::g_portIo->Read(port);
}

inline void PortWrite(uint16_t port, uint8_t value) {
    detail::g_portIo->Write(port, value);
}
