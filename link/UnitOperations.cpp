#include "link/UnitOperations.h"

#include <array>

#include "link/Commands.h"
#include "link/ConfigFile.h"
#include "link/MenuDatabase.h"
#include "platform/Power.h"
#include "platform/Report.h"

namespace {

// Lamp bits beyond those PanelHost.h names.
constexpr uint8_t kLampHeld = 0x02;  // bytes 2..4: the key of the held switch
constexpr int kFirstHoldLampByte = 2;
constexpr int kLastHoldLampByte = 4;
constexpr int kLastTallyResetByte = 5;
constexpr int kLastUnitLampByte = 10;
constexpr uint8_t kLampRestPattern = 62;  // bytes 6..10 after a clear

// Where a menu's function items begin: group-A units have 12 item slots, the others 20.
constexpr uint32_t kGroupAFunctionOffset = 6;
constexpr uint32_t kFunctionOffset = 10;

// Menus the direct menu keys choose from.
constexpr int kMenuMain = 0;
constexpr int kMenuSeven = 7;
constexpr int kMenuSevenAlt = 40;
constexpr int kMenuEleven = 11;
constexpr int kMenuElevenAlt = 41;
constexpr int kMenuElevenMode = 30;
constexpr int kMenuFifteen = 15;
constexpr int kMenuEighteen = 18;
constexpr int kMenuTwentySix = 26;

// Switches the ALT layer of custom menu keys 1..5 releases.
constexpr std::array<uint8_t, 5> kCustomMenuAltSwitches = {221, 222, 223, 225, 227};
constexpr int kCustomMenuKeys = static_cast<int>(kCustomMenuAltSwitches.size());

// Waits of the operations, in milliseconds.
constexpr uint32_t kPollMissPauseMs = 1000;
constexpr uint32_t kLinkResetPauseMs = 100;
constexpr uint32_t kClearFilePollMs = 100;
constexpr uint32_t kClearFileSettleMs = 2000;

// What the panel's hardware is set to before the PC goes down.
constexpr std::array<uint8_t, 4> kShutdownConfiguration = {1, 16, 8, 4};

constexpr const char* kMsgRetrievingMenus = "Retrieving Menus from Main Unit!";
constexpr const char* kMsgMenuError = "Error retrieving menus!";
constexpr const char* kMsgFileClear = "File Clear In Process ...";
constexpr const char* kMsgUnitBusy = "Communication Error: Unit Busy!";
constexpr const char* kMsgIncomplete = "Communication Error: Function did not complete!";

std::string BootModeText(int unit) {
    return "Main Unit " + std::to_string(unit) + " not programmed OR in Boot Mode!";
}

// The text goes in as it is: a '%' in what a unit or a caller says is no format directive.
std::string FatalText(const std::string& text) {
    return "Fatal Error: " + text + "!  \n\nContact Quorvane for support.";
}

bool ConfigIsTrue(const char* section, const char* key) {
    return GetConfigValue(section, key) == kConfigTrue;
}

bool IsUnitNumber(int unit) {
    return unit >= 1 && unit <= kUnitCount;
}

uint8_t TallyBit(int unit) {
    return static_cast<uint8_t>(1u << unit);
}

// The menu a unit reports as its current one. Only 0..63 name a menu of the unit's own; any
// other byte is taken as its main menu, so that no table is indexed beyond its end and no
// panel menu (Effect Menu, custom menus) is entered by what a unit says.
int32_t ReportedMenu(const UnitIdentity& identity) {
    return identity.currentMenu < kEffectMenu ? identity.currentMenu : kMenuMain;
}

// A unit that answers with another ModelCode than its menus came from is a new unit: what the
// panel holds of the old one (menus, custom menus) must not be used with it.
void ForgetMenusOfAnotherModel(CPanelHost& panel, int unit, const UnitIdentity& identity) {
    MenuBlock& block = (*panel.m_menuBlocks)[unit];
    if (block.bytes[0] == kMenuBlockInvalid || identity.ModelCode == kModelNone ||
        identity.ModelCode == panel.m_menuModel[unit])
        return;
    block.bytes[0] = kMenuBlockInvalid;
    panel.m_currentMenu[unit] = -1;
    ClearCustomMenus(unit);
    // The knobs still show the old model's controls: no turn may reach the new unit before it
    // is connected, which starts the panel scan again.
    panel.StopTimer(kTimerPanelScan);
}

// The selected unit's number, or 0 when the selection holds no unit 1..4.
int SelectedUnitNumber() {
    const int unit = UnitNumber(g_selectedUnit);
    return IsUnitNumber(unit) && AddressOfUnit(unit) == g_selectedUnit ? unit : 0;
}

// The unit whose tally the old mask held: only a mask of exactly one unit names one.
UnitAddress TallyOwner(uint8_t mask, UnitAddress otherwise) {
    for (int unit = 1; unit <= kUnitCount; ++unit)
        if (mask == TallyBit(unit)) return AddressOfUnit(unit);
    return otherwise;
}

void SendLamps(CPanelHost& panel) {
    SetPanelLamps(panel.m_lamps.data());
}

void ShowUnitMessage(CPanelHost& panel, const std::string& text) {
    panel.ShowMessage(text);
    panel.StartTimer(kTimerMessageClear, kTimerMessageClearMs);
}

// Shows what the unit's MessageNumber asks for.
void HandleUnitMessage(CPanelHost& panel, uint8_t number) {
    if (number == kNoMessage) return;
    if (number == kUnitTextMessage || number == kUnitTextMessageAlt) {
        std::string text;
        ReadUnitText(text);
        ShowUnitMessage(panel, text);
        return;
    }
    // The message table has 200 entries; a higher number names none, and nothing is shown.
    if (number >= kUnitMessageCount) return;
    const UnitMessageRecord& entry = g_unitMessages[number];
    if (!(entry.code & kMessageQuestion)) {
        ShowUnitMessage(panel, entry.message);
        return;
    }
    const PromptAnswer answer = AskOperator(panel, entry.message, PromptButtons::OkCancel);
    SendReply(kReplyTopicQuestion, answer == PromptAnswer::Ok ? kReplyOk : kReplyCancel);
}

}  // namespace

