#pragma once

// The unit's own description of itself: its menu blob, downloaded once per unit and parsed
// into the menu database and the unit messages whenever that unit becomes the selected one.

#include <string>

#include "link/EppLink.h"
#include "link/PanelState.h"

inline constexpr int kMenuDownloadAttempts = 5;
inline constexpr int kGroupAItemSlots = 12;
inline constexpr int kItemSlots = 20;
// The menu that tells an Elm whether it has the alternative menus.
inline constexpr int kAltMenuMarker = 40;
// Labels CurrentStateLabel takes from a switch name at most.
inline constexpr int kMaxStateLabels = 24;
// The joined state labels of one switch are cut at this length.
inline constexpr size_t kMaxSwitchNameLength = 1024;

// True when the selected Elm's blob defines menu 40 (set by ParseMenuBlob).
extern bool g_altMenus;

// Fills block with the selected unit's menu blob: up to five attempts, the link reset twice
// between them.
LinkStatus DownloadMenus(MenuBlock& block);

// Parses block into the menu database and the unit messages, then applies the model's
// adjustments, the lock bits and the four local switches. itemSlots is 12 for group-A units,
// else 20. Whatever the block holds, nothing is read past its end or written outside a table.
void ParseMenuBlob(const MenuBlock& block, int itemSlots);

// Reads the lockout tables from the unit and copies them into the lock bit of every record.
void RefreshLockBits();

void DefineLocalSwitch(int index, const std::string& name, uint32_t id, uint32_t attributes,
                       uint32_t type, uint32_t states, uint16_t value, uint16_t value2,
                       int16_t minValue, int16_t maxValue);

// Replaces text (the switch's joined labels) by the label of its current state when the
// switch has more than one state.
void CurrentStateLabel(int switchIndex, std::string& text);

// The switch that item slot of the selected unit's menu names, or nullptr when the slot is
// empty, lies beyond the slots the unit's menus carry (a group-A blob fills only 12; the rest
// hold whatever was there before), or names no switch the unit has defined.
const SwitchRecord* SlotSwitch(int menu, int slot);
