#pragma once

// The far end of the link for the fuzzers: every register read the panel makes of an answer is
// the next byte of the fuzz input. The status register always reads "ready, an answer is
// waiting", so every exchange goes straight to the answer's bytes; once the input is used up the
// data register reads 0 (an answer of the wrong type), which ends every exchange at once.
// With a port behind it, long-form packets (to a Main Unit) go to that port and only the
// short-form ones (the panel's own hardware) are answered from the input.

#include <cstddef>
#include <cstdint>

#include "link/EppLink.h"
#include "platform/Clock.h"
#include "platform/PortIo.h"

class FuzzPort final : public PortIo {
public:
    void Play(const uint8_t* data, size_t size) {
        m_data = data;
        m_size = size;
        m_at = 0;
        m_left = 0;
        m_toUnits = false;
    }
    void SetUnitsBehind(PortIo* units) { m_units = units; }
    size_t Left() const { return m_size - m_at; }

    uint8_t Read(uint16_t port) override {
        if (m_toUnits) return m_units->Read(port);
        if (port == kStatusPort) return kStatusReady;  // no-answer bit clear: one is waiting
        if (port != kDataPort || m_at >= m_size) return 0;
        return m_data[m_at++];
    }
    void Write(uint16_t port, uint8_t value) override {
        if (port == kDataPort) Track(value);
        if (m_toUnits) m_units->Write(port, value);
    }

private:
    // Follows packet boundaries on the data register: byte 0 tells the form, byte 1 the length.
    void Track(uint8_t value) {
        if (m_left == 0) {
            m_toUnits = m_units != nullptr && value == kLongRequest;
            m_left = -1;  // the length byte comes next
            return;
        }
        if (m_left == -1) {
            m_left = value > 2 ? value - 2 : 0;
            return;
        }
        --m_left;
    }

    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_at = 0;
    int m_left = 0;
    bool m_toUnits = false;
    PortIo* m_units = nullptr;
};

// Puts port behind the link, on a virtual clock so the link's pauses cost no time.
inline void InstallFuzzFarEnd(FuzzPort& port) {
    static VirtualClock clock;
    SetClock(&clock);
    SetPortIo(&port);
}
