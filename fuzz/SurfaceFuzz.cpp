// Plays arbitrary bytes as the control surface's short answers (panel status, version) to the
// real main panel's panel scan: keys, knobs and the fan. The panel runs connected to a simulated
// Main Unit, which answers the long-form requests the keys and knobs make.

#include "fuzz/FuzzPanel.h"
#include "fuzz/FuzzPort.h"

namespace {

FuzzPort port;
FuzzPanel f;

}  // namespace

// Once per process: the panel starts and connects unit 1 on the simulator.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzPanel(f, 1);
    port.SetUnitsBehind(&f.rig->Port());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetPortIo(&port);
    port.Play(data, size);
    f.panel->OnTimer(kTimerPanelScan);
    return 0;
}
