#include "tests/support/ScriptedPort.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "link/EppLink.h"

namespace {
constexpr uint8_t kStatusIdleReady = kStatusReady | kStatusNoAnswer;
constexpr uint8_t kStatusAnswerWaiting = kStatusReady;
}  // namespace

ScriptedPort::ScriptedPort() {
    SetPortIo(this);
}

ScriptedPort::~ScriptedPort() {
    SetPortIo(nullptr);
}

ScriptedPort& ScriptedPort::ExpectRead(uint16_t port, uint8_t value) {
    m_steps.push_back({false, port, value});
    return *this;
}

ScriptedPort& ScriptedPort::ExpectWrite(uint16_t port, uint8_t value) {
    m_steps.push_back({true, port, value});
    return *this;
}

ScriptedPort& ScriptedPort::ExpectSend(std::initializer_list<uint8_t> packet) {
    return ExpectSend(std::vector<uint8_t>(packet));
}

ScriptedPort& ScriptedPort::ExpectSend(const std::vector<uint8_t>& packet) {
    ExpectRead(kStatusPort, kStatusIdleReady);
    for (uint8_t byte : packet)
        ExpectWrite(kDataPort, byte);
    return *this;
}

ScriptedPort& ScriptedPort::ExpectBusy() {
    return ExpectRead(kStatusPort, kStatusNoAnswer);
}

ScriptedPort& ScriptedPort::ExpectAnswer(const std::vector<uint8_t>& wireBytes, int notReadyReads) {
    ExpectNoAnswer(notReadyReads);
    ExpectRead(kStatusPort, kStatusAnswerWaiting);
    for (uint8_t byte : wireBytes)
        ExpectRead(kDataPort, byte);
    return *this;
}

ScriptedPort& ScriptedPort::ExpectNoAnswer(int count) {
    for (int i = 0; i < count; ++i)
        ExpectRead(kStatusPort, kStatusIdleReady);
    return *this;
}

void ScriptedPort::ExpectDone() const {
    EXPECT_EQ(m_next, m_steps.size()) << "the script still expected " << Describe(m_next) << " and "
                                      << (m_steps.size() - m_next - 1) << " more";
}

std::string ScriptedPort::Describe(size_t index) const {
    if (index >= m_steps.size()) return "nothing";
    const Step& s = m_steps[index];
    char text[96];
    if (s.write)
        std::snprintf(text, sizeof text, "access %zu: write 0x%02X to port %u", index, s.value,
                      s.port);
    else
        std::snprintf(text, sizeof text, "access %zu: read of port %u", index, s.port);
    return text;
}

uint8_t ScriptedPort::Read(uint16_t port) {
    if (m_next >= m_steps.size()) {
        ADD_FAILURE() << "unexpected read of port " << port << " after the script ended (access "
                      << m_next++ << ")";
        return 0x10;  // ready for nothing more: no answer, busy
    }
    const size_t at = m_next++;
    const Step& s = m_steps[at];
    if (s.write || s.port != port) {
        ADD_FAILURE() << "read of port " << port << ", but the script expected " << Describe(at);
    }
    return s.value;
}

void ScriptedPort::Write(uint16_t port, uint8_t value) {
    if (m_next >= m_steps.size()) {
        ADD_FAILURE() << "unexpected write of 0x" << std::hex << int(value) << std::dec
                      << " to port " << port << " after the script ended (access " << m_next++
                      << ")";
        return;
    }
    const size_t at = m_next++;
    const Step& s = m_steps[at];
    if (!s.write || s.port != port || s.value != value) {
        ADD_FAILURE() << "write of 0x" << std::hex << int(value) << std::dec << " to port " << port
                      << ", but the script expected " << Describe(at);
    }
}

std::vector<uint8_t> LongAnswer(uint8_t code, const std::vector<uint8_t>& data, uint8_t type) {
    const size_t length = data.size() + 6;
    std::vector<uint8_t> bytes = {
        type, static_cast<uint8_t>(length & 0xFF),   static_cast<uint8_t>(length >> 8),
        0,    static_cast<uint8_t>(data.size() + 1), code};
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

std::vector<uint8_t> ShortAnswer(const std::vector<uint8_t>& data, uint8_t type) {
    std::vector<uint8_t> bytes = {type, static_cast<uint8_t>(data.size() + 2)};
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}
