#include "link/PanelState.h"

#include "link/Commands.h"
#include "link/LinkStats.h"

UnitAddress g_selectedUnit = 0;
UnitIdentity g_unitIdentity{};
PanelStatus g_panelStatus{};
MenuDatabase g_menuDatabase;
std::array<UnitMessageRecord, kUnitMessageCount> g_unitMessages;
std::array<uint8_t, kLockEntries> g_controlLocks{};
std::array<uint8_t, kLockEntries> g_switchLocks{};
std::array<FileEntry, kMaxFiles> g_files{};
std::array<FileEntry, kMaxFiles> g_userFiles{};
uint32_t g_fileCount = 0;
uint32_t g_userFileCount = 0;
std::array<EffectRecord, kMaxEffects> g_effects{};
uint32_t g_effectCount = 0;
uint8_t g_currentEffect = 0;
std::array<uint8_t, kEffectKnobSlots> g_effectKnobAssign{};
std::array<uint8_t, kEffectButtonSlots> g_effectButtonAssign{};
std::array<GpiSequenceEntry, kMaxGpiSequences> g_gpiSequences{};
uint32_t g_gpiSequenceCount = 0;
std::array<GpiSequenceDetail, kMaxGpiSequences> g_gpiDetails{};
CustomKnobTable g_customKnobs{};
CustomButtonTable g_customButtons{};
std::array<uint8_t, kTransferBufferSize> g_transferBuffer{};
uint32_t g_transferLength = 0;

bool IsModelGroupA(uint8_t modelCode) {
    return modelCode == kModelElm || modelCode == kModelDune || modelCode == kModelBirch ||
           modelCode == kModelAlder;
}

bool IsModelGroupA() {
    return IsModelGroupA(g_unitIdentity.ModelCode);
}

void ClearCustomMenus(int unitNumber) {
    if (unitNumber < 0 || unitNumber >= kUnitSlots) return;
    for (auto& knobs : g_customKnobs[unitNumber])
        knobs.fill(kNoControl);
    for (auto& buttons : g_customButtons[unitNumber])
        buttons.fill(kNoSwitch);
}

void ResetPanelState() {
    ResetLinkStats();
    ClearQueuedPanelInput();
    g_selectedUnit = 0;
    g_unitIdentity = {};
    g_panelStatus = {};
    g_menuDatabase = {};
    g_unitMessages = {};
    g_controlLocks = {};
    g_switchLocks = {};
    g_files = {};
    g_userFiles = {};
    g_fileCount = 0;
    g_userFileCount = 0;
    g_effects = {};
    g_effectCount = 0;
    g_currentEffect = 0;
    g_effectKnobAssign.fill(kNoControl);
    g_effectButtonAssign.fill(kNoSwitch);
    g_gpiSequences = {};
    g_gpiSequenceCount = 0;
    g_gpiDetails = {};
    for (int unit = 0; unit < kUnitSlots; ++unit)
        ClearCustomMenus(unit);
    g_transferBuffer = {};
    g_transferLength = 0;
}
