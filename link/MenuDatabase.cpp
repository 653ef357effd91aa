#include "link/MenuDatabase.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "link/BlobReader.h"
#include "link/Commands.h"
#include "link/LinkStats.h"
#include "platform/Clock.h"

bool g_altMenus = false;

namespace {

constexpr size_t kHeaderBytes = 4;
constexpr int kSkippedSections = 5;
constexpr size_t kMenuReservedBytes = 8;
constexpr int kMaxControlId = 128;
constexpr int kMaxMenuId = 64;
constexpr int kAdjustedControlFirst = 93;
constexpr int kAdjustedControlLast = 98;
constexpr std::array<int, 2> kBlankedMenus = {26, 28};
constexpr std::array<int, 2> kBlankedItems = {3, 4};

// Cuts a '#' suffix (found at position 1 or later) off a name and says whether it did.
bool CutSuffix(std::string& name) {
    const size_t hash = name.find('#');
    if (hash == std::string::npos || hash == 0) return false;
    name.resize(hash);
    return true;
}

void SetBit(uint32_t& word, uint32_t bit, bool on) {
    word = on ? (word | bit) : (word & ~bit);
}

// Where the next entry begins: by the entry's length, unless its content ran further.
void NextEntry(BlobReader& r, size_t start, uint16_t lengthWords) {
    const size_t byLength = start + 2u * lengthWords;
    if (r.Position() < byLength) r.MoveTo(byLength);
}

// The fields controls and switches share, in the order the blob gives them.
template <typename Record>
void ReadCommonFields(BlobReader& r, Record& record, uint16_t id) {
    record.id = id;
    record.type = r.Word();
    record.attributes = r.Word();
    const uint32_t maskHigh = r.Word();
    record.mask = maskHigh << 16 | r.Word();
    record.minValue = static_cast<int16_t>(r.Word());
    record.maxValue = static_cast<int16_t>(r.Word());
}

void ParseControl(BlobReader& r) {
    const uint16_t id = r.Word();
    // A control the tables have no room for is passed over.
    if (id > kMaxControlId) return;
    ControlRecord& c = g_menuDatabase.controls[id];
    ReadCommonFields(r, c, id);
    c.minDisplay = static_cast<int16_t>(r.Word());
    c.maxDisplay = static_cast<int16_t>(r.Word());
    const uint16_t nameFlag = r.Word();
    r.Word();
    const uint16_t extraFlag = r.Word();
    const uint16_t pairCount = r.Word();
    if (nameFlag) {
        std::string name = Trimmed(r.ZeroText());
        SetBit(c.attributes, kAttrNameCut, CutSuffix(name));
        c.name = name;
        r.SkipZeros();
    }
    if (extraFlag) {
        r.ZeroText();
        r.SkipZeros();
    }
    if (pairCount == 0 || r.Failed()) return;
    // The pairs begin one byte back: the high byte of their first word is zero and was taken
    // for padding. They fill the last slots; more than three leave only the last three.
    r.Back(1);
    for (int k = 0; k < pairCount && !r.Failed(); ++k) {
        r.Word();
        const uint16_t firstWords = r.Word();
        const uint16_t secondWords = r.Word();
        std::string first = r.CountedText(firstWords);
        std::string second = r.CountedText(secondWords);
        const int slot = kLabelPairs - pairCount + k;
        if (slot >= 0 && !r.Failed()) c.labels[slot] = {std::move(first), std::move(second)};
    }
}

void ParseSwitch(BlobReader& r) {
    const uint16_t id = r.Word();
    if (id < kFirstSwitchId || id >= kFirstSwitchId + kUnitSwitchCount) return;
    SwitchRecord& s = g_menuDatabase.switches[id - kFirstSwitchId];
    ReadCommonFields(r, s, id);
    const uint16_t textFlag = r.Word();
    s.states = r.Word();
    if (textFlag) {
        r.ZeroText();
        r.SkipZeros();
    }
    std::string name;
    for (uint32_t state = 0; state < s.states && !r.Failed(); ++state) {
        r.Word();
        const uint16_t labelWords = r.Word();
        const uint16_t tailFlag = r.Word();
        std::string label = labelWords ? r.CountedText(labelWords) : std::string();
        if (state == 0) {
            SetBit(s.attributes, kAttrNameCut, CutSuffix(label));
            name = label;
        } else if (name.size() + 1 + label.size() <= kMaxSwitchNameLength) {
            name += ',' + label;
        }
        if (tailFlag) {
            r.ZeroText();
            r.SkipZeros();
        }
    }
    s.name = name.substr(0, kMaxSwitchNameLength);
}

void ParseMenu(BlobReader& r, int itemSlots) {
    const uint16_t id = r.Word();
    if (id > kMaxMenuId) return;
    MenuRecord& m = g_menuDatabase.menus[id];
    m.id = id;
    m.type = r.Word();
    m.attributes = r.Word();
    for (uint16_t& knob : m.knobs)
        knob = r.Word();
    r.Skip(kMenuReservedBytes);
    for (int i = 0; i < itemSlots; ++i)
        m.items[i] = r.Word();
    const uint16_t nameWords = r.Word();
    const uint16_t titleWords = r.Word();
    const uint16_t tailWords = r.Word();
    m.name = r.CountedText(nameWords);
    m.title = r.CountedText(titleWords);
    r.Skip(2u * tailWords);
}

void ParseMessage(BlobReader& r) {
    const uint16_t id = r.Word();
    if (id >= kUnitMessageCount) return;
    UnitMessageRecord& m = g_unitMessages[id];
    m.id = id;
    r.Word();
    m.code = r.Word();
    r.Word();
    const uint16_t textWords = r.Word();
    r.Skip(3 * 2);
    if (textWords) m.text = r.CountedText(textWords);
    r.Skip(6 * 2);
    const uint16_t messageWords = r.Word();
    if (messageWords) m.message = r.CountedText(messageWords);
}

// Reads a section's count and hands each entry to parse (or skips it when parse is empty).
template <typename Parse>
void ParseSection(BlobReader& r, Parse parse, bool skipLast = false) {
    const uint16_t count = r.Word();
    for (uint16_t i = 0; i < count && !r.Failed(); ++i) {
        const size_t start = r.Position();
        const uint16_t length = r.Word();
        if (!(skipLast && i + 1 == count)) parse(r);
        NextEntry(r, start, length);
    }
}

void ApplyModelAdjustments() {
    const uint8_t model = g_unitIdentity.ModelCode;
    if (IsModelGroupA() && model != kModelElm) {
        // These controls live in the panel and step between their display values.
        for (int id = kAdjustedControlFirst; id <= kAdjustedControlLast; ++id) {
            ControlRecord& c = g_menuDatabase.controls[id];
            c.attributes |= kAttrLocalStepped;
            c.maxValue = c.maxDisplay;
            c.minValue = c.minDisplay;
        }
    }
}

void DefineLocalSwitches() {
    DefineLocalSwitch(kSwitchInsertKeyframe, "Insert\r\nKeyframe", 0, 1, 2, 1, 0, 0, 0, 0);
    DefineLocalSwitch(kSwitchDeleteKeyframe, "Delete\r\nKeyframe", 0, 1, 2, 1, 0, 0, 0, 0);
    DefineLocalSwitch(kSwitchRun, "Run", 0, 1, 2, 1, 0, 0, 0, 0);
    DefineLocalSwitch(kSwitchVelocityBreak, "Velocity\r\nBreak", 0, 1, 2, 1, 0, 0, 0, 0);
}

}  // namespace

