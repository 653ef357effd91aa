#pragma once

// The panel's picture of the Main Units: fixed-size, process-wide tables that the command
// functions fill from the units' answers, the menu-blob parser builds, and everyone reads.
// Nothing here is resized or freed while the program runs; all of it lives on the GUI thread.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// ---- Unit addressing -------------------------------------------------------------------------

// A Main Unit on the link: unit number 1..4 in the high nibble (0x10..0x40); 0 = none.
using UnitAddress = uint8_t;

inline constexpr int kUnitCount = 4;
// Per-unit arrays are indexed by the unit number; index 0 exists but belongs to no unit.
inline constexpr int kUnitSlots = kUnitCount + 1;

inline constexpr int UnitNumber(UnitAddress address) {
    return address >> 4;
}
inline constexpr UnitAddress AddressOfUnit(int unitNumber) {
    return static_cast<UnitAddress>(unitNumber << 4);
}

extern UnitAddress g_selectedUnit;

// ---- Unit identity ---------------------------------------------------------------------------

// The first 16 bytes of the identify answer as they sit in the receive buffer.
struct UnitIdentity {
    uint8_t responseType;       // 9
    uint8_t pad;                // always 0
    uint8_t responseLength[2];  // low byte first
    uint8_t headerByte;
    uint8_t dataCount;     // data bytes + 1
    uint8_t responseCode;  // '@' for an identify answer
    uint8_t UnitFlags;
    uint8_t MessageNumber;
    uint8_t ModelCode;  // 0 = no valid identity
    uint8_t currentMenu;
    uint8_t unused[5];
};
static_assert(sizeof(UnitIdentity) == 16);
static_assert(offsetof(UnitIdentity, UnitFlags) == 7);
static_assert(offsetof(UnitIdentity, currentMenu) == 10);

// UnitFlags bits.
inline constexpr uint8_t kFlagTally = 0x01;          // the unit is on air
inline constexpr uint8_t kFlagValuesChanged = 0x02;  // values changed on the unit
inline constexpr uint8_t kFlagValues2Changed = 0x04;
inline constexpr uint8_t kFlagBootMode = 0x08;  // not programmed or in boot mode
inline constexpr uint8_t kFlagBusy = 0x10;
inline constexpr uint8_t kFlagReferenceVideo = 0x40;

// MessageNumber values with a meaning of their own.
inline constexpr uint8_t kNoMessage = 0;
inline constexpr uint8_t kUnitTextMessage = 100;
inline constexpr uint8_t kUnitTextMessageAlt = 255;

// ModelCode values.
inline constexpr uint8_t kModelNone = 0;
inline constexpr uint8_t kModelElm = 4;
inline constexpr uint8_t kModelDune = 5;
inline constexpr uint8_t kModelBirch = 7;
inline constexpr uint8_t kModelAlder = 9;
inline constexpr uint8_t kModelCedar = 11;
inline constexpr uint8_t kModelCedarB = 177;
inline constexpr uint8_t kModelFern = 80;
inline constexpr uint8_t kModelFernB = 81;

extern UnitIdentity g_unitIdentity;

// Group A: models 4, 5, 7 and 9 (12 item slots per menu instead of 20).
bool IsModelGroupA(uint8_t modelCode);
// The same for the selected unit's last identity.
bool IsModelGroupA();

// ---- Panel hardware status -------------------------------------------------------------------

// The whole answer to the panel-status read, as received: type, length, 23 data bytes, 2 zeros.
struct PanelStatus {
    uint8_t bytes[27];
};
static_assert(sizeof(PanelStatus) == 27);

inline constexpr int kKnobCount = 8;
inline constexpr int kKeyRowCount = 5;
inline constexpr int kFirstKeyRowByte = 2;
inline constexpr int kFirstKnobByte = 8;
inline constexpr int kFanByte = 24;

extern PanelStatus g_panelStatus;

// Keys of row 0..4 pressed since the last read.
inline uint8_t KeyRow(const PanelStatus& status, int row) {
    return status.bytes[kFirstKeyRowByte + row];
}
// Signed movement of knob 0..7 since the last read (low byte first).
inline int16_t KnobMovement(const PanelStatus& status, int knob) {
    const int at = kFirstKnobByte + 2 * knob;
    return static_cast<int16_t>(status.bytes[at] | (status.bytes[at + 1] << 8));
}
// 0 = the fan has failed.
inline bool FanRunning(const PanelStatus& status) {
    return status.bytes[kFanByte] != 0;
}

