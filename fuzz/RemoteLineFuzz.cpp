// Plays arbitrary bytes as what four clients of the remote control line send, cut into reads
// at arbitrary places: the line cutter, the command set with its token, and what the commands
// do to the running main panel on the simulator (the rig's scripted steps, state read back, the
// checks of what a touch may reach). Presses and turns are taken by a surface that counts them,
// and touches are counted, not run: what the panel does with keys, knobs and touches is its own
// code's (fuzz_surface, the soak). Each piece of input is one read:
// a byte whose low two bits pick the client and whose upper six the read's length (1..64),
// then that many bytes.

#include <array>
#include <memory>

#include "app/remote/RemoteServer.h"
#include "fuzz/FuzzPanel.h"
#include "platform/Power.h"
#include "sim/SimScript.h"

namespace {

constexpr int kClients = 4;
// Reading lines carried out per input: each builds the whole state, the same whatever the line
// said, and a corpus of inputs full of them would run at a crawl.
constexpr int kReadsPerInput = 4;

class NoPower final : public Power {
public:
    void PowerOff() override {}
};

FuzzPanel f;
std::unique_ptr<CRemoteCommands> commands;
NoPower g_power;

int g_pressed = 0;

// A surface that takes every press and turn at once, and the simulated rig's scripted steps;
// the fan cannot be failed (as on a kiosk), since that ends the panel.
RemoteSurface CountingSurface() {
    SimRig* r = f.rig.get();
    return {[](int, uint8_t) { ++g_pressed; }, [](int, int) { ++g_pressed; }, [] { return false; },
            [r](const std::vector<std::string>& w) { return RunSimStep(*r, w); }, true};
}

// What the server does with a line's action: a press is answered once the surface has it, a
// touch would run its handler.
void Follow(RemoteSession& session) {
    while (session.press && commands->PressDone(session).empty()) {
    }
    g_pressed += session.touch.has_value();
    session.touch.reset();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    SetPower(&g_power);
    // Unit 3 is selected, so that touches and state have a unit's menus to work on.
    StartFuzzPanel(f, 3);
    commands = std::make_unique<CRemoteCommands>(CountingSurface(), "kv4-token");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::array<CRemoteLines, kClients> lines;
    std::array<RemoteSession, kClients> sessions;
    // Clients 0 and 1 must give the token first; 2 and 3 are let in as without one.
    sessions[2].authorised = sessions[3].authorised = true;
    int reads = 0;
    size_t at = 0;
    while (at < size) {
        const int client = data[at] & 3;
        const size_t length = std::min<size_t>((data[at] >> 2) + 1, size - at - 1);
        ++at;
        lines[client].Take(reinterpret_cast<const char*>(data + at), static_cast<qint64>(length));
        at += length;
        auto& queue = lines[client].lines;
        while (!queue.empty()) {
            const CRemoteLines::Line line = queue.front();
            queue.pop_front();
            if (line.overLong || sessions[client].closing) continue;
            if (CRemoteCommands::OnlyReads(line.text) && ++reads > kReadsPerInput) continue;
            commands->Execute(sessions[client], line.text);
            Follow(sessions[client]);
        }
    }
    // The next input starts from a rig that answers.
    for (int unit = 1; unit <= 4; ++unit) {
        f.rig->SetOnline(unit, unit != 4);  // as the standard rig has them
        SimUnit& simUnit = *f.rig->Unit(unit);
        simUnit.Faults() = {};
        simUnit.SetBootMode(false);
        simUnit.SetTally(false);
        simUnit.PostMessage(0);
    }
    f.rig->Port().SetBusySends(0);
    f.rig->Surface().SetSilent(false);
    return 0;
}
