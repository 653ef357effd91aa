#include "sim/SimPort.h"

#include "sim/SimReplay.h"
#include "sim/SimSurface.h"
#include "sim/SimUnit.h"

namespace {
constexpr uint8_t kReady = 0x80;
constexpr uint8_t kNoAnswer = 0x10;
constexpr uint8_t kIdleBits = 0x07;  // bits the panel does not look at
constexpr uint8_t kFloatingBus = 0xFF;
constexpr uint8_t kLinkReset = 6;
}  // namespace

uint8_t SimPort::Read(uint16_t port) {
    switch (port) {
        case kStatus: {
            uint8_t status = kIdleBits | kReady | kNoAnswer;
            if (m_outCount > 0) {
                if (m_readyIn > 0)
                    --m_readyIn;
                else
                    status &= ~kNoAnswer;
            } else if (m_incoming.empty() && m_busySends > 0) {
                // With nothing on the line a status read is someone about to send.
                --m_busySends;
                status &= ~kReady;
            }
            return status;
        }
        case kControl:
            return m_control;
        case kData: {
            if (m_outCount == 0) return kFloatingBus;
            const uint8_t byte = m_outgoing[m_outHead];
            m_outHead = (m_outHead + 1) % kLineBytes;
            --m_outCount;
            return byte;
        }
        default:
            return kFloatingBus;
    }
}

void SimPort::Write(uint16_t port, uint8_t value) {
    if (port == kControl) {
        m_control = value;
        return;
    }
    if (port != kData) return;
    m_incoming.push_back(value);
    // Byte 1 of both packet forms is the total length.
    if (m_incoming.size() >= 2 && m_incoming.size() >= m_incoming[1]) Dispatch();
}

void SimPort::Dispatch() {
    std::vector<uint8_t> packet;
    packet.swap(m_incoming);
    if (packet[0] == 0x08) {
        const int address = (packet.size() > 2 ? packet[2] : 0) - 2;
        const int unit = address >> 4;
        if ((address & 0x0F) != 0 || unit < 1 || unit > 4) return;
        ++m_packetsToUnit[unit];
        if (Replayed(packet)) return;
        SimUnit* target = m_units[unit];
        if (!target) return;  // nobody there: no answer
        if (auto answer = target->Handle(packet))
            Queue(*answer, m_answerDelay + target->Faults().slowStatusReads);
        return;
    }
    ++m_packetsToSurface;
    // A link reset throws away whatever was left unread on the line.
    if (packet[0] == kLinkReset) m_outCount = 0;
    if (Replayed(packet)) return;
    if (auto answer = m_surface->Handle(packet)) Queue(*answer, m_answerDelay);
}

bool SimPort::Replayed(const std::vector<uint8_t>& packet) {
    const SimReplay::Answer* answer = m_replay ? m_replay->Next(packet) : nullptr;
    if (!answer) return false;
    // The panel counts the read that finds the answer ready among its status reads.
    if (!answer->silent) Queue(answer->bytes, answer->statusReads - 1);
    return true;
}

void SimPort::Queue(const std::vector<uint8_t>& bytes, int readyIn) {
    if (m_outCount == 0) m_readyIn = readyIn;
    for (uint8_t byte : bytes) {
        if (m_outCount == kLineBytes) return;
        m_outgoing[(m_outHead + m_outCount++) % kLineBytes] = byte;
    }
}