// ---- Menu database ---------------------------------------------------------------------------

inline constexpr int kControlCount = 129;     // control ids 0..128
inline constexpr int kUnitSwitchCount = 128;  // switch ids 128..255
inline constexpr int kSwitchCount = 132;      // plus four local pseudo-switches
inline constexpr int kMenuCount = 65;         // menu numbers 0..64
inline constexpr int kMenuKnobs = 8;
inline constexpr int kMenuItems = 20;
inline constexpr int kLabelPairs = 3;
inline constexpr uint16_t kFirstSwitchId = 128;
inline constexpr uint16_t kEmptyItem = 255;

// Menu numbers beyond the unit's own 0..63: the panel's Effect Menu, the Custom Menu chooser
// and Custom Menus 1..4.
inline constexpr int32_t kEffectMenu = 64;
inline constexpr int32_t kCustomMenu = 65;
inline constexpr int32_t kLastCustomMenu = 69;

// Local pseudo-switches, acted on by the panel itself.
inline constexpr int kSwitchInsertKeyframe = 128;
inline constexpr int kSwitchDeleteKeyframe = 129;
inline constexpr int kSwitchRun = 130;
inline constexpr int kSwitchVelocityBreak = 131;

// Attribute bits of controls and switches.
inline constexpr uint32_t kAttrSingleStep = 0x100;
inline constexpr uint32_t kAttrNameCut = 0x1000;
inline constexpr uint32_t kAttrLocked = 0x2000;
inline constexpr uint32_t kAttrLocalValue = 0x4000;
inline constexpr uint32_t kAttrLocalStepped = 0x8000;
// Attribute bit of menus.
inline constexpr uint32_t kMenuAttrDialog = 0x400;

struct LabelPair {
    std::string first;
    std::string second;
};

// A continuous control: a knob value with a range.
struct ControlRecord {
    uint32_t id = 0;
    uint32_t type = 0;
    uint32_t attributes = 0;
    uint32_t mask = 0;
    int16_t minValue = 0;
    int16_t maxValue = 0;
    int16_t minDisplay = 0;
    int16_t maxDisplay = 0;
    int16_t value = 0;
    uint16_t value2 = 0;
    std::string name;
    std::array<LabelPair, kLabelPairs> labels;
};

// A control with discrete states.
struct SwitchRecord {
    uint32_t id = 0;
    uint32_t type = 0;
    uint32_t attributes = 0;
    uint32_t mask = 0;
    int16_t minValue = 0;
    int16_t maxValue = 0;
    uint16_t value = 0;
    uint16_t value2 = 0;
    uint32_t states = 0;
    std::string name;  // the state labels joined by ","
};

// One control group of the main panel.
struct MenuRecord {
    uint32_t id = 0;
    uint32_t type = 0;
    uint32_t attributes = 0;
    std::array<uint16_t, kMenuKnobs> knobs{};
    std::array<uint16_t, kMenuItems> items{};  // menu numbers or switch ids; 255 = empty
    std::string name;
    std::string title;
};

struct MenuDatabase {
    std::array<ControlRecord, kControlCount> controls;
    std::array<SwitchRecord, kSwitchCount> switches;  // indexed by switch id - 128
    std::array<MenuRecord, kMenuCount> menus;
};

extern MenuDatabase g_menuDatabase;

// ---- Unit messages ---------------------------------------------------------------------------

inline constexpr int kUnitMessageCount = 200;
inline constexpr uint32_t kMessageQuestion = 0x4000;  // answered with OK or Cancel

struct UnitMessageRecord {
    uint32_t id = 0;
    uint32_t code = 0;
    std::string text;
    std::string message;
};

extern std::array<UnitMessageRecord, kUnitMessageCount> g_unitMessages;

// ---- On-air lockout --------------------------------------------------------------------------

inline constexpr int kLockEntries = 128;
inline constexpr uint8_t kUnlocked = 2;  // any other value is locked

extern std::array<uint8_t, kLockEntries> g_controlLocks;  // per control id 0..127
extern std::array<uint8_t, kLockEntries> g_switchLocks;   // per switch index 0..127

// ---- File lists ------------------------------------------------------------------------------

inline constexpr int kMaxFiles = 100;
inline constexpr int kNameLength = 24;  // zero-padded on the wire
inline constexpr int kWireEntrySize = 28;

struct FileEntry {
    uint32_t fileId;  // its low byte is the file number file commands send
    uint32_t word2;
    char name[kNameLength];
};
static_assert(sizeof(FileEntry) == 32);

