#include "sim/SimReplay.h"

#include "platform/Pcapng.h"

namespace {

// The trace's packet layout, as the far end reads it.
constexpr uint16_t kTraceLinkType = 147;
constexpr uint8_t kVersion = 1;
constexpr uint8_t kExchange = 1;
constexpr uint8_t kSendOnly = 2;
constexpr uint8_t kNoAnswer = 1;  // the panel's result when nothing came in time
constexpr uint8_t kBusy = 5;      // refused before a byte went out
constexpr size_t kHeader = 16;
constexpr size_t kMaxAnswer = 262;
constexpr uint8_t kSurfaceStatus = 3;  // short command: knob turns and key presses
constexpr size_t kMaxTraceBytes = size_t{1} << 30;

uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}
uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

}  // namespace

bool SimReplay::Load(const std::string& path, std::string* error) {
    std::vector<PcapngPacket> packets;
    // A trace cut short (a power cut as it was written) still plays up to the cut.
    if (!ReadPcapngFile(path, kMaxTraceBytes, &packets, error)) {
        if (packets.empty()) return false;
        m_damage = *error;
    }
    if (!Take(packets, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return true;
}

bool SimReplay::Take(const std::vector<PcapngPacket>& packets, std::string* error) {
    for (const PcapngPacket& packet : packets) {
        const std::vector<uint8_t>& p = packet.data;
        if (packet.linkType != kTraceLinkType || p.size() < kHeader || p[0] != kVersion) continue;
        const uint8_t kind = p[1], result = p[3];
        const size_t requestLength = U16(&p[12]), answerLength = U16(&p[14]);
        // A packet that does not hold together is passed over; the rest still plays.
        if (requestLength < 2 || answerLength > kMaxAnswer ||
            kHeader + requestLength + answerLength > p.size())
            continue;
        if (kind != kExchange && kind != kSendOnly) continue;
        if (kind == kSendOnly && result == kBusy) continue;  // never reached the far end
        const auto requestStart = p.begin() + kHeader;
        std::string request(requestStart, requestStart + static_cast<long>(requestLength));
        Answer answer;
        answer.silent = kind == kSendOnly || result == kNoAnswer;
        if (!answer.silent) {
            const auto answerStart = requestStart + static_cast<long>(requestLength);
            answer.bytes.assign(answerStart, answerStart + static_cast<long>(answerLength));
            answer.statusReads = static_cast<int>(std::min<uint32_t>(U32(&p[4]), 10000000));
        }
        m_entries[std::move(request)].answers.push_back(std::move(answer));
        ++m_answers;
    }
    if (m_answers == 0) {
        *error = "no link exchanges in it";
        return false;
    }
    return true;
}

const SimReplay::Answer* SimReplay::Next(const std::vector<uint8_t>& request) {
    const auto found = m_entries.find(std::string(request.begin(), request.end()));
    if (found == m_entries.end()) return nullptr;
    Entry& entry = found->second;
    if (entry.next < entry.answers.size()) return &entry.answers[entry.next++];
    // Repeating a recorded knob turn or key press would turn or press it without end.
    if (request[0] == kSurfaceStatus) return nullptr;
    return &entry.answers.back();
}
