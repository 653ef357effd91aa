#include "link/LinkTrace.h"

#include <time.h>

#include <cstdio>
#include <cstring>

CLinkTrace* g_linkTrace = nullptr;

namespace {

uint64_t Microseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000u +
           static_cast<uint64_t>(now.tv_nsec) / 1000u;
}

void PutU32(uint8_t* at, uint32_t v) {
    at[0] = static_cast<uint8_t>(v >> 24);
    at[1] = static_cast<uint8_t>(v >> 16);
    at[2] = static_cast<uint8_t>(v >> 8);
    at[3] = static_cast<uint8_t>(v);
}

void PutU16(uint8_t* at, uint16_t v) {
    at[0] = static_cast<uint8_t>(v >> 8);
    at[1] = static_cast<uint8_t>(v);
}

// The surface (0) for the short form, the unit 1..4 a long-form request addresses.
uint8_t SlotOf(const uint8_t* request) {
    if (request[0] != kLongRequest) return 0;
    const int address = request[2] - kAddressOffset;
    const int unit = address >> 4;
    return (address & 0x0F) == 0 && unit >= 1 && unit <= 4 ? static_cast<uint8_t>(unit)
                                                           : kTraceNoSlot;
}

}  // namespace

bool CLinkTrace::Open(const std::string& path, uint64_t maxBytes, std::string* error) {
    m_pending = false;
    m_path = path;
    return m_file.Open(path, kTraceLinkType, std::string("kv4panel ") + KV4_VERSION, maxBytes,
                       error);
}

void CLinkTrace::Close() {
    EndPending();
    m_file.Close();
}

void CLinkTrace::Sent(const uint8_t* packet, LinkStatus status) {
    if (!m_file.IsOpen()) return;
    EndPending();
    m_requestLength = packet[1];
    std::memcpy(m_request.data(), packet, static_cast<size_t>(m_requestLength));
    m_startUs = Microseconds(CLOCK_REALTIME);
    m_startSteadyUs = Microseconds(CLOCK_MONOTONIC);
    if (status == kLinkOk) {
        m_pending = true;
        return;
    }
    // Refused: nothing went out and no receive follows.
    Write(TraceKind::SendOnly, SlotOf(m_request.data()), status, 0, m_request.data(),
          m_requestLength, nullptr, 0);
}

void CLinkTrace::Received(const uint8_t* answer, int length, int spins, LinkStatus status) {
    if (!m_file.IsOpen() || !m_pending) return;
    m_pending = false;
    Write(TraceKind::Exchange, SlotOf(m_request.data()), status, static_cast<uint32_t>(spins),
          m_request.data(), m_requestLength, answer, length);
}

void CLinkTrace::WaitBegins(uint32_t ms) {
    if (!m_file.IsOpen()) return;
    EndPending();
    m_waitMs = ms;
    m_startUs = Microseconds(CLOCK_REALTIME);
    m_startSteadyUs = Microseconds(CLOCK_MONOTONIC);
}

void CLinkTrace::WaitEnds() {
    if (!m_file.IsOpen()) return;
    Write(TraceKind::Wait, kTraceNoSlot, kLinkOk, m_waitMs, nullptr, 0, nullptr, 0);
}

void CLinkTrace::EndPending() {
    if (!m_pending) return;
    m_pending = false;
    Write(TraceKind::SendOnly, SlotOf(m_request.data()), kLinkOk, 0, m_request.data(),
          m_requestLength, nullptr, 0);
}

void CLinkTrace::Write(TraceKind kind, uint8_t slot, LinkStatus result, uint32_t spins,
                       const uint8_t* request, int requestLength, const uint8_t* answer,
                       int answerLength) {
    const uint64_t elapsed = Microseconds(CLOCK_MONOTONIC) - m_startSteadyUs;
    uint8_t* p = m_packet.data();
    p[0] = kTraceVersion;
    p[1] = static_cast<uint8_t>(kind);
    p[2] = slot;
    p[3] = static_cast<uint8_t>(result);
    PutU32(p + 4, spins);
    PutU32(p + 8, static_cast<uint32_t>(std::min<uint64_t>(elapsed, UINT32_MAX)));
    PutU16(p + 12, static_cast<uint16_t>(requestLength));
    PutU16(p + 14, static_cast<uint16_t>(answerLength));
    if (requestLength > 0)
        std::memcpy(p + kTraceHeader, request, static_cast<size_t>(requestLength));
    if (answerLength > 0)
        std::memcpy(p + kTraceHeader + requestLength, answer, static_cast<size_t>(answerLength));
    std::string error;
    const size_t length = static_cast<size_t>(kTraceHeader + requestLength + answerLength);
    if (!m_file.Write(m_startUs, p, length, &error))
        std::fprintf(stderr, "kv4panel: the link trace stops: %s\n", error.c_str());
}
