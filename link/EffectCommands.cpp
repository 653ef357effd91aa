// Effects: the list, saving a new effect and running one.

#include <algorithm>
#include <cstring>

#include "link/CommandCore.h"

LinkStatus ReadEffectList() {
    std::array<uint8_t, kMaxEffects * kWireEntrySize> accumulator{};
    uint32_t length = 0;
    const MultiRead read =
        ListRead(kCmdEffectListOpen, kCmdEffectListMore, kRespEffectListMore, kRespEffectListLast);
    if (LinkStatus status = ReadMultiAnswer(read, accumulator.data(), accumulator.size(), &length))
        return status;
    // Only the unit's three fields change; what the panel learnt of each effect stays.
    g_effectCount = length / kWireEntrySize;
    for (uint32_t i = 0; i < g_effectCount; ++i) {
        const uint8_t* at = accumulator.data() + i * kWireEntrySize;
        g_effects[i].effectId = Word(at);
        g_effects[i].word2 = Word(at + 2);
        std::memcpy(g_effects[i].name, at + 4, kNameLength);
    }
    return kLinkOk;
}

LinkStatus SaveEffect(const std::string& name, uint8_t& out) {
    uint8_t params[2 + kNameLength] = {0xFF, 1};
    std::memcpy(params + 2, name.data(), std::min(name.size(), size_t{kNameLength}));
    ResponseBuffer rx;
    if (LinkStatus status =
            SimpleExchange(LongRequest(g_selectedUnit, kCmdEffect, params, sizeof params), rx,
                           kSpinNormal, kRespEffect))
        return status;
    out = Data(rx)[0];
    return kLinkOk;
}

LinkStatus SelectEffect(uint8_t effect) {
    ResponseBuffer rx;
    return SimpleExchange(LongRequest(g_selectedUnit, kCmdSelectEffect, {effect}), rx, kSpinNormal,
                          kRespEffectSelected);
}