extern std::array<FileEntry, kMaxFiles> g_files;
extern std::array<FileEntry, kMaxFiles> g_userFiles;
extern uint32_t g_fileCount;
extern uint32_t g_userFileCount;

// ---- Effects ---------------------------------------------------------------------------------

inline constexpr int kMaxEffects = 100;
inline constexpr int kMaxAssignments = 32;
inline constexpr int kMaxKeyframes = 32;
inline constexpr int kEffectKnobSlots = 8;
inline constexpr int kEffectButtonSlots = 2;
inline constexpr uint8_t kNoControl = 128;  // empty knob slot
inline constexpr uint8_t kNoSwitch = 127;   // empty button slot

struct Keyframe {
    uint32_t frameTime;  // a 16-bit value from the unit
    uint8_t bytes[3];
};

struct EffectRecord {
    uint32_t effectId;
    uint32_t word2;
    char name[kNameLength];
    uint32_t keyframeCount;
    uint32_t currentKeyframe;  // 1-based
    uint32_t effectWord;
    uint32_t assignmentCount;
    uint8_t assignments[kMaxAssignments];
    Keyframe keyframes[kMaxKeyframes];  // entry i is keyframe i + 1
};

extern std::array<EffectRecord, kMaxEffects> g_effects;
extern uint32_t g_effectCount;
extern uint8_t g_currentEffect;
extern std::array<uint8_t, kEffectKnobSlots> g_effectKnobAssign;
extern std::array<uint8_t, kEffectButtonSlots> g_effectButtonAssign;

// ---- GPI sequences ---------------------------------------------------------------------------

inline constexpr int kMaxGpiSequences = 10;
inline constexpr int kMaxGpiEvents = 200;

struct GpiSequenceEntry {
    uint32_t sequenceId;
    uint32_t eventCount;
    char name[kNameLength];
};

// The detail of one sequence as a 430-byte wire image.
struct GpiSequenceDetail {
    uint8_t code;  // '_' of the answer that filled it
    uint8_t unitBytes[3];
    char name[kNameLength];
    uint8_t currentEvent;  // 1-based; 0 = none
    uint8_t eventCount;
    uint8_t eventFirst[kMaxGpiEvents];
    uint8_t eventFileId[kMaxGpiEvents];  // fileId of the g_files entry the event loads
};
static_assert(sizeof(GpiSequenceDetail) == 430);
static_assert(offsetof(GpiSequenceDetail, currentEvent) == 28);
static_assert(offsetof(GpiSequenceDetail, eventFileId) == 230);

extern std::array<GpiSequenceEntry, kMaxGpiSequences> g_gpiSequences;
extern uint32_t g_gpiSequenceCount;
extern std::array<GpiSequenceDetail, kMaxGpiSequences> g_gpiDetails;

// ---- Custom menus ----------------------------------------------------------------------------

inline constexpr int kCustomMenus = 5;  // 0..4; files carry 1..4
inline constexpr int kCustomKnobs = 8;
inline constexpr int kCustomButtons = 6;

using CustomKnobTable =
    std::array<std::array<std::array<uint8_t, kCustomKnobs>, kCustomMenus>, kUnitSlots>;
using CustomButtonTable =
    std::array<std::array<std::array<uint8_t, kCustomButtons>, kCustomMenus>, kUnitSlots>;

extern CustomKnobTable g_customKnobs;      // [unit][menu][knob]: control id, 128 = empty
extern CustomButtonTable g_customButtons;  // [unit][menu][button]: switch index, 127 = empty

// Empties the five custom menus of one unit number (0..4).
void ClearCustomMenus(int unitNumber);

// ---- File transfer ---------------------------------------------------------------------------

inline constexpr int kTransferBufferSize = 2800;

extern std::array<uint8_t, kTransferBufferSize> g_transferBuffer;
extern uint32_t g_transferLength;

// ---- Menu blocks -----------------------------------------------------------------------------

inline constexpr size_t kMenuBlockSize = 65536;
inline constexpr uint8_t kMenuBlockInvalid = 255;  // first byte: no valid menus

// The raw menu blob last downloaded from one unit (owned by the main panel).
struct MenuBlock {
    uint8_t bytes[kMenuBlockSize];
};
static_assert(sizeof(MenuBlock) == 65536);

// ---- Reset -----------------------------------------------------------------------------------

// Puts every table back to the state the panel starts in: all zero and empty, no unit selected,
// no effect assignments and every custom menu empty.
void ResetPanelState();