bool ScanNextUnit(CPanelHost& panel, int skipUnit) {
    CUnitScanner& units = panel.m_units;
    // After 4 comes 1; a turn that was never set (or was spoiled) starts again at unit 1.
    units.current = units.current >= 1 && units.current < kUnitCount ? units.current + 1 : 1;
    const int unit = units.current;
    // The timer passes the selected unit's number, 0 when none is selected, and start-up -1:
    // only a number 1..4 can fall on a turn, anything else skips nobody.
    if (unit == skipUnit) return false;

    uint8_t& online = panel.m_lamps[unit];
    uint8_t& tally = panel.m_lamps[kLampTallyByte];
    UnitIdentity& identity = units.identities[unit];
    bool changed = false;

    if (Identify(units.addresses[unit], identity) != kLinkOk) {
        // The count stops at its top: a unit gone for good must not come back on line by the
        // counter wrapping round.
        if (units.failCounts[unit] < UINT8_MAX) ++units.failCounts[unit];
        if (units.failCounts[unit] < kMaxScanMisses) return false;
        if (online & kLampOnline) changed = true;
        online &= ~kLampOnline;
        tally &= ~TallyBit(unit);
    } else {
        units.failCounts[unit] = 0;
        if (!(online & kLampOnline)) changed = true;
        online |= kLampOnline;
        if (identity.UnitFlags & kFlagTally) {
            const uint8_t oldMask = tally;
            tally = TallyBit(unit);
            if (ConfigIsTrue(kConfigTallyUnitSelect, kConfigEnabled) && oldMask != tally &&
                g_selectedUnit != 0) {
                // The unit that had the tally lets it go; the one that has it now is selected.
                g_selectedUnit = TallyOwner(oldMask, g_selectedUnit);
                units.UnitIdentityOf(UnitNumber(g_selectedUnit)).UnitFlags &= ~kFlagTally;
                ResponseBuffer rx;
                SendSimpleCommand(kCmdTallyRelease, kRespOpening, rx, kSpinNormal);
                SelectUnit(panel, unit);
            }
        } else {
            tally &= ~TallyBit(unit);
        }
    }

    if (skipUnit == -1) changed = true;
    SendLamps(panel);
    return changed;
}

