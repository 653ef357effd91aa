#pragma once

// A recording of the whole conversation on the link, for a fault seen at a customer's site:
// one packet per exchange (request, answer as read, status reads spent waiting, result) and
// one per wait, in a pcapng file Wireshark reads with the project's dissector. The packet
// layout is in docs/trace-format.md. Each packet is written as its exchange ends, with no
// allocation, so the trace costs the link little and a crash keeps everything before it.

#include <array>
#include <cstdint>
#include <string>

#include "link/EppLink.h"
#include "platform/Pcapng.h"

// The trace's link type and its packet layout, shared with the dissector and the replay.
inline constexpr uint16_t kTraceLinkType = kLinkTypeUser0;
inline constexpr uint8_t kTraceVersion = 1;
enum class TraceKind : uint8_t {
    Exchange = 1,  // a request and the receive that followed it
    SendOnly = 2,  // a request no receive followed (or refused: the far side was busy)
    Wait = 3,      // DelayMs; the spin field holds the milliseconds asked
};
inline constexpr uint8_t kTraceNoSlot = 0xFF;  // a wait belongs to no unit
inline constexpr int kTraceHeader = 16;
inline constexpr uint64_t kTraceDefaultMaxBytes = 100ull * 1024 * 1024;

class CLinkTrace {
public:
    CLinkTrace() = default;
    CLinkTrace(const CLinkTrace&) = delete;
    CLinkTrace& operator=(const CLinkTrace&) = delete;
    ~CLinkTrace() { Close(); }

    // Starts the file afresh; past maxBytes it becomes path.1 and a new one starts.
    bool Open(const std::string& path, uint64_t maxBytes, std::string* error);
    // Writes a request still waiting for its end, then closes the file.
    void Close();
    bool IsOpen() const { return m_file.IsOpen(); }

    // The link path.
    void Sent(const uint8_t* packet, LinkStatus status);
    // answer: the bytes read from the data register, in the order they came.
    void Received(const uint8_t* answer, int length, int spins, LinkStatus status);
    void WaitBegins(uint32_t ms);
    void WaitEnds();

private:
    void EndPending();
    // One packet, stamped with the start of its exchange or wait.
    void Write(TraceKind kind, uint8_t slot, LinkStatus result, uint32_t spins,
               const uint8_t* request, int requestLength, const uint8_t* answer, int answerLength);

    CPcapngWriter m_file;
    std::string m_path;
    std::array<uint8_t, 256> m_request{};
    int m_requestLength = 0;
    bool m_pending = false;        // a request was sent and its receive has not come yet
    uint64_t m_startUs = 0;        // wall clock, for the packet's stamp
    uint64_t m_startSteadyUs = 0;  // for its duration
    uint32_t m_waitMs = 0;
    std::array<uint8_t, kTraceHeader + 256 + kResponseSize> m_packet{};
};

// The trace the link writes to; nullptr (the default) writes nothing.
extern CLinkTrace* g_linkTrace;
