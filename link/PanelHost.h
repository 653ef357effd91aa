#pragma once

// What the unit operations need of the main panel: the per-unit navigation state it owns,
// and the few things it shows. The main panel implements it; tests put a recording panel in
// its place. The unit operations never see a widget.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "link/PanelState.h"
#include "link/UnitScanner.h"
#include "platform/Prompter.h"

inline constexpr int kLampBytes = 12;
inline constexpr uint32_t kNoHeldFunction = 131;

// Window timers of the main panel.
inline constexpr int kTimerIdleScan = 1;      // 20 ms: keys while no unit is connected
inline constexpr int kTimerUnitPoll = 2;      // 100 ms: probe the units, poll the selected one
inline constexpr int kTimerPanelScan = 3;     // 20 ms: keys, knobs and fan while connected
inline constexpr int kTimerMessageClear = 4;  // 3000 ms, once: clears a unit message
inline constexpr int kTimerIdleScanMs = 20;
inline constexpr int kTimerUnitPollMs = 100;
inline constexpr int kTimerPanelScanMs = 20;
inline constexpr int kTimerMessageClearMs = 3000;

// Lamp image: byte 0 bit 0x10 is the ALT latch; byte n (1..4) bit 0x01 marks unit n on line;
// byte 5 is the tally mask with bit n for unit n.
inline constexpr int kLampAltByte = 0;
inline constexpr uint8_t kLampAlt = 0x10;
inline constexpr uint8_t kLampOnline = 0x01;
inline constexpr int kLampTallyByte = 5;

class CPanelHost {
public:
    CPanelHost();
    virtual ~CPanelHost();

    // Per-unit state, indexed by unit number 0..4.
    std::unique_ptr<std::array<MenuBlock, kUnitSlots>> m_menuBlocks;
    std::array<int32_t, kUnitSlots> m_currentMenu{};  // -1: menus not loaded
    std::array<int32_t, kUnitSlots> m_previousMenu{};
    std::array<int32_t, kUnitSlots> m_savedMenu{};
    // The ModelCode each unit's menu block was downloaded from: ids taken from one model's
    // menus must never reach a unit of another model.
    std::array<uint8_t, kUnitSlots> m_menuModel{};
    uint32_t m_heldFunction = kNoHeldFunction;
    std::array<uint8_t, kLampBytes> m_lamps{};
    CUnitScanner m_units;
    int32_t m_missCount = 0;
    uint32_t m_functionOffset = 10;
    uint32_t m_functionSlots = 20;
    // Router settings read from the configuration at start-up.
    std::string m_routerEnabled;
    std::string m_routerPolarity;
    int32_t m_routerDwellFrames = 0;

    bool AltLatched() const { return m_lamps[kLampAltByte] & kLampAlt; }

    // The information panel's two lines.
    virtual void ShowMessage(const std::string& text) = 0;
    virtual void ShowAlert(const std::string& text) = 0;
    // The unit strip's On Air lamp.
    virtual void SetOnAir(bool onAir) = 0;
    // The selected unit the panel has lost (1..4), or 0 once a unit is connected: what the
    // panel shows of it must not look live. Nothing is sent.
    virtual void SetUnitLost(int /*unit*/) {}
    // The unit title strip.
    virtual void SetTitleText(const std::string& text) = 0;
    // Rebuilding what the screen shows of the selected unit.
    virtual void ShowModelLogo() = 0;
    virtual void UpdateLamps(int keep) = 0;
    virtual void UpdateMenuCaptions() = 0;
    virtual void UpdateFunctionCaptions() = 0;
    virtual void BindKnobs() = 0;
    virtual void UpdateScreenColor(int unit) = 0;
    // Window timers.
    virtual void StartTimer(int id, int periodMs) = 0;
    virtual void StopTimer(int id) = 0;
    // The key dispatch's handled flag (SelectUnit clears it so the dispatch sends no lamps).
    virtual void ClearKeyHandled() = 0;
};