void SelectUnit(CPanelHost& panel, int unit) {
    // Only the four Online keys select; another number has no lamp byte of its own.
    if (!IsUnitNumber(unit)) return;
    panel.ClearKeyHandled();
    uint8_t& online = panel.m_lamps[unit];
    online ^= kLampOnline;
    if (!panel.m_units.IsUnitPresent(unit)) return;
    if (g_selectedUnit == AddressOfUnit(unit)) {
        online |= kLampOnline;
        return;
    }
    if (panel.m_units.UnitIdentityOf(unit).UnitFlags & kFlagBootMode) {
        panel.ShowAlert(BootModeText(unit));
        return;
    }
    online |= kLampOnline;
    g_selectedUnit = AddressOfUnit(unit);
    ConnectUnit(panel, true);

    if (panel.m_routerEnabled == kConfigTrue) {
        SetSwitchValue(kSwitchRouterPolarity, panel.m_routerPolarity == kConfigLow ? 0 : 1);
        SetControlValue(kControlRouterDwell, static_cast<int16_t>(panel.m_routerDwellFrames));
        SetSwitchValue(kSwitchRouterEnable, 1);
    }
}

void ConnectUnit(CPanelHost& panel, bool load) {
    const int unit = SelectedUnitNumber();
    // With no unit 1..4 selected there is nothing to connect and no per-unit slot to write.
    if (unit == 0) return;

    Identify(g_selectedUnit, g_unitIdentity);
    const bool groupA = IsModelGroupA();
    panel.m_functionOffset = groupA ? kGroupAFunctionOffset : kFunctionOffset;
    panel.m_functionSlots = groupA ? kGroupAItemSlots : kItemSlots;

    if (load) {
        ForgetMenusOfAnotherModel(panel, unit, g_unitIdentity);
        MenuBlock& block = (*panel.m_menuBlocks)[unit];
        if (block.bytes[0] == kMenuBlockInvalid) {
            panel.ShowMessage(kMsgRetrievingMenus);
            if (DownloadMenus(block) != kLinkOk) {
                panel.m_currentMenu[unit] = -1;
                panel.m_savedMenu[unit] = -1;
                block.bytes[0] = kMenuBlockInvalid;
                panel.ShowMessage("");
                panel.ShowAlert(kMsgMenuError);
                return;
            }
            panel.m_menuModel[unit] = g_unitIdentity.ModelCode;
            panel.m_savedMenu[unit] = ReportedMenu(g_unitIdentity);
            panel.m_previousMenu[unit] = panel.m_savedMenu[unit];
            panel.m_currentMenu[unit] = panel.m_previousMenu[unit];
        }
        ParseMenuBlob(block, static_cast<int>(panel.m_functionSlots));
    }

    // The results of what follows are not looked at: the next poll brings the panel in step.
    SetSwitchValue(kSwitchTallySelect,
                   ConfigIsTrue(kConfigTallyUnitSelect, kConfigEnabled) ? 1 : 0);
    ReadValues();
    ReadValues2();
    panel.m_missCount = 0;
    Identify(g_selectedUnit, g_unitIdentity);

    panel.ShowMessage("");
    panel.ShowAlert("");
    panel.SetUnitLost(0);
    panel.ShowModelLogo();
    panel.UpdateLamps(0);
    panel.UpdateMenuCaptions();
    panel.UpdateFunctionCaptions();
    panel.BindKnobs();
    panel.UpdateScreenColor(unit);
    RefreshTitle(panel);

    panel.StopTimer(kTimerIdleScan);
    StartTimer(panel, kTimerPanelScan);
}

