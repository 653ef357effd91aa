// Texts of the unit, replies to its questions, and the general command forms the dialogs use.

#include <algorithm>
#include <cstring>

#include "link/CommandCore.h"

namespace {

constexpr int kTitleAt = 2;
constexpr uint8_t kFrameCountAt = 1;

// The text from data position start up to the first zero byte, within the data.
std::string TextAt(const ResponseBuffer& rx, int start) {
    const uint8_t* data = Data(rx);
    const int end = std::min(DataCount(rx), kMaxResponseData);
    int stop = start;
    while (stop < end && data[stop] != 0)
        ++stop;
    return stop > start ? std::string(reinterpret_cast<const char*>(data + start), stop - start)
                        : std::string();
}

LinkStatus ReadText(uint8_t code, uint8_t expect, int start, std::string& out) {
    ResponseBuffer rx;
    if (LinkStatus status =
            SimpleExchange(LongRequest(g_selectedUnit, code, {}), rx, kSpinNormal, expect))
        return status;
    out = TextAt(rx, start);
    return kLinkOk;
}

}  // namespace

LinkStatus ReadTitle(std::string& out) {
    return ReadText(kCmdTitle, kRespOpening, kTitleAt, out);
}

LinkStatus ReadUnitText(std::string& out) {
    return ReadText(kCmdUnitText, kRespUnitText, 0, out);
}

LinkStatus SendReply(uint8_t topic, uint8_t value) {
    ResponseBuffer rx;
    return SimpleExchange(LongRequest(g_selectedUnit, kCmdReply, {topic, value}), rx, kSpinNormal,
                          kRespReply);
}

LinkStatus ReadUnitInfo(std::array<uint8_t, kUnitInfoLength>& out) {
    ResponseBuffer rx;
    if (LinkStatus status =
            Exchange(LongRequest(g_selectedUnit, kCmdUnitInfo, {}), rx, kSpinNormal))
        return status;
    if (LinkStatus status = CheckType(rx)) return status;
    std::memcpy(out.data(), Data(rx), kUnitInfoLength);
    return kLinkOk;
}

LinkStatus PassThrough(const uint8_t* frame, ResponseBuffer& out) {
    out.fill(0);
    // A frame's bytes 1 .. n + 2 follow the three header bytes; the length byte holds n + 5,
    // so a frame of more than 250 data bytes cannot travel.
    const int n = frame[kFrameCountAt];
    if (n > kMaxPassThroughData) return kLinkBadLength;
    Request request;
    request.bytes[0] = kLongRequest;
    request.bytes[1] = static_cast<uint8_t>(n + 5);
    request.bytes[2] = static_cast<uint8_t>(g_selectedUnit + kAddressOffset);
    std::memcpy(request.bytes + 3, frame + 1, n + 2);
    if (LinkStatus status = Exchange(request, out, kSpinEdit)) return status;
    return CheckType(out);
}

LinkStatus SendSimpleCommand(uint8_t code, uint8_t expect, ResponseBuffer& out, int spin) {
    return SimpleExchange(LongRequest(g_selectedUnit, code, {}), out, spin, expect);
}

LinkStatus SendCommand2(uint8_t code, uint8_t expect, uint8_t p1, uint8_t p2, ResponseBuffer& out) {
    return SimpleExchange(LongRequest(g_selectedUnit, code, {p1, p2}), out, kSpinNormal, expect);
}

LinkStatus SendCommand3(uint8_t code, uint8_t expect, uint8_t p1, uint8_t p2, uint8_t p3,
                        ResponseBuffer& out) {
    return SimpleExchange(LongRequest(g_selectedUnit, code, {p1, p2, p3}), out, kSpinNormal,
                          expect);
}

LinkStatus SendCommandBytes(uint8_t code, uint8_t expect, int n, const uint8_t* bytes,
                            ResponseBuffer& out) {
    if (n < 0 || n > kMaxRequestParams) return kLinkBadLength;
    return SimpleExchange(LongRequest(g_selectedUnit, code, bytes, n), out, kSpinNormal, expect);
}

LinkStatus SendPingedCommand(UnitAddress address, uint8_t code, uint8_t expect, ResponseBuffer& out,
                             int spin) {
    UnitIdentity scratch;
    // An absent unit has nothing to do, which is not a failure.
    if (Identify(address, scratch) != kLinkOk) return kLinkOk;
    return SimpleExchange(LongRequest(address, code, {}), out, spin, expect);
}
