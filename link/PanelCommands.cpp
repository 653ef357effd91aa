// Short-form commands to the panel's own hardware: knobs, keys, lamps, fan and version.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

#include "link/Commands.h"
#include "link/LinkStats.h"

namespace {

constexpr uint32_t kLinkResetPauseMs = 100;

using ShortBuffer = std::array<uint8_t, kShortResponseSize>;

std::array<uint8_t, kKeyRowCount> g_queuedKeys{};
std::array<int, kKnobCount> g_queuedMovement{};
bool g_inputQueued = false;

void MergeQueuedInput() {
    if (!g_inputQueued) return;
    for (int row = 0; row < kKeyRowCount; ++row)
        g_panelStatus.bytes[kFirstKeyRowByte + row] |= g_queuedKeys[row];
    for (int k = 0; k < kKnobCount; ++k) {
        const int sum =
            std::clamp(KnobMovement(g_panelStatus, k) + g_queuedMovement[k], INT16_MIN, INT16_MAX);
        const auto movement = static_cast<uint16_t>(static_cast<int16_t>(sum));
        g_panelStatus.bytes[kFirstKnobByte + 2 * k] = static_cast<uint8_t>(movement & 0xFF);
        g_panelStatus.bytes[kFirstKnobByte + 2 * k + 1] = static_cast<uint8_t>(movement >> 8);
    }
    ClearQueuedPanelInput();
}

// Sends a short-form request and checks that the answer has type 1 and the given length.
LinkStatus ShortExchange(const uint8_t* request, ShortBuffer& rx, uint8_t answerLength) {
    if (LinkStatus status = SendPacket(request)) return status;
    if (LinkStatus status = ReceiveShortResponse(rx.data())) return status;
    if (rx[0] != kShortResponse || rx[1] != answerLength) return CountedFailure(kLinkBadType);
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
    MergeQueuedInput();
    return kLinkOk;
}

void QueuePanelKeys(int row, uint8_t keys) {
    if (row < 0 || row >= kKeyRowCount) return;
    g_queuedKeys[row] |= keys;
    g_inputQueued = true;
}

void QueueKnobMovement(int knob, int steps) {
    if (knob < 0 || knob >= kKnobCount) return;
    g_queuedMovement[knob] = std::clamp(g_queuedMovement[knob] + steps, INT16_MIN, INT16_MAX);
    g_inputQueued = true;
}

bool PanelInputQueued() {
    return g_inputQueued;
}

void ClearQueuedPanelInput() {
    g_queuedKeys = {};
    g_queuedMovement = {};
    g_inputQueued = false;
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

void ResetLinkTwice() {
    for (int i = 0; i < 2; ++i) {
        ResetLink();
        DelayMs(kLinkResetPauseMs);
    }
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
