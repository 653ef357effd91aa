// Profiles of the simulated Main Units: the shipped ones must carry everything the panel relies
// on, and unusable profile text must be refused with a reason.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sim/SimProfile.h"

namespace {

bool GroupA(int model) {
    return model == 4 || model == 5 || model == 7 || model == 9;
}

template <typename T>
const T* ById(const std::vector<T>& records, int id) {
    for (const T& r : records)
        if (r.id == id) return &r;
    return nullptr;
}

// A JSON array of n empty item slots.
std::string EmptySlots(int n) {
    std::string json = "[255";
    for (int i = 1; i < n; ++i)
        json += ", 255";
    return json + "]";
}

std::vector<SimProfile> AllShipped() {
    std::vector<SimProfile> all;
    for (const std::string& name : ShippedProfileNames())
        all.push_back(ShippedProfile(name));
    return all;
}

TEST(SimProfileShipped, ThreeProfilesLoadUnderTheirNames) {
    const std::vector<std::string> names = ShippedProfileNames();
    ASSERT_EQ(names, (std::vector<std::string>{"birch", "cedar", "elm"}));
    const std::map<std::string, int> models = {{"birch", 7}, {"cedar", 11}, {"elm", 4}};
    for (const std::string& name : names) {
        SimProfile p;
        std::string error;
        EXPECT_TRUE(LoadSimProfile(":/sim/profiles/" + name + ".json", &p, &error))
            << name << ": " << error;
        EXPECT_EQ(p.model, models.at(name)) << name;
        EXPECT_EQ(ShippedProfile(name).model, p.model) << name;
    }
}

TEST(SimProfileShipped, UnknownNameIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(ShippedProfile("no-such-unit"), "no-such-unit");
}

// The ids the panel's keys, lamps, dialogs and info panel use, with the kind they must have.
TEST(SimProfileShipped, PanelIdsExistWithTheRightKind) {
    for (const SimProfile& p : AllShipped()) {
        SCOPED_TRACE(p.name);
        for (int id : {59, 60, 61, 101, 93, 94, 95, 96, 114})
            EXPECT_NE(ById(p.controls, id), nullptr) << "control " << id;
        std::vector<int> switches = {129, 130, 132, 161, 163, 168, 174, 211, 214, 250};
        for (int id = 216; id <= 227; ++id)
            switches.push_back(id);
        for (int id : switches)
            EXPECT_NE(ById(p.switches, id), nullptr) << "switch " << id;
        for (int id : {0, 7, 11, 15, 17, 18, 26, 30, 31, 32, 33, 37, 45, 46})
            EXPECT_NE(ById(p.menus, id), nullptr) << "menu " << id;
        EXPECT_NE(ById(p.menus, p.currentMenu), nullptr);
        EXPECT_EQ(ById(p.menus, 40) != nullptr, p.model == 4) << "alternative menus";
        EXPECT_EQ(ById(p.menus, 41) != nullptr, p.model == 4) << "alternative menus";
        EXPECT_EQ((p.flags & 64) != 0, p.model == 11) << "reference video";
        EXPECT_TRUE(std::any_of(p.messages.begin(), p.messages.end(), [](const SimMessage& m) {
            return m.code & 0x4000;
        })) << "a question";
        EXPECT_NE(ById(p.messages, p.effectSavedMessage), nullptr);
        ASSERT_FALSE(p.title.empty());
        ASSERT_FALSE(p.unitText.empty());
    }
}

// Message 0 is the About template: from its first 'U' on, one '^' per value the panel fills in,
// and the unit information holds enough lines for the markers its count announces.
TEST(SimProfileShipped, AboutTemplateMatchesTheUnitInformation) {
    for (const SimProfile& p : AllShipped()) {
        SCOPED_TRACE(p.name);
        const SimMessage* about = ById(p.messages, 0);
        ASSERT_NE(about, nullptr);
        const size_t u = about->message.find('U');
        ASSERT_NE(u, std::string::npos);
        const auto markers = std::count(about->message.begin() + u, about->message.end(), '^');
        ASSERT_GE(p.unitInfo.size(), 4u);
        const bool altMenus = p.model == 4 && ById(p.menus, 40);
        int expected = static_cast<signed char>(p.unitInfo[0]);
        if (p.model != 4 && p.model != 9) --expected;
        if (altMenus) --expected;
        EXPECT_EQ(markers, expected);
        const size_t header = p.model == 9 ? 2 : (p.model == 4 && !altMenus ? 1 : 3);
        int lines = 0;
        bool inLine = false;
        for (size_t i = header; i < p.unitInfo.size(); ++i) {
            const bool text = p.unitInfo[i] != '\n' && p.unitInfo[i] != '\0';
            if (text && !inLine) ++lines;
            inLine = text;
        }
        EXPECT_GE(lines, markers - 2) << "two markers take the panel's version and date";
    }
}

// Item slots: menu buttons hold menu numbers, function slots hold switch ids, 255 is empty. The
// routing and Monitor dialogs (menus 17, 45, 46) are on every unit with 20 slots and on a
// group-A unit, whose 12 slots carry inputs 1 and 2 and two monitor switches.
TEST(SimProfileShipped, MenusFitTheModelAndReferToDefinedRecords) {
    int groupADialogUnits = 0;
    for (const SimProfile& p : AllShipped()) {
        SCOPED_TRACE(p.name);
        const bool groupA = GroupA(p.model);
        const size_t slotCount = groupA ? 12 : 20;
        const size_t firstFunction = groupA ? 6 : 10;
        for (const SimMenu& m : p.menus) {
            SCOPED_TRACE("menu " + std::to_string(m.id));
            ASSERT_EQ(m.items.size(), slotCount);
            for (size_t i = 0; i < slotCount; ++i) {
                const int item = m.items[i];
                if (item == 255) continue;
                if (i < firstFunction) {
                    EXPECT_TRUE(item >= 1 && item <= 63 && ById(p.menus, item)) << "slot " << i;
                } else {
                    EXPECT_TRUE(item > 128 && ById(p.switches, item)) << "slot " << i;
                }
            }
            for (int knob : m.knobs)
                EXPECT_TRUE(knob == 128 || ById(p.controls, knob)) << knob;
            const bool dialog = m.attributes & 0x400;
            const bool dialogMenu = m.id == 17 || m.id == 45 || m.id == 46;
            if (groupA)
                EXPECT_TRUE(!dialog || dialogMenu);
            else
                EXPECT_EQ(dialog, dialogMenu);
        }
        EXPECT_EQ(ById(p.menus, 37)->items[11], 250) << "tally switch of the lockout dialog";
        if (groupA) {
            const SimMenu& monitor = *ById(p.menus, 45);
            const SimMenu& input = *ById(p.menus, 46);
            if ((monitor.attributes & 0x400) && (input.attributes & 0x400)) {
                ++groupADialogUnits;
                for (int slot : {10, 11}) {
                    EXPECT_NE(ById(p.switches, monitor.items[slot]), nullptr) << slot;
                    EXPECT_NE(ById(p.switches, input.items[slot]), nullptr) << slot;
                }
            }
            continue;
        }
        const SimMenu& gpi = *ById(p.menus, 32);
        EXPECT_NE(ById(p.controls, gpi.knobs[0]), nullptr) << "dwell time";
        EXPECT_NE(ById(p.controls, gpi.knobs[1]), nullptr) << "GPI select";
        for (int slot : {10, 11})
            EXPECT_NE(ById(p.switches, gpi.items[slot]), nullptr);
        for (int slot : {10, 11, 12, 13}) {
            EXPECT_NE(ById(p.switches, ById(p.menus, 45)->items[slot]), nullptr) << slot;
            const SimSwitch* input = ById(p.switches, ById(p.menus, 46)->items[slot]);
            ASSERT_NE(input, nullptr) << slot;
            EXPECT_GE(input->value, 1) << "the info panel shows state label 1 on";
        }
        for (int slot : {14, 15, 16, 17, 18, 19})
            EXPECT_NE(ById(p.switches, ById(p.menus, 46)->items[slot]), nullptr) << slot;
        for (int slot : {14, 15, 17, 18})
            EXPECT_NE(ById(p.switches, ById(p.menus, 17)->items[slot]), nullptr) << slot;
    }
    EXPECT_GE(groupADialogUnits, 1);
}

// The Cedar's input and output sources are knobs of the Input Select menu and buttons of its
// routing menus at once; the other units have no setting twice.
TEST(SimProfileShipped, SettingsThatAppearTwiceAreLinked) {
    const std::map<int, int> cedar = {{93, 200}, {94, 201}, {95, 202}, {97, 196}, {98, 197}};
    for (const std::string& name : ShippedProfileNames()) {
        const SimProfile p = ShippedProfile(name);
        std::map<int, int> links;
        for (const SimControl& c : p.controls)
            if (c.linkedSwitch && c.linkOffset == 0) links[c.id] = c.linkedSwitch;
        EXPECT_EQ(links, name == "cedar" ? cedar : decltype(cedar)()) << name;
        EXPECT_GT(p.adjustFullRange, 0) << name << " scales its knobs";
    }
}

TEST(SimProfileShipped, StartStateIsConsistent) {
    for (const SimProfile& p : AllShipped()) {
        SCOPED_TRACE(p.name);
        for (const SimControl& c : p.controls) {
            EXPECT_TRUE(c.minValue <= c.value && c.value <= c.maxValue) << "control " << c.id;
            EXPECT_TRUE(c.minValue <= c.resetValue && c.resetValue <= c.maxValue) << c.id;
        }
        for (const SimSwitch& s : p.switches) {
            ASSERT_FALSE(s.states.empty()) << "switch " << s.id;
            EXPECT_TRUE(s.minValue <= s.value && s.value <= s.maxValue) << "switch " << s.id;
            if (s.states.size() > 1) {
                EXPECT_LT(s.maxValue, static_cast<int>(s.states.size())) << "switch " << s.id;
            }
        }
        std::set<int> fileIds;
        for (const SimFile& f : p.files)
            fileIds.insert(f.id);
        for (const SimGpiSequence& g : p.gpiSequences)
            for (const auto& event : g.events)
                EXPECT_TRUE(fileIds.count(event[1])) << g.name;
        EXPECT_FALSE(p.gpiSequences.empty());
        for (const SimFile& f : p.userFiles) {
            EXPECT_LE(f.customMenus.size(), GroupA(p.model) ? 3u : 4u) << f.name;
            for (const SimCustomMenu& cm : f.customMenus) {
                for (int k : cm.knobs)
                    EXPECT_TRUE(k == 128 || ById(p.controls, k)) << f.name;
                for (int b : cm.buttons)
                    EXPECT_TRUE(b == 127 || (b > 0 && ById(p.switches, b + 128)))
                        << f.name << " " << b;
            }
        }
        for (const SimEffect& e : p.effects)
            for (int a : e.assignments)
                EXPECT_TRUE(a <= 128 ? ById(p.controls, a) != nullptr
                                     : ById(p.switches, a) != nullptr)
                    << e.name << " assigns " << a;
        // File, effect and GPI names travel in 24-byte fields that end with a zero.
        std::vector<std::string> listNames;
        for (const auto& f : p.files)
            listNames.push_back(f.name);
        for (const auto& f : p.userFiles)
            listNames.push_back(f.name);
        for (const auto& e : p.effects)
            listNames.push_back(e.name);
        for (const auto& g : p.gpiSequences)
            listNames.push_back(g.name);
        for (const std::string& n : listNames)
            EXPECT_LE(n.size(), 23u) << n;
    }
}

// The keys whose struct fields are named differently, the widest numbers and the nested records.
TEST(SimProfileParse, ReadsFieldsAndKeepsDefaults) {
    SimProfile p;
    std::string error;
    ASSERT_TRUE(ParseSimProfile(R"({"model": 9})", &p, &error)) << error;
    EXPECT_EQ(p.model, 9);
    EXPECT_TRUE(p.controls.empty() && p.menus.empty() && p.title.empty());

    const std::string json = R"({
        "model": 11, "unitInfo": "\u0003\u0001x",
        "switches": [{"id": 254, "min": 1, "max": 2, "states": ["In#I", "SDI 1"], "value": 2}],
        "menus": [{"id": 63, "knobs": [128, 128, 128, 128, 128, 128, 128, 0], "items": [255, 63]}],
        "messages": [{"id": 199, "code": 16384}],
        "userFiles": [{"id": 1, "customMenus": [{"buttons": [126, 127, 127, 127, 127, 0]}]}],
        "effects": [{"id": 1, "keyframes": [{"time": 65535, "bytes": [1, 2, 3]}]}],
        "gpiSequences": [{"id": 1, "current": 2, "events": [[0, 2], [1, 2]]}],
        "locks": {"switches": [254]}, "effectSavedMessage": 199, "adjustFullRange": 65535,
        "controls": [{"id": 128, "mask": 4294967295, "min": -32768, "displayMin": -100,
                      "displayMax": 100, "labels": [["A", "B"], ["C", "D"]], "reset": 7},
                     {"id": 3, "min": 2, "max": 3, "value": 3, "linkedSwitch": 254,
                      "linkOffset": 1}] })";
    ASSERT_TRUE(ParseSimProfile(json, &p, &error)) << error;
    EXPECT_EQ(p.unitInfo, std::string("\x03\x01x"));
    const SimControl& c = p.controls.at(0);
    EXPECT_EQ(c.mask, 0xFFFFFFFFu);
    EXPECT_EQ(c.minValue, -32768);
    EXPECT_EQ(c.minDisplay, -100);
    EXPECT_EQ(c.maxDisplay, 100);
    EXPECT_EQ(c.resetValue, 7);
    EXPECT_EQ(c.labels.at(1).first, "C");
    EXPECT_EQ(p.switches.at(0).states, (std::vector<std::string>{"In#I", "SDI 1"}));
    EXPECT_EQ(p.menus.at(0).knobs[7], 0);
    EXPECT_EQ(p.menus.at(0).items, (std::vector<int>{255, 63}));
    EXPECT_EQ(p.userFiles.at(0).customMenus.at(0).buttons[0], 126);
    EXPECT_EQ(p.userFiles.at(0).customMenus.at(0).knobs[0], 128);
    EXPECT_EQ(p.effects.at(0).keyframes.at(0).time, 65535);
    EXPECT_EQ(p.effects.at(0).keyframes.at(0).bytes[2], 3);
    EXPECT_EQ(p.gpiSequences.at(0).events.at(1)[0], 1);
    EXPECT_EQ(p.lockedSwitches, (std::vector<int>{254}));
    EXPECT_EQ(p.adjustFullRange, 65535);
    EXPECT_EQ(p.controls.at(0).linkedSwitch, 0);
    EXPECT_EQ(p.controls.at(1).linkedSwitch, 254);
    EXPECT_EQ(p.controls.at(1).linkOffset, 1);
}

