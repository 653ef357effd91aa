#pragma once

// The packet link to the Main Units and to the panel's own hardware over the parallel port in
// EPP mode: one request, then one response, polled on the GUI thread.

#include <cstddef>
#include <cstdint>

// Registers of the first parallel port.
inline constexpr uint16_t kStatusPort = 889;   // 0x379
inline constexpr uint16_t kControlPort = 890;  // 0x37A, set once at start-up
inline constexpr uint16_t kDataPort = 892;     // 0x37C, EPP data

// Status register bits.
inline constexpr uint8_t kStatusReady = 0x80;     // 1: the far side accepts a packet
inline constexpr uint8_t kStatusNoAnswer = 0x10;  // 1: no response byte waiting yet
// Control register bit that turns the data direction around; cleared for forward.
inline constexpr uint8_t kControlReverse = 0x20;

// The result of every link primitive and every command.
using LinkStatus = int;
inline constexpr LinkStatus kLinkOk = 0;
inline constexpr LinkStatus kLinkNoResponse = 1;
inline constexpr LinkStatus kLinkBadLength = 3;  // too long, or not the data count expected
inline constexpr LinkStatus kLinkBadType = 4;
inline constexpr LinkStatus kLinkBusy = 5;
inline constexpr LinkStatus kLinkBadCode = 6;

// Long-form requests and responses.
inline constexpr uint8_t kLongRequest = 0x08;
inline constexpr uint8_t kLongResponse = 9;
inline constexpr uint8_t kRequestEnd = 0xFF;
inline constexpr uint8_t kAddressOffset = 0x02;  // added to the UnitAddress in byte 2
inline constexpr size_t kResponseSize = 262;
inline constexpr int kResponseHeader = 6;  // bytes on the wire before the data
inline constexpr int kMaxResponseData = 255;

// Positions in the long-form receive buffer (byte 1 is a zero pad the wire does not carry).
inline constexpr int kRespType = 0;
inline constexpr int kRespLengthLow = 2;
inline constexpr int kRespLengthHigh = 3;
inline constexpr int kRespHeaderByte = 4;
inline constexpr int kRespCount = 5;  // C = data bytes + 1
inline constexpr int kRespCode = 6;
inline constexpr int kRespData = 7;

// Short-form responses (the panel's hardware).
inline constexpr uint8_t kShortResponse = 1;
inline constexpr size_t kShortResponseSize = 257;
inline constexpr int kShortSpinLimit = 10000;

// Spin limits, counted in status reads.
inline constexpr int kSpinIdentify = 1000;
inline constexpr int kSpinNormal = 10000;
inline constexpr int kSpinEdit = 100000;
inline constexpr int kSpinSet = 500000;

// Writes bytes 0 .. packet[1]-1 to the data register unless the far side is busy (5).
LinkStatus SendPacket(const uint8_t* packet);

// Receives one long-form response into buffer (262 bytes), waiting at most spinLimit status
// reads for it. The type is not checked here; each command checks its own.
LinkStatus ReceiveResponse(uint8_t* buffer, int spinLimit);

// Receives one short-form response into buffer (257 bytes, laid out as on the wire).
LinkStatus ReceiveShortResponse(uint8_t* buffer);

// Waits ms milliseconds on the process clock, also across the wrap of its 32-bit counter.
void DelayMs(uint32_t ms);
