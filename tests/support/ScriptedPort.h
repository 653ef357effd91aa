#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/PortIo.h"

// A port that expects every register access in order and plays back the bytes of a script.
// A wrong access fails the running test with its position and both values.
class ScriptedPort final : public PortIo {
public:
    ScriptedPort();
    ~ScriptedPort() override;

    // One access each.
    ScriptedPort& ExpectRead(uint16_t port, uint8_t value);
    ScriptedPort& ExpectWrite(uint16_t port, uint8_t value);

    // A sent packet: one ready status read, then every byte on the data register.
    ScriptedPort& ExpectSend(std::initializer_list<uint8_t> packet);
    ScriptedPort& ExpectSend(const std::vector<uint8_t>& packet);
    // A send refused because the far side is busy: one status read with bit 7 clear.
    ScriptedPort& ExpectBusy();
    // notReadyReads status reads with bit 4 set, one with it clear, then the answer's bytes.
    ScriptedPort& ExpectAnswer(const std::vector<uint8_t>& wireBytes, int notReadyReads = 0);
    // count status reads that all say "no answer yet".
    ScriptedPort& ExpectNoAnswer(int count);

    // Accesses of the script not yet made.
    size_t Remaining() const { return m_steps.size() - m_next; }
    // Fails the running test unless the whole script was played.
    void ExpectDone() const;

    uint8_t Read(uint16_t port) override;
    void Write(uint16_t port, uint8_t value) override;

private:
    struct Step {
        bool write;
        uint16_t port;
        uint8_t value;
    };
    std::string Describe(size_t index) const;

    std::vector<Step> m_steps;
    size_t m_next = 0;
};

// The bytes of a long-form answer on the wire: type, L low/high, header, C, code, data.
std::vector<uint8_t> LongAnswer(uint8_t code, const std::vector<uint8_t>& data, uint8_t type = 9);
// The bytes of a short-form answer on the wire: type, length, data.
std::vector<uint8_t> ShortAnswer(const std::vector<uint8_t>& data, uint8_t type = 1);
