#pragma once

// A port between the panel and the rig that keeps every request packet the panel sends.

#include <cstdint>
#include <vector>

#include "link/EppLink.h"
#include "platform/PortIo.h"

class TapPort final : public PortIo {
public:
    explicit TapPort(PortIo& inner) : m_inner(inner) {}
    uint8_t Read(uint16_t port) override { return m_inner.Read(port); }
    void Write(uint16_t port, uint8_t value) override {
        m_inner.Write(port, value);
        if (port != kDataPort) return;
        m_current.push_back(value);
        if (m_current.size() >= 2 && m_current.size() >= m_current[1]) {
            packets.push_back(m_current);
            m_current.clear();
        }
    }
    // The long-form requests with this command code, in order.
    std::vector<std::vector<uint8_t>> Requests(uint8_t code) const {
        std::vector<std::vector<uint8_t>> found;
        for (const auto& p : packets)
            if (p.size() > 4 && p[0] == 0x08 && p[4] == code) found.push_back(p);
        return found;
    }
    std::vector<std::vector<uint8_t>> packets;

private:
    PortIo& m_inner;
    std::vector<uint8_t> m_current;
};
