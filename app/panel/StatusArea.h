#pragma once

// The pure rules of the status area: screen-colour percentages, logos and the lamp image.

#include <array>
#include <cstdint>

#include "link/PanelState.h"

// Controls holding the screen colour's R, G, B and M.
inline constexpr std::array<int, 4> kScreenColorControls = {59, 60, 61, 101};

// The percentage a screen-colour control shows: its value scaled from the value range to the
// display range, truncated, and kept within the display range.
int ScreenColorPercent(const ControlRecord& control);

// The logo of a model; 0 when the model has none.
int ModelLogoId(uint8_t modelCode);

// The lamp image after a recompute (keep: 1 keeps the direct-menu lamps of rows 3 and 4).
struct LampInputs {
    int selectedUnit;  // 0..4
    int32_t savedMenu;
    int keep;
};
// Returns the held function it found on; writes the lamps.
uint32_t RecomputeLamps(std::array<uint8_t, 12>& lamps, const LampInputs& in);