LinkStatus DownloadMenus(MenuBlock& block) {
    const uint32_t start = TheClock().TickMs();
    LinkStatus status = kLinkOk;
    int attempts = 0;
    while (attempts < kMenuDownloadAttempts) {
        ++attempts;
        std::memset(block.bytes, 0, sizeof block.bytes);
        status = QueryMenuReady();
        if (status == kLinkOk) status = DownloadMenuBlob(block);
        if (status == kLinkOk) break;
        ResetLinkTwice();
    }
    CountMenuDownload(UnitNumber(g_selectedUnit), TheClock().TickMs() - start, attempts);
    return status;
}

void ParseMenuBlob(const MenuBlock& block, int itemSlots) {
    itemSlots = std::clamp(itemSlots, 0, kMenuItems);
    g_menuDatabase.menus[kAltMenuMarker].id = 0;

    BlobReader r(block.bytes, sizeof block.bytes);
    r.Skip(kHeaderBytes);
    ParseSection(r, ParseControl);
    ParseSection(r, ParseSwitch, true);
    ParseSection(r, [itemSlots](BlobReader& reader) { ParseMenu(reader, itemSlots); });
    for (int i = 0; i < kSkippedSections; ++i)
        ParseSection(r, [](BlobReader&) {});
    ParseSection(r, ParseMessage);

    ApplyModelAdjustments();
    RefreshLockBits();

    Identify(g_selectedUnit, g_unitIdentity);
    const uint8_t model = g_unitIdentity.ModelCode;
    if (model == kModelAlder || model == kModelBirch) {
        for (int menu : kBlankedMenus)
            for (int item : kBlankedItems)
                g_menuDatabase.menus[menu].items[item] = kEmptyItem;
    }
    g_altMenus = g_menuDatabase.menus[kAltMenuMarker].id != 0 && model == kModelElm;
    DefineLocalSwitches();
}