// Each case: the profile text and a piece of the reason it must be refused with.
TEST(SimProfileParse, RefusesUnusableInputWithAReason) {
    const std::string name201(201, 'n');
    struct Case {
        std::string json;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"{\"model\": 4", "not JSON"},
        {"[1, 2]", "not a JSON object"},
        {R"({"name": "x"})", "missing \"model\""},
        {R"({"model": "4"})", "\"model\" is not a number"},
        {R"({"model": 0})", "\"model\" 0 is outside 1..255"},
        // Far beyond any integer type: told in exponent form, not converted.
        {R"({"model": 1e300})", "\"model\" 1e+300 is outside 1..255"},
        {R"({"model": -1e19})", "\"model\" -1e+19 is outside 1..255"},
        {R"({"model": 4.5})", "not an integer"},
        {R"({"model": 4, "controls": [{"id": 129}]})", "outside 0..128"},
        {R"({"model": 4, "switches": [{"id": 127}]})", "outside 128..254"},
        {R"({"model": 4, "switches": [{"id": 255}]})", "outside 128..254"},
        {R"({"model": 4, "menus": [{"id": 64}]})", "outside 0..63"},
        {R"({"model": 4, "messages": [{"id": 200}]})", "outside 0..199"},
        {R"({"model": 4, "controls": [{"id": 1, "labels": [["a","b"],["c","d"],["e","f"],["g","h"]]}]})",
         "4 label pairs"},
        {R"({"model": 4, "menus": [{"id": 1, "knobs": [128, 128, 128, 128, 128, 128, 128]}]})",
         "7 entries, not 8"},
        {R"({"model": 11, "menus": [{"id": 1, "items": )" + EmptySlots(21) + "}]}", "at most 20"},
        {R"({"model": 4, "menus": [{"id": 1, "items": )" + EmptySlots(13) + "}]}", "holds 12"},
        {R"({"model": 4, "controls": [{"id": 1, "name": ")" + name201 + "\"}]}", "201 bytes long"},
        {R"({"model": 4, "controls": [{"id": 5}, {"id": 5}]})", "control 5: duplicate id"},
        {R"({"model": 4, "menus": [{"id": 5}, {"id": 5}]})", "menu 5: duplicate id"},
        {R"({"model": 4, "controls": [{"id": 5, "atributes": 1}]})", "unknown key \"atributes\""},
        {R"({"model": 4, "locks": {"controls": [7]}})", "control 7 is not defined"},
        {R"({"model": 4, "gpiSequences": [{"id": 1, "current": 2, "events": [[0, 1]]}]})",
         "\"current\" 2 is outside 0..1"},
        {R"({"model": 4, "effectSavedMessage": 3})", "names no message"},
        {R"({"model": 4, "adjustFullRange": -1})", "\"adjustFullRange\" -1 is outside 0..65535"},
        {R"({"model": 4, "controls": [{"id": 93, "linkedSwitch": 127}]})", "outside 128..254"},
        {R"({"model": 4, "controls": [{"id": 93, "linkedSwitch": 200}]})",
         "control 93: \"linkedSwitch\" switch 200 is not defined"},
        {R"({"model": 4, "switches": [{"id": 200, "max": 3}],
             "controls": [{"id": 93, "max": 3, "linkedSwitch": 200},
                          {"id": 94, "max": 3, "linkedSwitch": 200}]})",
         "control 94: switch 200 is already linked to control 93"},
        {R"({"model": 4, "switches": [{"id": 200, "min": 1, "max": 4, "value": 1}],
             "controls": [{"id": 93, "min": 1, "max": 3, "value": 1, "linkedSwitch": 200}]})",
         "control 93: range 1..3 is not switch 200's 1..4 plus \"linkOffset\" 0"},
        {R"({"model": 4, "switches": [{"id": 200, "max": 3, "value": 2}],
             "controls": [{"id": 93, "min": 1, "max": 4, "value": 1, "linkedSwitch": 200,
                           "linkOffset": 1}]})",
         "control 93: value 1 is not switch 200's 2 plus \"linkOffset\" 1"},
    };
    for (const Case& c : cases) {
        SimProfile p;
        p.name = "untouched";
        std::string error;
        EXPECT_FALSE(ParseSimProfile(c.json, &p, &error)) << c.json;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.json << "\n  gave: " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(p.name, "untouched") << "a refused profile leaves the output alone";
    }
}

