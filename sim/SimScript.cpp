#include "sim/SimScript.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "sim/SimRig.h"

namespace {

constexpr int kDefaultSlowReads = 2000;  // beyond an identify's limit, within a normal one

struct NamedCorruption {
    const char* name;
    SimCorruption corruption;
};
constexpr std::array<NamedCorruption, 5> kCorruptions = {{
    {"wrong-code", SimCorruption::WrongCode},
    {"wrong-type", SimCorruption::WrongType},
    {"oversize", SimCorruption::Oversize},
    {"count-beyond-data", SimCorruption::CountBeyondData},
    {"cut-short", SimCorruption::CutShort},
}};

bool Number(const std::string& word, int low, int high, int* out) {
    int value = 0;
    const char* end = word.data() + word.size();
    const auto [at, error] = std::from_chars(word.data(), end, value);
    if (error != std::errc() || at != end || value < low || value > high) return false;
    *out = value;
    return true;
}

std::string OnOff(const std::string& word, const char* on, const char* off, bool* out) {
    if (word == on)
        *out = true;
    else if (word == off)
        *out = false;
    else
        return std::string("ERR expected ") + on + " or " + off;
    return {};
}

std::string Fault(SimRig& rig, SimUnit& unit, const std::vector<std::string>& w) {
    if (w.size() < 4 || w.size() > 6) return "ERR usage: sim unit N fault NAME [COUNT [COMMAND]]";
    const std::string& name = w[3];
    int count = -1;
    if (w.size() >= 5 && !Number(w[4], 0, 1000000, &count)) return "ERR bad count";
    // A corruption may be kept to the answers of one command code.
    int command = -1;
    if (w.size() == 6 && !Number(w[5], 0, 255, &command)) return "ERR bad command code";
    SimUnitFaults& faults = unit.Faults();
    const bool corruption =
        std::any_of(kCorruptions.begin(), kCorruptions.end(),
                    [&name](const NamedCorruption& c) { return name == c.name; });
    if (w.size() == 6 && !corruption) return "ERR only a corruption takes a command code";
    if (name == "none") {
        if (w.size() >= 5) return "ERR fault none takes no count";
        faults = {};
        unit.SetBootMode(false);
        return "OK";
    }
    if (name == "silent") {
        // Answers COUNT more requests (none by default), then none.
        faults.answersLeft = count < 0 ? 0 : count;
        return "OK";
    }
    if (name == "slow") {
        faults.slowStatusReads = count < 0 ? kDefaultSlowReads : count;
        return "OK";
    }
    if (name == "boot") {
        if (w.size() >= 5) return "ERR fault boot takes no count";
        unit.SetBootMode(true);
        return "OK";
    }
    if (name == "busy") {
        // The port's ready bit, not the unit's: the next sends find the far side busy.
        rig.Port().SetBusySends(count < 0 ? 1 : count);
        return "OK";
    }
    for (const NamedCorruption& c : kCorruptions)
        if (name == c.name) {
            faults.corruption = c.corruption;
            faults.corruptCommand = command;
            faults.corruptCount = count;  // -1: every answer
            return "OK";
        }
    return "ERR unknown fault '" + name + "'";
}

std::string UnitStep(SimRig& rig, const std::vector<std::string>& w) {
    int number = 0;
    if (w.size() < 3 || !Number(w[1], 1, 4, &number)) return "ERR usage: sim unit N (1-4) ...";
    SimUnit* unit = rig.Unit(number);
    if (!unit) return "ERR no unit " + w[1] + " in the rig";
    const std::string& what = w[2];
    if (what == "online" || what == "offline") {
        if (w.size() != 3) return "ERR usage: sim unit N online|offline";
        rig.SetOnline(number, what == "online");
        return "OK";
    }
    if (what == "tally") {
        bool on = false;
        if (w.size() != 4) return "ERR usage: sim unit N tally on|off";
        if (std::string e = OnOff(w[3], "on", "off", &on); !e.empty()) return e;
        unit->SetTally(on);
        return "OK";
    }
    if (what == "fault") return Fault(rig, *unit, w);
    if (what == "control" || what == "switch") {
        int id = 0, value = 0;
        const bool control = what == "control";
        if (w.size() != 5 || !Number(w[3], control ? 0 : 128, control ? 128 : 255, &id) ||
            !Number(w[4], -32768, 65535, &value))
            return control ? "ERR usage: sim unit N control ID(0-128) VALUE"
                           : "ERR usage: sim unit N switch ID(128-255) VALUE";
        if (control)
            unit->ChangeControl(id, value);
        else
            unit->ChangeSwitch(id, value);
        return "OK";
    }
    if (what == "message") {
        int message = 0;
        if (w.size() != 4 || !Number(w[3], 0, 255, &message))
            return "ERR usage: sim unit N message NUMBER(0-255)";
        unit->PostMessage(message);
        return "OK";
    }
    return "ERR unknown unit step '" + what + "'";
}

}  // namespace

const char* const kSimStepUsage =
    "sim unit N online|offline, sim unit N tally on|off, "
    "sim unit N fault silent|slow|busy|boot|wrong-code|wrong-type|oversize|count-beyond-data|"
    "cut-short [COUNT [COMMAND]], sim unit N fault none, sim unit N control ID VALUE, "
    "sim unit N switch ID VALUE, sim unit N message NUMBER, sim fan fail|ok, "
    "sim surface silent|ok";

std::string RunSimStep(SimRig& rig, const std::vector<std::string>& w) {
    if (w.empty()) return std::string("ERR usage: ") + kSimStepUsage;
    if (w[0] == "unit") return UnitStep(rig, w);
    bool flag = false;
    if (w[0] == "fan" && w.size() == 2) {
        if (std::string e = OnOff(w[1], "fail", "ok", &flag); !e.empty()) return e;
        rig.Surface().SetFanFailed(flag);
        return "OK";
    }
    if (w[0] == "surface" && w.size() == 2) {
        if (std::string e = OnOff(w[1], "silent", "ok", &flag); !e.empty()) return e;
        rig.Surface().SetSilent(flag);
        return "OK";
    }
    return std::string("ERR usage: ") + kSimStepUsage;
}
