#pragma once

#include <cstdint>
#include <vector>

#include "sim/SimProfile.h"

// Encodes a profile into the menu blob the unit delivers: header, controls, switches (plus a
// last entry the panel skips), menus, five further sections and the messages.
std::vector<uint8_t> EncodeMenuBlob(const SimProfile& profile);
