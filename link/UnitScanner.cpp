#include "link/UnitScanner.h"

CUnitScanner::CUnitScanner() {
    for (int unit = 1; unit <= kUnitCount; ++unit)
        addresses[unit] = AddressOfUnit(unit);
}

bool CUnitScanner::IsUnitPresent(int unit) const {
    return unit >= 1 && unit <= kUnitCount && identities[unit].ModelCode != kModelNone;
}

const UnitIdentity& CUnitScanner::UnitIdentityOf(int unit) const {
    return identities[unit >= 0 && unit < kUnitSlots ? unit : 0];
}

UnitIdentity& CUnitScanner::UnitIdentityOf(int unit) {
    return identities[unit >= 0 && unit < kUnitSlots ? unit : 0];
}
