#pragma once

// The real main panel for the fuzzers that drive it: started on the standard simulated rig, on
// a virtual clock, with the key of one unit pressed and read so that it is connected. Done once
// per process, so that what the panel allocates once (fonts, windows) is not taken for a leak
// of an input.

#include <memory>

#include "app/panel/MainPanelDlg.h"
#include "fuzz/QtFuzzEnv.h"
#include "link/ConfigFile.h"
#include "link/UnitOperations.h"
#include "platform/Clock.h"
#include "sim/SimRig.h"

struct FuzzPanel {
    std::unique_ptr<SimRig> rig;
    std::unique_ptr<CMainPanelDlg> panel;
    VirtualClock clock;
};

inline void StartFuzzPanel(FuzzPanel& f, int unit) {
    StartFuzzApplication();
    ResetPanelState();
    ResetConfig();
    f.rig = SimRig::Standard();
    SetClock(&f.clock);
    SetPortIo(&f.rig->Port());
    f.panel = std::make_unique<CMainPanelDlg>("/nonexistent/KV4.ini");
    f.panel->OnInitDialog();
    f.rig->Surface().PressKey(unit, 0x01);
    f.panel->OnTimer(kTimerIdleScan);
}
