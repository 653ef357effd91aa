// The menu database built from blobs the simulator's units encode, and from hostile ones.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

#include "link/Commands.h"
#include "link/MenuDatabase.h"
#include "platform/Clock.h"
#include "platform/PortIo.h"
#include "sim/BlobEncoder.h"
#include "sim/SimRig.h"

namespace {

SimControl Control(int id, const std::string& name, std::vector<SimLabelPair> labels = {}) {
    SimControl c;
    c.id = id;
    c.name = name;
    c.minValue = 0;
    c.maxValue = 1000;
    c.minDisplay = -10;
    c.maxDisplay = 10;
    c.labels = std::move(labels);
    return c;
}

SimProfile Keyer(uint8_t model) {
    SimProfile p;
    p.model = model;
    p.controls = {Control(1, "Clip#Key clip", {{"Lo", "Hi"}}), Control(2, "#Gain"),
                  Control(3, "Matte\nLevel", {{"a", "b"}, {"c", "d"}, {"e", "f"}})};
    for (int id = 93; id <= 98; ++id)
        p.controls.push_back(Control(id, "Input"));
    SimSwitch s;
    s.id = 161;
    s.maxValue = 1;
    s.states = {"Off#Mode", "On"};
    p.switches.push_back(s);
    s.id = 200;
    s.states = {"A", "B", "C"};
    p.switches.push_back(s);
    for (int id : {0, 26, 28, 40}) {
        SimMenu m;
        m.id = id;
        m.attributes = id == 26 ? 0x400 : 0;
        m.knobs = {1, 2, 3, 93, 128, 128, 128, 128};
        for (int i = 0; i < 20; ++i)
            m.items.push_back(i < 6 ? i : 161);
        m.name = "Menu " + std::to_string(id);
        m.title = "Title";
        p.menus.push_back(m);
    }
    p.messages = {{0, 0, "About", "Keyer^1.0"}, {7, 0x4000, "Erase", "Erase all files?"}};
    p.lockedControls = {2};
    p.lockedSwitches = {200};
    return p;
}

class MenuDatabaseTest : public testing::Test {
protected:
    void SetUp() override {
        ResetPanelState();
        SetPortIo(&rig.Port());
        SetClock(&clock);
        block = std::make_unique<MenuBlock>();
    }
    void TearDown() override {
        SetPortIo(nullptr);
        SetClock(nullptr);
    }

    // Unit 1 with profile is selected; its blob is put into the block and parsed.
    void Parse(const SimProfile& profile) {
        rig.AddUnit(1, profile);
        g_selectedUnit = 0x10;
        g_unitIdentity.ModelCode = profile.model;
        const auto blob = EncodeMenuBlob(profile);
        std::memcpy(block->bytes, blob.data(), blob.size());
        ParseMenuBlob(*block, IsModelGroupA(profile.model) ? 12 : 20);
    }

