#pragma once

#include <array>
#include <memory>
#include <string>

#include "sim/SimPort.h"
#include "sim/SimProfile.h"
#include "sim/SimSurface.h"
#include "sim/SimUnit.h"

class SimBypassLine;
class SimReplay;

// The whole simulated installation: up to four Main Units, the control surface, and the port
// the panel talks to them through.
class SimRig {
public:
    SimRig();
    ~SimRig();

    // Units 1..3 on line with the three shipped profiles, unit 4 (a second Cedar) off line.
    static std::unique_ptr<SimRig> Standard();

    // Identify requests a unit lets go by unanswered while it starts after a power cycle: more
    // than the panel's unanswered scans before it takes a unit off line (five) and its polls
    // before it calls the selected unit lost (three), so that the panel sees it go and return.
    static constexpr int kStartUpIdentifies = 8;

    // Installs a unit with profile at number 1..4, on line.
    SimUnit& AddUnit(int number, const SimProfile& profile);
    // Switches the unit at number off and on again as a fresh unit of profile (another model,
    // or the same afresh). It stays on or off the line as it was (an empty place comes on line);
    // on line it is starting for its first kStartUpIdentifies identify requests.
    SimUnit& PowerCycle(int number, const SimProfile& profile);
    void SetOnline(int number, bool online);
    bool Online(int number) const { return m_online[number]; }
    // The unit at number, on line or not; nullptr when there is none.
    SimUnit* Unit(int number) const { return m_units[number].get(); }

    SimSurface& Surface() { return m_surface; }
    SimPort& Port() { return m_port; }

    // The serial line of the bypass transfer, a pair of pseudo terminals; false and the reason
    // when the system gives none. The rig has no line until it is opened.
    bool OpenBypassLine(std::string* error);
    SimBypassLine* BypassLine() const { return m_bypassLine.get(); }

    // From now on the far end answers from the link trace at path first (see SimReplay);
    // false and the reason when the file is no usable trace.
    bool Replay(const std::string& path, std::string* error);
    const SimReplay* Replaying() const { return m_replay.get(); }

private:
    std::array<std::unique_ptr<SimUnit>, 5> m_units;
    std::array<bool, 5> m_online{};
    SimSurface m_surface;
    SimPort m_port;
    std::unique_ptr<SimBypassLine> m_bypassLine;
    std::unique_ptr<SimReplay> m_replay;
};