TEST(SimProfileParse, AcceptsTheLimits) {
    const std::string json =
        R"({"model": 11, "controls": [{"id": 0}, {"id": 128, "name": ")" + std::string(200, 'n') +
        R"(", "labels": [["a","b"],["c","d"],["e","f"]]}], "switches": [{"id": 128}, {"id": 254}],
            "menus": [{"id": 0}, {"id": 63, "items": )" +
        EmptySlots(20) + R"(}], "messages": [{"id": 0}, {"id": 199}]})";
    SimProfile p;
    std::string error;
    EXPECT_TRUE(ParseSimProfile(json, &p, &error)) << error;
    EXPECT_EQ(p.menus.at(1).items.size(), 20u);
}

TEST(SimProfileLoad, ReadsFilesAndNamesThePathInItsReason) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string good = dir.filePath("good.json").toStdString();
    const std::string bad = dir.filePath("bad.json").toStdString();
    for (const auto& [path, text] : {std::pair{good, R"({"model": 5, "title": "Dune"})"},
                                     std::pair{bad, R"({"model": 5, "flags": 256})"}}) {
        QFile f(QString::fromStdString(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    SimProfile p;
    std::string error;
    ASSERT_TRUE(LoadSimProfile(good, &p, &error)) << error;
    EXPECT_EQ(p.title, "Dune");
    EXPECT_FALSE(LoadSimProfile(bad, &p, &error));
    EXPECT_EQ(error.rfind(bad + ": ", 0), 0u) << error;
    EXPECT_NE(error.find("\"flags\" 256"), std::string::npos) << error;
    const std::string missing = dir.filePath("missing.json").toStdString();
    EXPECT_FALSE(LoadSimProfile(missing, &p, &error));
    EXPECT_EQ(error.rfind(missing + ": ", 0), 0u) << error;
}

}  // namespace
