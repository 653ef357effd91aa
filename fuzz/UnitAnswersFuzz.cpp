// Plays arbitrary bytes as the answers of a Main Unit to the real command functions. Byte 0
// picks the command, byte 1 is the unit's model code, byte 2 a parameter; every byte after them
// is read off the data register as the unit's answers, one exchange after another.

#include "fuzz/FuzzPort.h"
#include "fuzz/UnitCommandsRun.h"

namespace {
constexpr int kHeader = 3;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzPort port;
    if (size < kHeader) return 0;
    InstallFuzzFarEnd(port);
    ResetPanelState();
    g_selectedUnit = 0x10;
    g_unitIdentity.ModelCode = data[1];
    port.Play(data + kHeader, size - kHeader);
    RunUnitCommand(data[0] % kUnitCommandChoices, data[2]);
    return 0;
}
