#include "link/EppLink.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "link/LinkStats.h"
#include "link/LinkTrace.h"
#include "platform/Clock.h"
#include "platform/PortIo.h"

namespace {

// Counts status reads until a response byte is waiting and gives their number. An answer came
// in time when it is below the limit; reaching the limit counts as no response even if bit 4
// cleared on exactly that read.
int WaitForResponse(int spinLimit) {
    // A spin of half a million reads takes a good part of a second on a real port: the clock
    // gets a moment every few reads, and the windows keep painting.
    constexpr int kReadsPerBreath = 64;
    Clock& clock = TheClock();
    int reads = 0;
    uint8_t status;
    do {
        status = PortRead(kStatusPort);
        ++reads;
        if (reads % kReadsPerBreath == 0) clock.Breathe();
    } while ((status & kStatusNoAnswer) && reads < spinLimit);
    return reads;
}

void ReadBytes(uint8_t* to, int count) {
    for (int i = 0; i < count; ++i)
        to[i] = PortRead(kDataPort);
}

// The long-form answer as it came off the data register: the receive buffer without its pad.
LinkStatus TraceLongAnswer(const uint8_t* buffer, int dataRead, int spins, LinkStatus status) {
    if (!g_linkTrace) return status;
    std::array<uint8_t, kResponseSize> wire;
    int length = 0;
    if (status != kLinkNoResponse) {
        wire[0] = buffer[kRespType];
        std::memcpy(&wire[1], buffer + kRespLengthLow, kResponseHeader - 1);
        std::memcpy(&wire[kResponseHeader], buffer + kRespData, static_cast<size_t>(dataRead));
        length = kResponseHeader + dataRead;
    }
    g_linkTrace->Received(wire.data(), length, spins, status);
    return status;
}

LinkStatus TraceShortAnswer(const uint8_t* buffer, int spins, LinkStatus status) {
    if (!g_linkTrace) return status;
    const int length = status == kLinkNoResponse ? 0 : std::max<int>(buffer[1], 2);
    g_linkTrace->Received(buffer, length, spins, status);
    return status;
}

}  // namespace

LinkStatus SendPacket(const uint8_t* packet) {
    CountRequest(packet);
    if (!(PortRead(kStatusPort) & kStatusReady)) {
        CountFailure(LinkFailure::Busy);
        if (g_linkTrace) g_linkTrace->Sent(packet, kLinkBusy);
        return kLinkBusy;
    }
    const int length = packet[1];
    for (int i = 0; i < length; ++i)
        PortWrite(kDataPort, packet[i]);
    if (g_linkTrace) g_linkTrace->Sent(packet, kLinkOk);
    return kLinkOk;
}

LinkStatus ReceiveResponse(uint8_t* buffer, int spinLimit) {
    std::memset(buffer, 0, kResponseSize);
    const int spins = WaitForResponse(spinLimit);
    if (spins >= spinLimit) {
        CountFailure(LinkFailure::NoAnswer);
        return TraceLongAnswer(buffer, 0, spins, kLinkNoResponse);
    }
    CountAnswer();
    buffer[kRespType] = PortRead(kDataPort);
    buffer[kRespLengthLow] = PortRead(kDataPort);
    buffer[kRespLengthHigh] = PortRead(kDataPort);
    ReadBytes(buffer + kRespHeaderByte, 3);
    const int length = buffer[kRespLengthLow] | (buffer[kRespLengthHigh] << 8);
    const int dataCount = length - kResponseHeader;
    // The data of an over-long answer stay unread; link resets clear the line before it is
    // used again.
    if (dataCount > kMaxResponseData) {
        CountFailure(LinkFailure::BadTypeOrLength);
        return TraceLongAnswer(buffer, 0, spins, kLinkBadLength);
    }
    if (dataCount > 0) ReadBytes(buffer + kRespData, dataCount);
    // The commands read the missing data as zeros; the unit is at fault all the same.
    if (buffer[kRespCount] - 1 > std::max(dataCount, 0)) CountFailure(LinkFailure::CountBeyondData);
    return TraceLongAnswer(buffer, std::max(dataCount, 0), spins, kLinkOk);
}

LinkStatus ReceiveShortResponse(uint8_t* buffer) {
    std::memset(buffer, 0, kShortResponseSize);
    const int spins = WaitForResponse(kShortSpinLimit);
    if (spins >= kShortSpinLimit) {
        CountFailure(LinkFailure::NoAnswer);
        return TraceShortAnswer(buffer, spins, kLinkNoResponse);
    }
    CountAnswer();
    buffer[0] = PortRead(kDataPort);
    buffer[1] = PortRead(kDataPort);
    // The length byte is at most 255, so the data always fit the 257-byte buffer.
    if (buffer[1] >= 3) ReadBytes(buffer + 2, buffer[1] - 2);
    return TraceShortAnswer(buffer, spins, kLinkOk);
}

void DelayMs(uint32_t ms) {
    if (g_linkTrace) g_linkTrace->WaitBegins(ms);
    Clock& clock = TheClock();
    const uint32_t start = clock.TickMs();
    const uint32_t end = start + ms;
    if (end < start) {
        // The end lies past the wrap: first wait for the counter to wrap.
        for (uint32_t now = clock.TickMs(); now >= start; now = clock.TickMs())
            clock.Pause(0u - now);
    }
    for (uint32_t now = clock.TickMs(); now < end; now = clock.TickMs())
        clock.Pause(end - now);
    if (g_linkTrace) g_linkTrace->WaitEnds();
}
