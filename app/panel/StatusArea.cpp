#include "app/panel/StatusArea.h"

#include <cmath>

#include "link/PanelHost.h"

namespace {

struct LogoOfModel {
    uint8_t model;
    int logo;
};
constexpr std::array<LogoOfModel, 8> kLogos = {
    {{4, 1053}, {5, 1063}, {7, 1062}, {9, 1061}, {11, 1066}, {177, 1127}, {80, 1065}, {81, 1067}}};

uint16_t SwitchValue(int index) {
    return g_menuDatabase.switches[index].value;
}

// The direct-menu key lit for the saved menu: (lamp byte, bit), or byte 0 for none.
std::pair<int, uint8_t> DirectMenuLamp(int32_t menu) {
    switch (menu) {
        case 0:
        case 1:
        case 2:
            return {3, 0x04};
        case 7:
        case 40:
            return {3, 0x08};
        case 11:
        case 30:
        case 41:
            return {3, 0x10};
        case 26:
            return {4, 0x04};
        case 18:
            return {4, 0x08};
        case 15:
            return {4, 0x10};
        default:
            return {0, 0};
    }
}

}  // namespace

int ScreenColorPercent(const ControlRecord& c) {
    const int a = c.minValue, b = c.maxValue, lo = c.minDisplay, hi = c.maxDisplay;
    const int v = c.value;
    if (a == lo && b == hi) return v;
    // An empty value range has no scale: the display's low end is shown.
    if (a == b) return lo;
    const double scaled = static_cast<double>(v) * (hi - lo) / (b - a);
    int result = static_cast<int>(std::trunc(scaled)) + lo;
    // Raised to lo first, then lowered to hi: with a reversed display range hi wins.
    if (result < lo) result = lo;
    if (result > hi) result = hi;
    return result;
}

int ModelLogoId(uint8_t modelCode) {
    for (const LogoOfModel& entry : kLogos)
        if (entry.model == modelCode) return entry.logo;
    return 0;
}

uint32_t RecomputeLamps(std::array<uint8_t, 12>& lamps, const LampInputs& in) {
    // Rows 0..2 keep only their unit lamp; this also clears the ALT latch.
    for (int b = 0; b <= 2; ++b)
        lamps[b] &= 0x01;
    const uint8_t keepMask = in.keep == 1 ? 0x1D : 0x01;
    lamps[3] &= keepMask;
    lamps[4] &= keepMask;
    const auto [byte, bit] = DirectMenuLamp(in.savedMenu);
    if (bit) lamps[byte] |= bit;

    uint32_t held = kNoHeldFunction;
    if (SwitchValue(1)) {
        lamps[2] |= 0x02;
        held = 129;
    } else if (SwitchValue(2)) {
        lamps[3] |= 0x02;
        held = 130;
    } else if (SwitchValue(4)) {
        lamps[4] |= 0x02;
        held = 132;
    }
    lamps[11] = 0;
    constexpr std::array<int, 5> kByteElevenSwitches = {93, 94, 95, 97, 99};
    for (int i = 0; i < 5; ++i)
        if (SwitchValue(kByteElevenSwitches[i])) lamps[11] |= static_cast<uint8_t>(1 << i);
    for (int row = 0; row <= 4; ++row)
        if (SwitchValue(88 + row)) lamps[row] |= 0x20;
    for (int unit = 1; unit <= kUnitCount; ++unit) {
        uint8_t& lamp = lamps[6 + unit];
        lamp = static_cast<uint8_t>((lamp & ~0x01) | (in.selectedUnit == unit ? 0x01 : 0));
    }
    return held;
}