bool PollSelectedUnit(CPanelHost& panel) {
    const LinkStatus status = Identify(g_selectedUnit, g_unitIdentity);
    if (status != kLinkOk) {
        // Otherwise every later answer would be read a step behind, and the unit never found.
        if (LeftBytesOnTheLine(status)) ResetLinkTwice();
        DelayMs(kPollMissPauseMs);
        return false;
    }
    const int unit = SelectedUnitNumber();
    if (unit == 0) return false;
    // Another model behind the address: the caller connects it as a new unit.
    ForgetMenusOfAnotherModel(panel, unit, g_unitIdentity);
    if (panel.m_currentMenu[unit] == -1) return false;

    HandleUnitMessage(panel, g_unitIdentity.MessageNumber);

    const uint8_t flags = g_unitIdentity.UnitFlags;
    uint8_t& tally = panel.m_lamps[kLampTallyByte];
    if (flags & kFlagTally) {
        tally |= TallyBit(unit);
        panel.SetOnAir(true);
    } else {
        tally &= ~TallyBit(unit);
        panel.SetOnAir(false);
    }

    if (!(flags & (kFlagValuesChanged | kFlagValues2Changed))) return false;
    ReadValues2();
    ReadValues();
    panel.UpdateScreenColor(unit);
    RefreshTitle(panel);
    panel.UpdateLamps(1);
    panel.UpdateFunctionCaptions();
    panel.BindKnobs();
    return true;
}

void SetMenuMode(CPanelHost& panel, int menu) {
    const int unit = SelectedUnitNumber();
    // A unit whose menus are not loaded (current menu -1) has no menu to change to; the key
    // only has its lamp put back.
    if (unit == 0 || menu == panel.m_currentMenu[unit] || panel.m_currentMenu[unit] == -1) {
        panel.UpdateLamps(0);
        return;
    }
    const int32_t old = panel.m_currentMenu[unit];
    int32_t& current = panel.m_currentMenu[unit];
    switch (menu) {
        case kMenuMain:
            current = ReportedMenu(g_unitIdentity);
            break;
        case kMenuSeven:
            current = g_altMenus ? kMenuSevenAlt : kMenuSeven;
            break;
        case kMenuEleven:
            if (g_menuDatabase.switches[kSwitchIndexMenuMode].value != 0)
                current = kMenuElevenMode;
            else
                current = g_altMenus ? kMenuElevenAlt : kMenuEleven;
            break;
        case kMenuFifteen:
        case kMenuEighteen:
        case kMenuTwentySix:
            current = menu;
            break;
        default:
            break;
    }
    panel.m_savedMenu[unit] = current;
    panel.ShowMessage("");
    ReadValues();
    panel.UpdateLamps(0);
    panel.UpdateMenuCaptions();
    panel.UpdateFunctionCaptions();
    panel.BindKnobs();
    panel.m_previousMenu[unit] = old;
}

bool IsSpecialMenu(int menu) {
    return menu == kMenuMain || menu == kMenuSeven || menu == kMenuEleven ||
           menu == kMenuEighteen || menu == kMenuTwentySix || menu == kMenuElevenMode;
}

void HoldFunction(CPanelHost& panel, uint32_t switchId, int lampIndex) {
    for (int byte = kFirstHoldLampByte; byte <= kLastHoldLampByte; ++byte)
        panel.m_lamps[byte] &= ~kLampHeld;
    if (switchId != panel.m_heldFunction) {
        panel.m_heldFunction = switchId;
        // Only the three hold keys have a lamp for it.
        if (lampIndex >= kFirstHoldLampByte && lampIndex <= kLastHoldLampByte)
            panel.m_lamps[lampIndex] |= kLampHeld;
        SetSwitchValue(static_cast<uint8_t>(switchId), 1);
    } else {
        SetSwitchValue(static_cast<uint8_t>(panel.m_heldFunction), 0);
        panel.m_heldFunction = kNoHeldFunction;
    }
    panel.BindKnobs();
    panel.UpdateFunctionCaptions();
}

void CustomMenuKey(CPanelHost& panel, int n) {
    if (n < 1 || n > kCustomMenuKeys) return;
    const auto customSwitch = static_cast<uint8_t>(kSwitchFirstCustomMenu - 1 + n);
    if (panel.AltLatched()) {
        SetSwitchValue(kCustomMenuAltSwitches[n - 1], 0);
        SetSwitchValue(customSwitch, 0);
        ReadValues();
        panel.UpdateLamps(1);
        RefreshTitle(panel);
        panel.m_lamps[kLampAltByte] &= ~kLampAlt;
        return;
    }
    SetSwitchValue(customSwitch, 0);
    ReadValues();
    panel.UpdateLamps(1);
    panel.UpdateMenuCaptions();
    panel.UpdateFunctionCaptions();
    panel.BindKnobs();
    RefreshTitle(panel);
}

