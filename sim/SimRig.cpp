#include "sim/SimRig.h"

#include "sim/SimBypassLine.h"
#include "sim/SimReplay.h"

SimRig::SimRig() : m_port({}, &m_surface) {}

SimRig::~SimRig() = default;

bool SimRig::OpenBypassLine(std::string* error) {
    if (!m_bypassLine) m_bypassLine = SimBypassLine::Open(error);
    return m_bypassLine != nullptr;
}

bool SimRig::Replay(const std::string& path, std::string* error) {
    auto replay = std::make_unique<SimReplay>();
    if (!replay->Load(path, error)) return false;
    m_replay = std::move(replay);
    m_port.SetReplay(m_replay.get());
    return true;
}

std::unique_ptr<SimRig> SimRig::Standard() {
    auto rig = std::make_unique<SimRig>();
    rig->AddUnit(1, ShippedProfile("elm"));
    rig->AddUnit(2, ShippedProfile("birch"));
    rig->AddUnit(3, ShippedProfile("cedar"));
    rig->AddUnit(4, ShippedProfile("cedar"));
    rig->SetOnline(4, false);
    return rig;
}

SimUnit& SimRig::AddUnit(int number, const SimProfile& profile) {
    m_units[number] = std::make_unique<SimUnit>(profile);
    SetOnline(number, true);
    return *m_units[number];
}

SimUnit& SimRig::PowerCycle(int number, const SimProfile& profile) {
    const bool online = m_online[number] || !m_units[number];
    SimUnit& unit = AddUnit(number, profile);
    SetOnline(number, online);
    // Off the line it has started by the time it is back.
    if (online) unit.StartUp(kStartUpIdentifies);
    return unit;
}

void SimRig::SetOnline(int number, bool online) {
    m_online[number] = online && m_units[number];
    m_port.SetUnit(number, m_online[number] ? m_units[number].get() : nullptr);
}
