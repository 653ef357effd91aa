#include "tests/sim/SimFixture.h"

#include "platform/PortIo.h"

SimProfile SmallProfile(uint8_t model) {
    SimProfile p;
    p.name = "Small";
    p.model = model;
    p.flags = 0x40;
    p.currentMenu = 3;
    p.title = "Studio 4";
    p.unitText = "Reference lost on input 2";
    p.unitInfo = "Cedar^Version 3.2^";
    auto control = [&p](int id, int min, int max, int value, int reset, const char* name) {
        SimControl c;
        c.id = id;
        c.minValue = min;
        c.maxValue = max;
        c.minDisplay = min;
        c.maxDisplay = max;
        c.value = value;
        c.resetValue = reset;
        c.name = name;
        p.controls.push_back(c);
    };
    control(0, 0, 255, 10, 128, "Clip");
    control(5, -100, 100, 0, 0, "Gain");
    control(59, 0, 255, 200, 16, "Red");
    control(127, 0, 1000, 500, 0, "Dwell");
    SimSwitch s;
    s.id = 161;
    s.minValue = 0;
    s.maxValue = 2;
    s.states = {"Off", "Soft", "Hard"};
    p.switches.push_back(s);
    s.id = 163;
    s.maxValue = 1;
    s.states = {"Clear"};
    p.switches.push_back(s);
    SimMenu menu;
    menu.id = 0;
    menu.name = "Main";
    menu.items.assign(20, 255);
    p.menus.push_back(menu);
    p.messages.push_back({1, 0, "Saved", "File saved."});
    p.messages.push_back({2, 0x4000, "Erase", "Erase all files?"});
    SimFile file;
    file.id = 0x0101;
    file.name = "Morning";
    p.files.push_back(file);
    file.id = 0x0102;
    file.name = "Evening";
    p.files.push_back(file);
    SimEffect effect;
    effect.id = 3;
    effect.name = "Wipe";
    effect.word = 0x1234;
    effect.assignments = {0, 5, 161};
    effect.keyframes = {{25, {1, 2, 3}}, {50, {4, 5, 6}}};
    p.effects.push_back(effect);
    SimGpiSequence sequence;
    sequence.id = 7;
    sequence.name = "Show open";
    sequence.current = 1;
    sequence.events = {{0, 1}, {0, 2}};
    p.gpiSequences.push_back(sequence);
    p.lockedControls = {5};
    p.lockedSwitches = {161};
    return p;
}

void SimTest::SetUp() {
    rig.AddUnit(1, SmallProfile());
    rig.AddUnit(2, SmallProfile());
    SetPortIo(&rig.Port());
    SetClock(&clock);
    ResetPanelState();
    g_selectedUnit = 0x10;
}

void SimTest::TearDown() {
    SetPortIo(nullptr);
    SetClock(nullptr);
    // No test may send a unit a request it cannot make sense of.
    for (int n = 1; n <= 4; ++n) {
        if (rig.Unit(n)) {
            EXPECT_EQ(rig.Unit(n)->Malformed(), 0) << "unit " << n;
        }
    }
}
