// Short-form commands to the panel's own hardware: knobs, keys, lamps, fan and version.

#include <cstring>

#include "link/Commands.h"

namespace {

using ShortBuffer = std::array<uint8_t, kShortResponseSize>;

// Sends a short-form request and checks that the answer has type 1 and the given length.
LinkStatus ShortExchange(const uint8_t* request, ShortBuffer& rx, uint8_t answerLength) {
    if (LinkStatus status = SendPacket(request)) return status;
    if (LinkStatus status = ReceiveShortResponse(rx.data())) return status;
    if (rx[0] != kShortResponse || rx[1] != answerLength) return kLinkBadType;
    return kLinkOk;
}

}  // namespace

LinkStatus ReadPanelStatus() {
    // Cleared first, so a failed read leaves no keys, no knob movement and a zero fan flag.
    g_panelStatus = {};
    const uint8_t request[] = {kCmdPanelStatus, 2};
    ShortBuffer rx;
    if (LinkStatus status = ShortExchange(request, rx, kPanelStatusLength)) return status;
    std::memcpy(g_panelStatus.bytes, rx.data(), sizeof g_panelStatus.bytes);
    return kLinkOk;
}

LinkStatus SetPanelLamps(const uint8_t lamps[kLampCount]) {
    uint8_t request[2 + kLampCount] = {kCmdPanelLamps, 2 + kLampCount};
    std::memcpy(request + 2, lamps, kLampCount);
    ShortBuffer rx;
    return ShortExchange(request, rx, kPanelAckLength);
}

LinkStatus ConfigurePanel(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    const uint8_t request[] = {kCmdPanelConfigure, 6, a, b, c, d};
    ShortBuffer rx;
    return ShortExchange(request, rx, kPanelAckLength);
}

LinkStatus ResetLink() {
    const uint8_t request[] = {kCmdLinkReset, 2};
    ShortBuffer rx;
    return ShortExchange(request, rx, kPanelAckLength);
}

LinkStatus ReadPanelVersion(uint8_t out[kPanelVersionLength]) {
    const uint8_t request[] = {kCmdPanelVersion, 2};
    ShortBuffer rx;
    if (LinkStatus status = ShortExchange(request, rx, kPanelVersionLength)) return status;
    std::memcpy(out, rx.data() + 2, kPanelVersionChars);
    out[kPanelVersionChars] = 0;
    out[kPanelVersionChars + 1] = 0;
    return kLinkOk;
}
