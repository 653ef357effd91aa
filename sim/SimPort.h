#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/PortIo.h"

class SimReplay;
class SimSurface;
class SimUnit;

// The parallel port with the simulated far end behind it, register by register: the status
// register tells whether the far side takes a packet and whether answer bytes are waiting,
// the data register carries packets out and answers in. Long-form packets go to the unit they
// address, short-form packets to the control surface.
class SimPort final : public PortIo {
public:
    static constexpr uint16_t kStatus = 889;
    static constexpr uint16_t kControl = 890;
    static constexpr uint16_t kData = 892;

    SimPort(std::array<SimUnit*, 5> units, SimSurface* surface)
        : m_units(units), m_surface(surface) {}

    // Puts a unit on (or, with nullptr, off) the line at unit number 1..4.
    void SetUnit(int number, SimUnit* unit) { m_units[number] = unit; }

    uint8_t Read(uint16_t port) override;
    void Write(uint16_t port, uint8_t value) override;

    // Answers from a trace come first; what it never recorded, the rig answers.
    void SetReplay(SimReplay* replay) { m_replay = replay; }

    // Status reads before an answer is ready (every answer).
    void SetAnswerDelay(int statusReads) { m_answerDelay = statusReads; }
    // Failure mode: the far side reads busy for the next count send attempts.
    void SetBusySends(int count) { m_busySends = count; }

    int PacketsToUnit(int unit) const { return m_packetsToUnit[unit]; }
    int PacketsToSurface() const { return m_packetsToSurface; }
    // Answer bytes still waiting on the line.
    size_t PendingBytes() const { return m_outCount; }
    // What the far side holds of answers nobody reads; beyond it, answers are lost.
    static constexpr size_t kLineBytes = 65536;
    uint8_t ControlRegister() const { return m_control; }

private:
    void Dispatch();
    // True when the trace answered the packet (or stayed silent to it).
    bool Replayed(const std::vector<uint8_t>& packet);
    // The answer shows after readyIn status reads.
    void Queue(const std::vector<uint8_t>& bytes, int readyIn);

    std::array<SimUnit*, 5> m_units;
    SimSurface* m_surface;
    SimReplay* m_replay = nullptr;
    std::vector<uint8_t> m_incoming;
    // The answers waiting, oldest first from m_outHead, in a fixed ring: a line that is never
    // read costs no memory beyond it.
    std::array<uint8_t, kLineBytes> m_outgoing{};
    size_t m_outHead = 0;
    size_t m_outCount = 0;
    int m_readyIn = 0;  // status reads until the waiting answer shows
    int m_answerDelay = 2;
    int m_busySends = 0;
    uint8_t m_control = 0x24;
    std::array<int, 5> m_packetsToUnit{};
    int m_packetsToSurface = 0;
};
