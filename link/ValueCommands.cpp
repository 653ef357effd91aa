// Identity and values: identify, the two value sets, and the set commands that answer with a
// value-update list.

#include <algorithm>
#include <cstring>

#include "link/CommandCore.h"

namespace {

// First answer of the value read: all of controls 0..126 (code 2, C = 255) or, from a unit
// with few controls, 0..12 (code 4, C = 27).
constexpr uint8_t kFullValueCount = 255;
constexpr uint8_t kShortValueCount = 27;
// Second answer: control 127 and the 128 switches.
constexpr uint8_t kRestValueCount = 131;

LinkStatus CheckFirstValues(const ResponseBuffer& rx) {
    switch (rx[kRespCode]) {
        case kRespValuesFull:
            return rx[kRespCount] >= kFullValueCount ? kLinkOk : CountedFailure(kLinkBadLength);
        case kRespValueUpdates:
            return rx[kRespCount] == kShortValueCount ? kLinkOk : CountedFailure(kLinkBadLength);
        default:
            return CountedFailure(kLinkBadCode);
    }
}

LinkStatus CheckFirstValues2(const ResponseBuffer& rx) {
    if (rx[kRespCount] < kFullValueCount) return CountedFailure(kLinkBadLength);
    return CheckCode(rx, kRespValues2);
}

void StoreControl(int id, uint16_t word, bool second) {
    ControlRecord& control = g_menuDatabase.controls[id];
    if (second)
        control.value2 = word;
    else
        control.value = static_cast<int16_t>(word);
}

void StoreSwitch(int index, uint8_t byte, bool second) {
    SwitchRecord& entry = g_menuDatabase.switches[index];
    (second ? entry.value2 : entry.value) = byte;
}

// The two-answer exchange both value reads share; second selects value2 over value.
LinkStatus ReadValueSets(uint8_t firstCode, uint8_t restCode, uint8_t restResponse,
                         LinkStatus (*checkFirst)(const ResponseBuffer&), bool second) {
    Request request = LongRequest(g_selectedUnit, firstCode, {});
    ResponseBuffer rx;
    if (LinkStatus status = Exchange(request, rx, kSpinNormal)) return status;
    if (LinkStatus status = CheckType(rx)) return status;
    if (LinkStatus status = checkFirst(rx)) return status;
    const uint8_t* data = Data(rx);
    for (int i = 0; 2 * i < DataCount(rx); ++i)
        StoreControl(i, Word(data + 2 * i), second);

    request.bytes[4] = restCode;
    if (LinkStatus status = Exchange(request, rx, kSpinNormal)) return status;
    if (LinkStatus status = CheckType(rx)) return status;
    if (rx[kRespCount] != kRestValueCount) return CountedFailure(kLinkBadLength);
    if (LinkStatus status = CheckCode(rx, restResponse)) return status;
    StoreControl(127, Word(data), second);
    for (int k = 0; k < kUnitSwitchCount; ++k)
        StoreSwitch(k, data[2 + k], second);
    return kLinkOk;
}

// A control id and a signed 16-bit number, high byte first.
Request ControlRequest(uint8_t code, uint8_t id, int16_t number) {
    const auto word = static_cast<uint16_t>(number);
    return LongRequest(g_selectedUnit, code,
                       {id, static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word & 0xFF)});
}

// A set command whose answer is a value-update list with code 4.
LinkStatus SetAndApply(const Request& request, int spin, bool checkLength) {
    ResponseBuffer rx;
    if (LinkStatus status = Exchange(request, rx, spin)) return status;
    if (LinkStatus status = CheckType(rx)) return status;
    if (checkLength && std::find(kSetValueLengths.begin(), kSetValueLengths.end(),
                                 rx[kRespLengthLow]) == kSetValueLengths.end())
        return CountedFailure(kLinkBadType);
    if (LinkStatus status = CheckCode(rx, kRespValueUpdates)) return status;
    ApplyValueUpdates(rx);
    return kLinkOk;
}

}  // namespace

LinkStatus Identify(UnitAddress address, UnitIdentity& out) {
    out = {};
    ResponseBuffer rx;
    if (LinkStatus status = Exchange(LongRequest(address, kCmdIdentify, {}), rx, kSpinIdentify))
        return status;
    // A wrong answer code counts as a wrong answer, not as another unit's reply.
    if (CheckType(rx) || CheckCode(rx, kRespIdentify)) return kLinkBadType;
    std::memcpy(&out, rx.data(), sizeof out);
    return kLinkOk;
}

LinkStatus ReadValues() {
    return ReadValueSets(kCmdValues, kCmdValuesRest, kRespValuesRest, CheckFirstValues, false);
}

LinkStatus ReadValues2() {
    return ReadValueSets(kCmdValues2, kCmdValues2Rest, kRespValues2Rest, CheckFirstValues2, true);
}

void ApplyValueUpdates(const ResponseBuffer& rx) {
    const uint8_t* data = Data(rx);
    const int count = DataCount(rx);
    // An entry cut short by the end of the data is dropped rather than completed with zeros.
    for (int at = 0; at < count;) {
        const uint8_t id = data[at];
        if (id < kFirstSwitchId) {
            if (at + 3 > count) break;
            g_menuDatabase.controls[id].value = static_cast<int16_t>(Word(data + at + 1));
            at += 3;
        } else {
            if (at + 2 > count) break;
            g_menuDatabase.switches[id - kFirstSwitchId].value = data[at + 1];
            at += 2;
        }
    }
}

LinkStatus AdjustControl(uint8_t id, int16_t delta) {
    return SetAndApply(ControlRequest(kCmdAdjustControl, id, delta), kSpinSet, false);
}

LinkStatus SetControlValue(uint8_t id, int16_t value) {
    return SetAndApply(ControlRequest(kCmdSetValue, id, value), kSpinNormal, true);
}

LinkStatus SetSwitchValue(uint8_t id, uint8_t value) {
    return SetAndApply(LongRequest(g_selectedUnit, kCmdSetValue, {id, value}), kSpinSet, false);
}

LinkStatus PressSwitchNoWait(uint8_t id) {
    return SendPacket(LongRequest(g_selectedUnit, kCmdSetValue, {id, 1}).bytes);
}
