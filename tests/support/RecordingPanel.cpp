#include "tests/support/RecordingPanel.h"

#include <algorithm>

RecordingPanel::RecordingPanel() {
    // As the main panel does at its initialisation: the scan keeps the panel's lamp image.
    m_units.SetLamps(m_lamps.data());
}

void RecordingPanel::ShowMessage(const std::string& text) {
    message = text;
    Record("ShowMessage(" + text + ")");
}

void RecordingPanel::ShowAlert(const std::string& text) {
    alert = text;
    Record("ShowAlert(" + text + ")");
}

void RecordingPanel::SetOnAir(bool on) {
    onAir = on;
    Record(on ? "SetOnAir(true)" : "SetOnAir(false)");
}

void RecordingPanel::SetTitleText(const std::string& text) {
    title = text;
    Record("SetTitleText(" + text + ")");
}

void RecordingPanel::ShowModelLogo() {
    Record("ShowModelLogo()");
}

void RecordingPanel::UpdateLamps(int keep) {
    Record("UpdateLamps(" + std::to_string(keep) + ")");
}

void RecordingPanel::UpdateMenuCaptions() {
    Record("UpdateMenuCaptions()");
}

void RecordingPanel::UpdateFunctionCaptions() {
    Record("UpdateFunctionCaptions()");
}

void RecordingPanel::BindKnobs() {
    Record("BindKnobs()");
}

void RecordingPanel::UpdateScreenColor(int unit) {
    Record("UpdateScreenColor(" + std::to_string(unit) + ")");
}

void RecordingPanel::StartTimer(int id, int periodMs) {
    timers[id] = periodMs;
    Record("StartTimer(" + std::to_string(id) + "," + std::to_string(periodMs) + ")");
}

void RecordingPanel::StopTimer(int id) {
    timers.erase(id);
    Record("StopTimer(" + std::to_string(id) + ")");
}

void RecordingPanel::ClearKeyHandled() {
    Record("ClearKeyHandled()");
}

int RecordingPanel::Count(const std::string& call) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

int RecordingPanel::IndexOf(const std::string& call, int from) const {
    for (int i = std::max(from, 0); i < static_cast<int>(calls.size()); ++i)
        if (calls[i] == call) return i;
    return -1;
}

bool RecordingPanel::CalledInOrder(const std::vector<std::string>& sequence) const {
    int at = 0;
    for (const std::string& call : sequence) {
        const int found = IndexOf(call, at);
        if (found < 0) return false;
        at = found + 1;
    }
    return true;
}
