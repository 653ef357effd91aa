#pragma once

// What one simulated Main Unit is: its model, its controls, switches, menus and messages (the
// stuff its menu blob is made of), and what it holds at start (files, effects, GPI sequences,
// lockout, texts). Profiles are JSON files in sim/profiles/, built into the program.
//
// JSON layout (every key optional unless marked; numbers are plain integers):
// {
//   "name": "Elm studio keyer",            // shown by the simulator's console
//   "model": 4,                            // required: the ModelCode
//   "flags": 64,                           // UnitFlags at start (64 = reference video)
//   "currentMenu": 0,                      // menu the unit reports as current
//   "adjustFullRange": 1280,               // see below; 0 (the default) moves by raw counts
//   "title": "Studio 1",  "unitText": "...",  "unitInfo": "...",
//   "controls": [{ "id": 59, "type": 1, "attributes": 0, "mask": 0,
//                  "min": 0, "max": 255, "displayMin": 0, "displayMax": 100,
//                  "name": "Red#R", "extra": "", "labels": [["Lo", "Hi"]],
//                  "value": 128, "reset": 128, "value2": 0,
//                  "linkedSwitch": 200, "linkOffset": 0 }],     // see below
//   "switches": [{ "id": 161, "type": 2, "attributes": 0, "mask": 0, "min": 0, "max": 1,
//                  "text": "", "states": ["Off#1", "On"], "value": 0, "value2": 0 }],
//   "menus":    [{ "id": 0, "type": 0, "attributes": 0, "knobs": [59, 60, 61, 101, 128, ...8],
//                  "items": [1, 2, 255, ...12 or 20], "name": "Main", "title": "Main menu" }],
//   "messages": [{ "id": 1, "code": 0, "text": "Saved", "message": "File saved." }],
//   "files":     [{ "id": 1, "name": "Studio A" }],
//   "userFiles": [{ "id": 1, "name": "Operator 1",
//                   "customMenus": [{ "knobs": [59, 60, 128, ...8],
//                                     "buttons": [33, 127, ...6] }] }],
//   "effects":  [{ "id": 1, "name": "Wipe", "word": 0, "assignments": [59, 60, 161],
//                  "keyframes": [{ "time": 25, "bytes": [0, 0, 0] }] }],
//   "gpiSequences": [{ "id": 1, "name": "Morning", "current": 1, "events": [[0, 1], [0, 2]] }],
//   "locks": { "controls": [59], "switches": [161] },      // locked at start
//   "effectSavedMessage": 0                              // message posted after an effect save
// }
// Names may hold "\n" (a line break) and a '#' suffix; label texts are at most 24 characters.
// "unitInfo" is the raw unit-information answer: a count byte, header bytes, then lines broken
// by "\n" (a zero byte may start a second run), e.g. "\u0007\u0004\u0002Elm KV4\n...". Message 0
// is the About box template: from its first 'U' on, one '^' per value the panel fills in.
//
// "adjustFullRange" is how the unit's firmware scales a knob: on command 129 a continuous control
// (attribute 0x0100 clear) moves by delta x (its number of values) / adjustFullRange, rounded,
// the rest carried per control so that slow turns still move it; 1280 makes one 80-count notch
// of the console's wheel a sixteenth of the range. A stepped control moves by the delta itself.
//
// A unit whose menu 32 names controls in knob slots 0 and 1 and switches in item slots 10 and 11
// keeps the dwell (knob 0) and the two enable switches per GPI input: the control in knob 1
// selects the input they show.
//
// "linkedSwitch" makes the control and that switch one setting of the unit (a knob and a routing
// button that pick the same input): control value = switch value + "linkOffset". A change of
// either is answered with value updates of both. The ranges and start values must agree.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct SimLabelPair {
    std::string first;
    std::string second;
};

struct SimControl {
    int id = 0;  // 0..128
    int type = 0;
    int attributes = 0;
    uint32_t mask = 0;
    int minValue = 0;
    int maxValue = 0;
    int minDisplay = 0;
    int maxDisplay = 0;
    std::string name;                  // may carry a '#' suffix and line breaks
    std::string extra;                 // a second text the panel reads and drops
    std::vector<SimLabelPair> labels;  // 0..3
    int value = 0;
    int resetValue = 0;
    int value2 = 0;
    int linkedSwitch = 0;  // 0: none; else the switch that is the same setting
    int linkOffset = 0;    // control value = switch value + linkOffset
};

struct SimSwitch {
    int id = 0;  // 128..254
    int type = 0;
    int attributes = 0;
    uint32_t mask = 0;
    int minValue = 0;
    int maxValue = 0;
    std::string text;                 // dropped by the panel
    std::vector<std::string> states;  // state labels; the first may carry a '#' suffix
    int value = 0;
    int value2 = 0;
};

struct SimMenu {
    int id = 0;  // 0..63
    int type = 0;
    int attributes = 0;
    std::array<int, 8> knobs{128, 128, 128, 128, 128, 128, 128, 128};
    std::vector<int> items;  // 12 slots for group-A models, 20 for the others; 255 = empty
    std::string name;
    std::string title;
};

struct SimMessage {
    int id = 0;    // 0..199
    int code = 0;  // bit 0x4000: a question
    std::string text;
    std::string message;
};

struct SimCustomMenu {
    std::array<uint8_t, 8> knobs{128, 128, 128, 128, 128, 128, 128, 128};
    std::array<uint8_t, 6> buttons{127, 127, 127, 127, 127, 127};
};

struct SimFile {
    int id = 0;  // its low byte is the file number
    int word2 = 0;
    std::string name;
    std::vector<uint8_t> contents;           // settings snapshot; made from the unit if empty
    std::vector<SimCustomMenu> customMenus;  // user files: custom menus 1..4
};

struct SimKeyframe {
    int time = 0;
    std::array<uint8_t, 3> bytes{};
};

struct SimEffect {
    int id = 0;
    std::string name;
    int word = 0;
    std::vector<uint8_t> assignments;
    std::vector<SimKeyframe> keyframes;
};

struct SimGpiSequence {
    int id = 0;
    std::string name;
    int current = 0;                             // 1-based; 0 = none
    std::vector<std::array<uint8_t, 2>> events;  // (first byte, fileId)
};

struct SimProfile {
    std::string name;
    uint8_t model = 0;
    uint8_t flags = 0;
    uint8_t currentMenu = 0;
    int adjustFullRange = 0;  // counts that move a continuous control across its range; 0: raw
    std::string title;
    std::string unitText;
    std::string unitInfo;
    std::vector<SimControl> controls;
    std::vector<SimSwitch> switches;
    std::vector<SimMenu> menus;
    std::vector<SimMessage> messages;
    std::vector<SimFile> files;
    std::vector<SimFile> userFiles;
    std::vector<SimEffect> effects;
    std::vector<SimGpiSequence> gpiSequences;
    std::vector<int> lockedControls;
    std::vector<int> lockedSwitches;
    int effectSavedMessage = 0;
};

// Reads a profile from JSON text; false with a one-line reason in *error when it is unusable.
bool ParseSimProfile(const std::string& json, SimProfile* out, std::string* error);
// Reads a profile file (a path, or ":/sim/profiles/NAME.json" for a shipped one).
bool LoadSimProfile(const std::string& path, SimProfile* out, std::string* error);

// The profiles built into the program, by file name without ".json".
std::vector<std::string> ShippedProfileNames();
SimProfile ShippedProfile(const std::string& name);
