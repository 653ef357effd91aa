// Plays arbitrary bytes as the control surface's short answers (panel status, version) to the
// real main panel's panel scan: keys, knobs and the fan. The panel runs connected to a simulated
// Main Unit, which answers the long-form requests the keys and knobs make.

#include <memory>

#include "app/panel/MainPanelDlg.h"
#include "fuzz/FuzzPort.h"
#include "fuzz/QtFuzzEnv.h"
#include "link/ConfigFile.h"
#include "link/UnitOperations.h"
#include "platform/Clock.h"
#include "sim/SimRig.h"

namespace {

FuzzPort port;
std::unique_ptr<SimRig> rig;
std::unique_ptr<CMainPanelDlg> panel;
VirtualClock g_clock;

}  // namespace

// Once per process, before any input: the panel starts and connects unit 1 on the simulator, so
// that what it allocates once (fonts, windows) is not taken for a leak of an input.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzApplication();
    ResetPanelState();
    ResetConfig();
    rig = SimRig::Standard();
    SetClock(&g_clock);
    SetPortIo(&rig->Port());
    panel = std::make_unique<CMainPanelDlg>("/nonexistent/KV4.ini");
    panel->OnInitDialog();
    rig->Surface().PressKey(1, 0x01);
    panel->OnTimer(kTimerIdleScan);
    port.SetUnitsBehind(&rig->Port());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetPortIo(&port);
    port.Play(data, size);
    panel->OnTimer(kTimerPanelScan);
    return 0;
}
