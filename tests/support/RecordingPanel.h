#pragma once

#include <map>
#include <string>
#include <vector>

#include "link/PanelHost.h"

// A main panel that draws nothing: it records every call the unit operations make of it, in
// order, as readable strings such as "ShowMessage(Retrieving Menus from Main Unit!)",
// "UpdateLamps(0)" or "StartTimer(3,20)", and keeps what the screen would show.
class RecordingPanel final : public CPanelHost {
public:
    RecordingPanel();

    void ShowMessage(const std::string& text) override;
    void ShowAlert(const std::string& text) override;
    void SetOnAir(bool onAir) override;
    void SetTitleText(const std::string& text) override;
    void ShowModelLogo() override;
    void UpdateLamps(int keep) override;
    void UpdateMenuCaptions() override;
    void UpdateFunctionCaptions() override;
    void BindKnobs() override;
    void UpdateScreenColor(int unit) override;
    void StartTimer(int id, int periodMs) override;
    void StopTimer(int id) override;
    void ClearKeyHandled() override;

    // How often call was recorded, and whether it was.
    int Count(const std::string& call) const;
    bool Called(const std::string& call) const { return Count(call) > 0; }
    // Position of the first recording of call at or after from, or -1.
    int IndexOf(const std::string& call, int from = 0) const;
    // Whether the recorded calls hold these calls in this order (others may come between).
    bool CalledInOrder(const std::vector<std::string>& sequence) const;
    // Forgets the recorded calls; what the screen shows and the running timers stay.
    void ClearCalls() { calls.clear(); }
    bool TimerRunning(int id) const { return timers.count(id) != 0; }

    std::vector<std::string> calls;
    std::string message;  // the message line
    std::string alert;    // the alert line
    std::string title;    // the unit title strip
    bool onAir = false;
    std::map<int, int> timers;  // running timers: id -> period in ms

private:
    void Record(const std::string& call) { calls.push_back(call); }
};