    SimRig rig;
    VirtualClock clock;
    std::unique_ptr<MenuBlock> block;
};

TEST_F(MenuDatabaseTest, RecordsAreBuiltAsTheUnitDescribesThem) {
    Parse(Keyer(11));
    const auto& c = g_menuDatabase.controls;
    EXPECT_EQ(c[1].name, "Clip");
    EXPECT_TRUE(c[1].attributes & kAttrNameCut);
    EXPECT_EQ(c[2].name, "#Gain");  // a '#' in first place is no suffix
    EXPECT_FALSE(c[2].attributes & kAttrNameCut);
    EXPECT_EQ(c[3].name, "Matte\r\nLevel");
    EXPECT_EQ(c[1].minDisplay, -10);
    // One pair fills the last slot only; three fill all.
    EXPECT_TRUE(c[1].labels[0].first.empty());
    EXPECT_EQ(c[1].labels[2].first, "Lo");
    EXPECT_EQ(c[1].labels[2].second, "Hi");
    EXPECT_EQ(c[3].labels[0].second, "b");
    EXPECT_EQ(c[3].labels[2].first, "e");

    const auto& s = g_menuDatabase.switches;
    EXPECT_EQ(s[33].name, "Off,On");
    EXPECT_TRUE(s[33].attributes & kAttrNameCut);
    EXPECT_EQ(s[33].states, 2u);
    EXPECT_EQ(s[72].name, "A,B,C");

    const MenuRecord& menu = g_menuDatabase.menus[26];
    EXPECT_EQ(menu.attributes, 0x400u);
    EXPECT_EQ(menu.items[19], 161);
    EXPECT_EQ(menu.knobs[3], 93);
    EXPECT_EQ(menu.name, "Menu 26");
    EXPECT_EQ(g_unitMessages[7].code, 0x4000u);
    EXPECT_EQ(g_unitMessages[7].message, "Erase all files?");
    EXPECT_EQ(g_unitMessages[0].message, "Keyer^1.0");

    // Lock bits from the unit's tables, and the panel's own switches.
    EXPECT_TRUE(c[2].attributes & kAttrLocked);
    EXPECT_FALSE(c[1].attributes & kAttrLocked);
    EXPECT_TRUE(s[72].attributes & kAttrLocked);
    EXPECT_EQ(s[kSwitchInsertKeyframe].name, "Insert\r\nKeyframe");
    EXPECT_EQ(s[kSwitchVelocityBreak].name, "Velocity\r\nBreak");
    EXPECT_EQ(s[kSwitchRun].type, 2u);
    EXPECT_EQ(s[kSwitchRun].states, 1u);
    EXPECT_EQ(g_unitIdentity.ModelCode, 11);
    EXPECT_FALSE(g_altMenus);
}

TEST_F(MenuDatabaseTest, GroupAUnitsFillTwelveSlotsAndGetTheirAdjustments) {
    g_menuDatabase.menus[0].items[15] = 77;  // a slot a group-A blob does not fill
    Parse(Keyer(5));
    EXPECT_EQ(g_menuDatabase.menus[0].items[11], 161);
    EXPECT_EQ(g_menuDatabase.menus[0].items[15], 77);
    const ControlRecord& input = g_menuDatabase.controls[95];
    EXPECT_TRUE(input.attributes & kAttrLocalStepped);
    EXPECT_EQ(input.minValue, -10);
    EXPECT_EQ(input.maxValue, 10);
    EXPECT_FALSE(g_menuDatabase.controls[92].attributes & kAttrLocalStepped);
    EXPECT_FALSE(g_altMenus);  // menu 40 counts only on an Elm
}

TEST_F(MenuDatabaseTest, ElmKeepsItsInputsAndHasTheAlternativeMenus) {
    Parse(Keyer(4));
    EXPECT_FALSE(g_menuDatabase.controls[95].attributes & kAttrLocalStepped);
    EXPECT_EQ(g_menuDatabase.controls[95].maxValue, 1000);
    EXPECT_TRUE(g_altMenus);

    SimProfile noForty = Keyer(4);
    noForty.menus.pop_back();
    Parse(noForty);
    EXPECT_FALSE(g_altMenus);  // menu 40 of the earlier parse does not count
}

TEST_F(MenuDatabaseTest, BirchAndAlderLoseTwoItemsOfMenus26And28) {
    for (uint8_t model : {7, 9, 5}) {
        ResetPanelState();
        Parse(Keyer(model));
        const bool blanked = model != 5;
        for (int menu : {26, 28}) {
            EXPECT_EQ(g_menuDatabase.menus[menu].items[3] == 255, blanked) << int(model);
            EXPECT_EQ(g_menuDatabase.menus[menu].items[4] == 255, blanked) << int(model);
            EXPECT_EQ(g_menuDatabase.menus[menu].items[5], 5);
        }
        EXPECT_EQ(g_menuDatabase.menus[0].items[3], 3);
    }
}

TEST_F(MenuDatabaseTest, CurrentStateLabelPicksTheLabelOfTheValue) {
    Parse(Keyer(11));
    std::string text = g_menuDatabase.switches[72].name;
    g_menuDatabase.switches[72].value = 2;
    CurrentStateLabel(72, text);
    EXPECT_EQ(text, "C");
    text = "Run";
    CurrentStateLabel(kSwitchRun, text);  // one state: unchanged
    EXPECT_EQ(text, "Run");
    text = "A,B";
    g_menuDatabase.switches[72].value = 5;  // no such label: unchanged
    CurrentStateLabel(72, text);
    EXPECT_EQ(text, "A,B");
}

TEST_F(MenuDatabaseTest, DownloadRetriesWithLinkResetsAndGivesUpAfterFive) {
    SimUnit& unit = rig.AddUnit(1, Keyer(11));
    g_selectedUnit = 0x10;
    unit.Faults().corruption = SimCorruption::WrongCode;
    unit.Faults().corruptCommand = 197;
    unit.Faults().corruptCount = 2;
    ASSERT_EQ(DownloadMenus(*block), kLinkOk);
    EXPECT_EQ(rig.Surface().Resets(), 4);
    EXPECT_EQ(std::memcmp(block->bytes, unit.Blob().data(), unit.Blob().size()), 0);
    EXPECT_EQ(clock.PausedMs(), 400u);

    unit.Faults().corruptCount = -1;
    EXPECT_EQ(DownloadMenus(*block), kLinkBadCode);
    EXPECT_EQ(unit.Received(197), 2 + 1 + 5);
    EXPECT_EQ(block->bytes[0], 0);  // cleared before each attempt
}

// What the panel should make of a profile's name: CR LF for a line break, a '#' suffix cut.
std::string WithCrLf(std::string text) {
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
        text.replace(at, 1, "\r\n");
    return text;
}

std::string Expected(std::string name, bool* cut) {
    name = WithCrLf(name);
    const size_t hash = name.find('#');
    *cut = hash != std::string::npos && hash > 0;
    if (*cut) name.resize(hash);
    return name;
}

// Every shipped unit, downloaded through the link and parsed: the records say what the
// profile says.
TEST_F(MenuDatabaseTest, ShippedProfilesDownloadAndParseAsDescribed) {
    auto standard = SimRig::Standard();
    SetPortIo(&standard->Port());
    for (int unit = 1; unit <= 3; ++unit) {
        ResetPanelState();
        const SimProfile& profile = standard->Unit(unit)->Profile();
        g_selectedUnit = AddressOfUnit(unit);
        g_unitIdentity.ModelCode = profile.model;
        ASSERT_EQ(DownloadMenus(*block), kLinkOk) << profile.name;
        const bool groupA = IsModelGroupA(profile.model);
        ParseMenuBlob(*block, groupA ? 12 : 20);
        for (const SimControl& c : profile.controls) {
            const ControlRecord& r = g_menuDatabase.controls[c.id];
            bool cut = false;
            EXPECT_EQ(r.name, Expected(c.name, &cut)) << profile.name << " control " << c.id;
            EXPECT_EQ(bool(r.attributes & kAttrNameCut), cut) << c.id;
            EXPECT_EQ(r.maxDisplay, c.maxDisplay) << c.id;
            const int pairs = static_cast<int>(c.labels.size());
            for (int k = 0; k < pairs; ++k)
                EXPECT_EQ(r.labels[3 - pairs + k].second, c.labels[k].second) << c.id;
        }
        for (const SimSwitch& s : profile.switches) {
            const SwitchRecord& r = g_menuDatabase.switches[s.id - 128];
            std::string joined;
            bool cut = false;
            for (size_t i = 0; i < s.states.size(); ++i)
                joined += i == 0 ? Expected(s.states[0], &cut) : "," + WithCrLf(s.states[i]);
            EXPECT_EQ(r.name, joined) << profile.name << " switch " << s.id;
            EXPECT_EQ(r.states, s.states.size()) << s.id;
        }
        for (const SimMenu& m : profile.menus) {
            const MenuRecord& r = g_menuDatabase.menus[m.id];
            EXPECT_EQ(r.name, WithCrLf(m.name)) << m.id;
            for (size_t i = 0; i < m.items.size(); ++i) {
                const bool blanked = (profile.model == 7 || profile.model == 9) &&
                                     (m.id == 26 || m.id == 28) && (i == 3 || i == 4);
                EXPECT_EQ(r.items[i], blanked ? 255 : m.items[i]) << m.id << " item " << i;
            }
        }
        for (const SimMessage& m : profile.messages)
            EXPECT_EQ(g_unitMessages[m.id].message, WithCrLf(m.message)) << m.id;
        EXPECT_EQ(g_altMenus, profile.model == 4);
    }
    SetPortIo(&rig.Port());
}

// Seven label pairs leave the last three; a switch section of one entry holds only the entry
// the panel skips.
TEST_F(MenuDatabaseTest, HandWrittenEntriesAtTheEdges) {
    rig.AddUnit(1, Keyer(11));
    g_selectedUnit = 0x10;
    std::vector<uint8_t> control = {0, 7, 0, 0, 0, 0, 0, 0, 0, 0,
                                    0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // nameFlag
                                    0, 0,                          // (word)
                                    0, 1,                          // extraFlag: an empty extra text
                                    0, 7,                          // pairCount 7
                                    0, 0};
    for (int k = 0; k < 7; ++k) {
        const uint8_t digit = static_cast<uint8_t>('0' + k);
        control.insert(control.end(), {0, 1, 0, 1, 0, 1, 'a', digit, 'b', digit});
    }
    std::vector<uint8_t> blob = {0, 0, 0, 0, 0, 1};
    const auto words = static_cast<uint8_t>((control.size() + 2) / 2);
    blob.insert(blob.end(), {0, words});
    blob.insert(blob.end(), control.begin(), control.end());
    blob.insert(blob.end(), {0, 1, 0, 2, 0, 200});  // one switch entry, skipped
    std::memcpy(block->bytes, blob.data(), blob.size());
    ParseMenuBlob(*block, 20);
    const ControlRecord& c = g_menuDatabase.controls[7];
    EXPECT_EQ(c.id, 7u);
    EXPECT_EQ(c.labels[0].first, "a4");
    EXPECT_EQ(c.labels[1].second, "b5");
    EXPECT_EQ(c.labels[2].first, "a6");
    EXPECT_EQ(g_menuDatabase.switches[72].id, 0u);
}

// Whatever the block holds: no read past its end, no write outside a table (the sanitizers
// watch), and an end to the parse.
// What a parse must leave behind whatever the block held: every record at its own index, the
// joined switch names bounded, the panel's own pseudo-switches as the panel defines them.
std::string TableFault() {
    for (int i = 0; i < kControlCount; ++i) {
        const ControlRecord& c = g_menuDatabase.controls[i];
        if (!c.name.empty() && c.id != static_cast<uint32_t>(i))
            return "control " + std::to_string(i) + " holds id " + std::to_string(c.id);
    }
    for (int i = 0; i < kUnitSwitchCount; ++i) {
        const SwitchRecord& s = g_menuDatabase.switches[i];
        if (s.name.size() > kMaxSwitchNameLength)
            return "switch " + std::to_string(i) + " name of " + std::to_string(s.name.size());
        if (!s.name.empty() && s.id != kFirstSwitchId + static_cast<uint32_t>(i))
            return "switch " + std::to_string(i) + " holds id " + std::to_string(s.id);
    }
    const char* const local[] = {"Insert\r\nKeyframe", "Delete\r\nKeyframe", "Run",
                                 "Velocity\r\nBreak"};
    for (int k = 0; k < 4; ++k)
        if (g_menuDatabase.switches[kSwitchInsertKeyframe + k].name != local[k])
            return "pseudo-switch " + std::to_string(k) + " renamed";
    for (int i = 0; i < kMenuCount; ++i) {
        const MenuRecord& m = g_menuDatabase.menus[i];
        if (m.id != 0 && m.id != static_cast<uint32_t>(i))
            return "menu " + std::to_string(i) + " holds id " + std::to_string(m.id);
    }
    for (int i = 0; i < kUnitMessageCount; ++i)
        if (g_unitMessages[i].id != 0 && g_unitMessages[i].id != static_cast<uint32_t>(i))
            return "message " + std::to_string(i) + " holds id " +
                   std::to_string(g_unitMessages[i].id);
    if (g_altMenus) return "alternative menus on a unit that is no Elm";
    return {};
}

TEST_F(MenuDatabaseTest, HostileBlocksNeverBreakThePanel) {
    rig.AddUnit(1, Keyer(11));
    g_selectedUnit = 0x10;
    std::mt19937 random(20261206);
    const auto good = EncodeMenuBlob(Keyer(11));
    int parses = 0;
    auto parse = [&](int slots) {
        ParseMenuBlob(*block, slots);
        ++parses;
        const std::string fault = TableFault();
        EXPECT_EQ(fault, "") << "parse " << parses;
        return fault.empty();
    };

    // The good blob cut at every 7th byte, the rest of the block zero or 0xFF.
    for (size_t cut = 0; cut < good.size(); cut += 7) {
        for (uint8_t fill : {0x00, 0xFF}) {
            std::memset(block->bytes, fill, sizeof block->bytes);
            std::memcpy(block->bytes, good.data(), cut);
            if (!parse(20)) return;
        }
    }
    // Random bytes, and random bytes after a valid beginning.
    for (int round = 0; round < 40; ++round) {
        for (auto& byte : block->bytes)
            byte = static_cast<uint8_t>(random());
        if (round % 2) std::memcpy(block->bytes, good.data(), good.size() / 2);
        if (!parse(round % 3 ? 20 : 12)) return;
    }
    // Huge counts of short entries.
    for (size_t i = 0; i < sizeof block->bytes; i += 2) {
        block->bytes[i] = 0;
        block->bytes[i + 1] = 1;
    }
    block->bytes[4] = 0xFF;
    block->bytes[5] = 0xFF;
    parse(20);

    // After all that, the good blob still parses whole.
    std::memset(block->bytes, 0, sizeof block->bytes);
    std::memcpy(block->bytes, good.data(), good.size());
    ResetPanelState();
    g_selectedUnit = 0x10;
    parse(20);
    EXPECT_EQ(g_menuDatabase.controls[1].name, "Clip");
    EXPECT_EQ(g_menuDatabase.menus[26].name, "Menu 26");
    EXPECT_EQ(g_unitMessages[7].message, "Erase all files?");
}

// A blob written byte by byte: entries whose length word counts only itself, so that where the
// next one begins depends on the parser reading each entry's content exactly.
class HandBlob {
public:
    HandBlob& W(uint16_t word) {
        bytes.push_back(static_cast<uint8_t>(word >> 8));
        bytes.push_back(static_cast<uint8_t>(word & 0xFF));
        return *this;
    }
    HandBlob& Text(const std::string& text) {
        bytes.insert(bytes.end(), text.begin(), text.end());
        return *this;
    }
    std::vector<uint8_t> bytes;
};

TEST_F(MenuDatabaseTest, StateTailsMenuTailsAndEmptyMessageTextsAreReadExactly) {
    rig.AddUnit(1, Keyer(11));
    g_selectedUnit = 0x10;
    g_unitIdentity.ModelCode = kModelCedar;
    HandBlob b;
    b.W(0).W(0);  // header
    b.W(0);       // no controls
    b.W(2);       // two switches; the last is skipped
    b.W(1).W(161).W(2).W(0).W(0).W(0).W(0).W(1).W(0).W(2);
    b.W(0x8000).W(2).W(1).Text(std::string("Off\0", 4)).Text(std::string("tip\0\0\0", 6));
    b.W(0x8001).W(2).W(0).Text(" On ");
    b.W(3).W(200).W(0);  // skipped by its length
    b.W(2);              // two menus
    b.W(1).W(5).W(0).W(0);
    for (int k = 0; k < 8; ++k)
        b.W(128);
    b.Text(std::string(8, '\x11'));
    for (int i = 0; i < 20; ++i)
        b.W(255);
    b.W(2).W(1).W(3).Text("Keys").Text("Ky").Text(std::string(6, '\xEE'));
    b.W(1).W(6).W(0).W(0);
    for (int k = 0; k < 8; ++k)
        b.W(128);
    b.Text(std::string(8, '\0'));
    for (int i = 0; i < 20; ++i)
        b.W(255);
    b.W(2).W(0).W(0).Text("Next");
    for (int section = 0; section < 5; ++section)
        b.W(0);
    b.W(2);  // two messages: the first without a short text
    b.W(1).W(3).W(0).W(0x4000).W(0).W(0).W(0).W(0).W(0);
    b.W(0).W(0).W(0).W(0).W(0).W(0).W(4).Text("Sure?   ");
    b.W(1).W(4).W(0).W(0).W(0).W(1).W(0).W(0).W(0).Text("ok");
    b.W(0).W(0).W(0).W(0).W(0).W(0).W(1).Text("Hi");
    std::memcpy(block->bytes, b.bytes.data(), b.bytes.size());
    ParseMenuBlob(*block, 20);

    const SwitchRecord& sw = g_menuDatabase.switches[161 - 128];
    EXPECT_EQ(sw.id, 161u);
    EXPECT_EQ(sw.states, 2u);
    EXPECT_EQ(sw.name, "Off,On");
    EXPECT_TRUE(g_menuDatabase.switches[200 - 128].name.empty());
    EXPECT_EQ(g_menuDatabase.menus[5].name, "Keys");
    EXPECT_EQ(g_menuDatabase.menus[5].title, "Ky");
    EXPECT_EQ(g_menuDatabase.menus[6].id, 6u);
    EXPECT_EQ(g_menuDatabase.menus[6].name, "Next");
    EXPECT_EQ(g_menuDatabase.menus[6].items[19], 255);
    EXPECT_EQ(g_unitMessages[3].text, "");
    EXPECT_EQ(g_unitMessages[3].code, 0x4000u);
    EXPECT_EQ(g_unitMessages[3].message, "Sure?");
    EXPECT_EQ(g_unitMessages[4].text, "ok");
    EXPECT_EQ(g_unitMessages[4].message, "Hi");
}

}  // namespace
