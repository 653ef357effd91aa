#pragma once

// The pieces every command is made of: building a request, one exchange, the checks on an
// answer and reading its data. Only the command files include this.

#include <cstdint>
#include <initializer_list>

#include "link/Commands.h"
#include "link/LinkStats.h"

// A request under construction. The longest request fills the length byte: 255 bytes.
struct Request {
    uint8_t bytes[256] = {};
    int Length() const { return bytes[1]; }
};

// 0x08, N + 5, address + 2, N, code, params..., 0xFF with N = 1 + number of params.
Request LongRequest(UnitAddress address, uint8_t code, std::initializer_list<uint8_t> params);
Request LongRequest(UnitAddress address, uint8_t code, const uint8_t* params, int count);

// Sends request and receives its answer into rx.
LinkStatus Exchange(const Request& request, ResponseBuffer& rx, int spin);

// The answer's data count, from C: C - 1 (none when C is 0). The count is taken as the unit
// sent it: positions beyond what arrived read as 0, since the buffer is cleared before every
// receive, and C - 1 never reaches past the 262-byte buffer.
inline int DataCount(const ResponseBuffer& rx) {
    return rx[kRespCount] > 0 ? rx[kRespCount] - 1 : 0;
}
inline const uint8_t* Data(const ResponseBuffer& rx) {
    return rx.data() + kRespData;
}
inline uint16_t Word(const uint8_t* at) {
    return static_cast<uint16_t>(at[0] << 8 | at[1]);
}

// The checks that open every answer check list: type 9, then the code.
inline LinkStatus CheckType(const ResponseBuffer& rx) {
    return rx[kRespType] == kLongResponse ? kLinkOk : CountedFailure(kLinkBadType);
}
inline LinkStatus CheckCode(const ResponseBuffer& rx, uint8_t code) {
    return rx[kRespCode] == code ? kLinkOk : CountedFailure(kLinkBadCode);
}

// Single-answer command: exchange, type, code.
LinkStatus SimpleExchange(const Request& request, ResponseBuffer& rx, int spin, uint8_t code);

// A multi-answer read: the opening request must be answered with no data and code 0; then
// the follow-on request is repeated, each answer's data appended to the accumulator, until the
// answer with the last code. *length (set to 0 once the opening answer is in) counts the bytes
// gathered. Data that would not fit the capacity give 3; nothing is written past it.
struct MultiRead {
    Request open;
    Request more;
    uint8_t respMore;  // answer code: more follows
    uint8_t respLast;  // answer code: this is the last
    int spin = kSpinNormal;
};
// The list reads: requests without parameters to the selected unit.
MultiRead ListRead(uint8_t openCode, uint8_t moreCode, uint8_t respMore, uint8_t respLast);
LinkStatus ReadMultiAnswer(const MultiRead& read, uint8_t* accumulator, uint32_t capacity,
                           uint32_t* length);
