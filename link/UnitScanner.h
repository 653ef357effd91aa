#pragma once

// The background scan of the four Main Units: which of them answer, and what each said of
// itself in its last identify answer.

#include <array>
#include <cstdint>

#include "link/PanelState.h"

class CUnitScanner {
public:
    CUnitScanner();
    virtual ~CUnitScanner() = default;

    // A unit is present when its last identify answer carried a model code.
    bool IsUnitPresent(int unit) const;
    const UnitIdentity& UnitIdentityOf(int unit) const;
    UnitIdentity& UnitIdentityOf(int unit);

    // The lamp image the scan keeps up to date (the main panel's, set once at start).
    void SetLamps(uint8_t* lamps) { lamps_ = lamps; }

    std::array<UnitAddress, kUnitSlots> addresses{};
    std::array<uint8_t, kUnitSlots> failCounts{};
    uint8_t current = 0;
    std::array<UnitIdentity, kUnitSlots> identities{};

private:
    uint8_t* lamps_ = nullptr;
};
