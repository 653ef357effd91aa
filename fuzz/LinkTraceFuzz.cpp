// Plays arbitrary bytes as a link trace file given to --replay: the pcapng reader takes them
// apart, the replay keeps what it can use, and the panel's commands then run against the
// simulated rig answering from it.

#include "link/Commands.h"
#include "platform/Clock.h"
#include "platform/Pcapng.h"
#include "sim/SimReplay.h"
#include "sim/SimRig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::unique_ptr<SimRig> rig = SimRig::Standard();
    static VirtualClock clock;
    std::vector<PcapngPacket> packets;
    std::string error;
    ParsePcapng(data, size, &packets, &error);
    SimReplay replay;
    if (!replay.Take(packets, &error)) return 0;
    SetClock(&clock);
    SetPortIo(&rig->Port());
    rig->Port().SetReplay(&replay);
    ResetPanelState();
    ResetLink();  // also clears what an earlier input left on the line
    UnitIdentity identity{};
    for (UnitAddress unit : {0x10, 0x20, 0x30, 0x40})
        Identify(unit, identity);
    g_selectedUnit = 0x30;
    ReadValues();
    ReadPanelStatus();
    ReadPanelStatus();
    rig->Port().SetReplay(nullptr);
    SetPortIo(nullptr);
    return 0;
}
