#pragma once

// What the main panel does with the Main Units: the background scan of the four units, the
// selection of one of them, its connection (menus, values), the poll that keeps the panel in
// step with it, the operations of the panel's keys, and the ways the panel tells the operator
// that something went wrong, down to powering the panel PC off. Everything runs on the GUI
// thread and reaches the screen only through CPanelHost.

#include <cstdint>
#include <string>

#include "link/PanelHost.h"
#include "platform/Prompter.h"

// Caption of every message box the panel shows.
inline constexpr const char* kMessageBoxCaption = "KV4";

// Switches, controls and commands the operations send.
inline constexpr uint8_t kSwitchRouterPolarity = 214;
inline constexpr uint8_t kSwitchRouterEnable = 211;
inline constexpr uint8_t kControlRouterDwell = 114;
inline constexpr uint8_t kSwitchTallySelect = 250;
inline constexpr uint8_t kSwitchFileClear = 163;
inline constexpr uint8_t kSwitchFileClearAlt = 174;
inline constexpr uint8_t kSwitchFirstCustomMenu = 216;  // 215 + n for custom menu key n
inline constexpr int kSwitchIndexMenuMode = 33;         // switch 161: menu 11 becomes menu 30
inline constexpr uint8_t kCmdTallyRelease = 235;
inline constexpr uint8_t kReplyTopicQuestion = 11;
inline constexpr uint8_t kReplyOk = 1;
inline constexpr uint8_t kReplyCancel = 2;

// Identify answers a unit may miss in a row before the scan takes it off line.
inline constexpr int kMaxScanMisses = 5;
// Identify polls ClearFile waits for the unit to finish; 100 ms apart.
inline constexpr int kClearFilePolls = 100;
// The unit title strip holds at most this many characters.
inline constexpr size_t kMaxTitleChars = 255;

// Probes the next of units 1..4 in turn (not skipUnit) and keeps its on-line lamp and the
// tally mask; sends the lamp image. True when an on-line lamp changed, and always when
// skipUnit is -1 (start-up).
bool ScanNextUnit(CPanelHost& panel, int skipUnit);

// The Online key of unit 1..4: selects and connects a present unit.
void SelectUnit(CPanelHost& panel, int unit);

// (Re)builds everything the panel knows about the selected unit; load also (re)loads its menus.
void ConnectUnit(CPanelHost& panel, bool load);

// Asks the selected unit what is new: its message, its tally, changed values. True when the
// values were read again.
bool PollSelectedUnit(CPanelHost& panel);

// Direct menu keys (0, 7, 11, 15, 18, 26).
void SetMenuMode(CPanelHost& panel, int menu);
// Menus the direct menu keys reach: 0, 7, 11, 18, 26 and 30.
bool IsSpecialMenu(int menu);

// The three exclusive hold keys (switch 129, 130 or 132 with lamp byte 2, 3 or 4).
void HoldFunction(CPanelHost& panel, uint32_t switchId, int lampIndex);
// Custom menu key n = 1..5.
void CustomMenuKey(CPanelHost& panel, int n);
// The File Clear key: the unit clears its file (or, with ALT, its alternative file).
void ClearFile(CPanelHost& panel);

// Reads the selected unit's title into the unit title strip.
void RefreshTitle(CPanelHost& panel);

// A message box with an OK button; timers 2 and 3 are stopped while it is up.
void ShowBlockingMessage(CPanelHost& panel, const std::string& text);
// The same with the given buttons; returns the operator's answer.
PromptAnswer AskOperator(CPanelHost& panel, const std::string& text, PromptButtons buttons);

// Stops the timers, tells the operator, and powers the panel PC off.
void FatalError(CPanelHost& panel, const std::string& text);
// Puts the control surface to rest, clears its lamps and powers the panel PC off.
void ShutdownPC(CPanelHost& panel);

// Lamp image of a panel with nothing selected: bytes 0..5 = 0, 6..10 = 62, 11 = 0; sent.
void ClearLamps(CPanelHost& panel);
// The lamp image of a panel with nothing lit, as ClearLamps sends it.
void DarkLamps(uint8_t lamps[kLampBytes]);

// Starts timer 1 (20 ms), 2 (100 ms) or 3 (20 ms); any other id starts nothing.
void StartTimer(CPanelHost& panel, int id);
