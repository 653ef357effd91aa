#include "link/CommandCore.h"

#include <cstring>

Request LongRequest(UnitAddress address, uint8_t code, const uint8_t* params, int count) {
    Request request;
    const int n = 1 + count;
    request.bytes[0] = kLongRequest;
    request.bytes[1] = static_cast<uint8_t>(n + 5);
    request.bytes[2] = static_cast<uint8_t>(address + kAddressOffset);
    request.bytes[3] = static_cast<uint8_t>(n);
    request.bytes[4] = code;
    if (count > 0) std::memcpy(request.bytes + 5, params, count);
    request.bytes[4 + n] = kRequestEnd;
    return request;
}

Request LongRequest(UnitAddress address, uint8_t code, std::initializer_list<uint8_t> params) {
    return LongRequest(address, code, params.begin(), static_cast<int>(params.size()));
}

LinkStatus Exchange(const Request& request, ResponseBuffer& rx, int spin) {
    if (LinkStatus status = SendPacket(request.bytes)) return status;
    return ReceiveResponse(rx.data(), spin);
}

LinkStatus SimpleExchange(const Request& request, ResponseBuffer& rx, int spin, uint8_t code) {
    if (LinkStatus status = Exchange(request, rx, spin)) return status;
    if (LinkStatus status = CheckType(rx)) return status;
    return CheckCode(rx, code);
}

MultiRead ListRead(uint8_t openCode, uint8_t moreCode, uint8_t respMore, uint8_t respLast) {
    return {LongRequest(g_selectedUnit, openCode, {}), LongRequest(g_selectedUnit, moreCode, {}),
            respMore, respLast};
}

namespace {

LinkStatus OpenMultiAnswer(const MultiRead& read) {
    ResponseBuffer rx;
    if (LinkStatus status = Exchange(read.open, rx, read.spin)) return status;
    if (LinkStatus status = CheckType(rx)) return status;
    if (rx[kRespCount] != 1) return CountedFailure(kLinkBadLength);
    return CheckCode(rx, kRespOpening);
}

// One follow-on answer appended at *length; *last tells whether it was the last one.
LinkStatus AppendFollowOn(const MultiRead& read, uint8_t* accumulator, uint32_t capacity,
                          uint32_t* length, bool* last) {
    ResponseBuffer rx;
    if (LinkStatus status = Exchange(read.more, rx, read.spin)) return status;
    if (LinkStatus status = CheckType(rx)) return status;
    const uint8_t code = rx[kRespCode];
    if (code != read.respMore && code != read.respLast) return CountedFailure(kLinkBadCode);
    const uint32_t count = static_cast<uint32_t>(DataCount(rx));
    if (count > capacity - *length) return CountedFailure(kLinkBadLength);
    std::memcpy(accumulator + *length, Data(rx), count);
    *length += count;
    *last = code == read.respLast;
    return kLinkOk;
}

}  // namespace

LinkStatus ReadMultiAnswer(const MultiRead& read, uint8_t* accumulator, uint32_t capacity,
                           uint32_t* length) {
    if (LinkStatus status = OpenMultiAnswer(read)) return status;
    *length = 0;
    // A unit that keeps saying "more" without sending data must not hold the panel for ever:
    // no honest read needs more answers than the accumulator has bytes.
    bool last = false;
    for (uint32_t answers = 0; !last; ++answers) {
        if (answers > capacity) return CountedFailure(kLinkBadLength);
        if (LinkStatus status = AppendFollowOn(read, accumulator, capacity, length, &last))
            return status;
    }
    return kLinkOk;
}