void ClearFile(CPanelHost& panel) {
    SendLamps(panel);
    panel.ShowAlert(kMsgFileClear);
    // The unit does not answer this press; the link reset drops whatever it sent.
    PressSwitchNoWait(panel.AltLatched() ? kSwitchFileClearAlt : kSwitchFileClear);
    DelayMs(kLinkResetPauseMs);
    ResetLink();
    DelayMs(kLinkResetPauseMs);

    bool busy = true;
    for (int poll = 0; poll < kClearFilePolls; ++poll) {
        Identify(g_selectedUnit, g_unitIdentity);
        if (!(g_unitIdentity.UnitFlags & kFlagBusy)) {
            busy = false;
            break;
        }
        DelayMs(kClearFilePollMs);
    }

    if (busy) {
        ShowBlockingMessage(panel, kMsgUnitBusy);
    } else {
        DelayMs(kLinkResetPauseMs);
        ResetLink();
        DelayMs(kClearFileSettleMs);
        if (ReadValues() != kLinkOk) ShowBlockingMessage(panel, kMsgIncomplete);
    }

    panel.m_heldFunction = kNoHeldFunction;
    panel.UpdateLamps(1);
    panel.UpdateMenuCaptions();
    panel.UpdateFunctionCaptions();
    panel.BindKnobs();
    panel.UpdateScreenColor(SelectedUnitNumber());
    RefreshTitle(panel);
    panel.ShowAlert("");
}

void RefreshTitle(CPanelHost& panel) {
    std::string title;
    if (ReadTitle(title) != kLinkOk) title.clear();
    if (title.size() > kMaxTitleChars) title.resize(kMaxTitleChars);
    panel.SetTitleText(title);
}

void ShowBlockingMessage(CPanelHost& panel, const std::string& text) {
    AskOperator(panel, text, PromptButtons::Ok);
}

PromptAnswer AskOperator(CPanelHost& panel, const std::string& text, PromptButtons buttons) {
    // No poll may run from inside the box's own event loop.
    panel.StopTimer(kTimerUnitPoll);
    panel.StopTimer(kTimerPanelScan);
    const PromptIcon icon =
        buttons == PromptButtons::Ok ? PromptIcon::Warning : PromptIcon::Question;
    const PromptAnswer answer = ThePrompter().Show(text, kMessageBoxCaption, buttons, icon);
    StartTimer(panel, kTimerUnitPoll);
    StartTimer(panel, kTimerPanelScan);
    return answer;
}

void FatalError(CPanelHost& panel, const std::string& text) {
    panel.StopTimer(kTimerIdleScan);
    panel.StopTimer(kTimerUnitPoll);
    panel.StopTimer(kTimerPanelScan);
    // The journal has it at once; the box waits for the operator.
    ReportLine(FatalText(text));
    ThePrompter().Show(FatalText(text), kMessageBoxCaption, PromptButtons::Ok, PromptIcon::Stop);
    ShutdownPC(panel);
}

void ShutdownPC(CPanelHost& panel) {
    const auto& c = kShutdownConfiguration;
    ConfigurePanel(c[0], c[1], c[2], c[3]);
    ClearLamps(panel);
    // The power seam switches off only a kiosk; anywhere else it ends the program.
    ThePower().PowerOff();
}

void DarkLamps(uint8_t lamps[kLampBytes]) {
    for (int byte = 0; byte < kLampBytes; ++byte)
        lamps[byte] =
            byte > kLastTallyResetByte && byte <= kLastUnitLampByte ? kLampRestPattern : 0;
}

void ClearLamps(CPanelHost& panel) {
    DarkLamps(panel.m_lamps.data());
    SendLamps(panel);
}

void StartTimer(CPanelHost& panel, int id) {
    switch (id) {
        case kTimerIdleScan:
            panel.StartTimer(id, kTimerIdleScanMs);
            break;
        case kTimerUnitPoll:
            panel.StartTimer(id, kTimerUnitPollMs);
            break;
        case kTimerPanelScan:
            panel.StartTimer(id, kTimerPanelScanMs);
            break;
        default:
            break;
    }
}