void RefreshLockBits() {
    ReadLockTables();
    for (int i = 0; i < kLockEntries; ++i) {
        ControlRecord& c = g_menuDatabase.controls[i];
        if (c.id != 128) SetBit(c.attributes, kAttrLocked, g_controlLocks[i] != kUnlocked);
        SwitchRecord& s = g_menuDatabase.switches[i];
        if (s.id != 127) SetBit(s.attributes, kAttrLocked, g_switchLocks[i] != kUnlocked);
    }
}

void DefineLocalSwitch(int index, const std::string& name, uint32_t id, uint32_t attributes,
                       uint32_t type, uint32_t states, uint16_t value, uint16_t value2,
                       int16_t minValue, int16_t maxValue) {
    if (index < 0 || index >= kSwitchCount) return;
    SwitchRecord& s = g_menuDatabase.switches[index];
    s.name = name;
    s.id = id;
    s.attributes = attributes;
    s.type = type;
    s.states = states;
    s.value = value;
    s.value2 = value2;
    s.minValue = minValue;
    s.maxValue = maxValue;
}

void CurrentStateLabel(int switchIndex, std::string& text) {
    if (switchIndex < 0 || switchIndex >= kSwitchCount) return;
    const SwitchRecord& s = g_menuDatabase.switches[switchIndex];
    if (s.states <= 1) return;
    std::vector<std::string> labels;
    size_t from = 0;
    while (labels.size() < kMaxStateLabels) {
        const size_t comma = text.find(',', from);
        labels.push_back(text.substr(from, comma == std::string::npos ? comma : comma - from));
        if (comma == std::string::npos) break;
        from = comma + 1;
    }
    // A value beyond the labels would have no label to show; the text stays as it is.
    if (s.value < labels.size()) text = labels[s.value];
}

const SwitchRecord* SlotSwitch(int menu, int slot) {
    const int carried = IsModelGroupA() ? kGroupAItemSlots : kItemSlots;
    if (menu < 0 || menu >= kMenuCount || slot < 0 || slot >= carried) return nullptr;
    const uint16_t item = g_menuDatabase.menus[menu].items[slot];
    if (item < kFirstSwitchId || item >= kEmptyItem) return nullptr;
    const SwitchRecord& record = g_menuDatabase.switches[item - kFirstSwitchId];
    return record.id == item ? &record : nullptr;
}
