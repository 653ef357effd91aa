// Feeds arbitrary bytes to the simulator's profile reader, then builds the unit and the menu
// blob a profile that reads makes, as the rig would.

#include <string>

#include "sim/BlobEncoder.h"
#include "sim/SimProfile.h"
#include "sim/SimUnit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SimProfile profile;
    std::string error;
    if (!ParseSimProfile(std::string(reinterpret_cast<const char*>(data), size), &profile, &error))
        return 0;
    SimUnit unit(profile);
    unit.Blob();
    // An identify and a values read, as the panel's first requests to a new unit.
    unit.Handle({0x08, 0x06, 0x12, 0x01, 192, 0xFF});
    unit.Handle({0x08, 0x06, 0x12, 0x01, 172, 0xFF});
    return 0;
}
