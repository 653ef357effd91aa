// The unit operations against the simulated units: what reaches the units and the control
// surface, and what the panel is told to show.

#include <gtest/gtest.h>

#include <array>

#include "link/Commands.h"
#include "link/ConfigFile.h"
#include "link/MenuDatabase.h"
#include "link/UnitOperations.h"
#include "platform/Clock.h"
#include "platform/PortIo.h"
#include "sim/SimRig.h"
#include "tests/support/RecordingPanel.h"
#include "tests/support/RecordingSeams.h"

namespace {

class UnitOpsFixture : public testing::Test {
protected:
    void SetUp() override {
        ResetPanelState();
        ResetConfig();
        g_altMenus = false;
        SetPortIo(&rig.Port());
        SetClock(&clock);
    }
    void TearDown() override {
        SetPortIo(nullptr);
        SetClock(nullptr);
    }

    // Each unit asked once, as at start-up; what each scan returned.
    std::array<bool, 4> StartUp() {
        std::array<bool, 4> changed{};
        for (bool& c : changed)
            c = ScanNextUnit(panel, -1);
        return changed;
    }
    // Scans with the selected unit skipped until unit's turn has come (and gone).
    bool ScanUntil(int unit) {
        for (;;) {
            const bool changed = ScanNextUnit(panel, UnitNumber(g_selectedUnit));
            if (panel.m_units.current == unit) return changed;
        }
    }
    // Unit selected and connected, the recording emptied.
    void Connect(int unit) {
        StartUp();
        SelectUnit(panel, unit);
        ASSERT_EQ(g_selectedUnit, AddressOfUnit(unit));
        panel.ClearCalls();
    }
    bool Online(int unit) const { return panel.m_lamps[unit] & kLampOnline; }
    uint8_t Tally() const { return panel.m_lamps[kLampTallyByte]; }

    SimRig rig;
    VirtualClock clock;
    RecordingPanel panel;
};

// ---- Scan --------------------------------------------------------------------------------------

using ScanNextUnitTest = UnitOpsFixture;

TEST_F(ScanNextUnitTest, StartUpReportsEveryAnsweringUnitAndSendsItsLamp) {
    rig.AddUnit(2, ShippedProfile("cedar"));
    // Absent units have not missed five times yet: they change nothing and send nothing.
    EXPECT_EQ(StartUp(), (std::array<bool, 4>{false, true, false, false}));
    EXPECT_TRUE(Online(2));
    EXPECT_EQ(rig.Surface().Lamps()[2] & kLampOnline, kLampOnline);
}

TEST_F(ScanNextUnitTest, FifthMissTakesUnitOffLineAndClearsItsTally) {
    rig.AddUnit(2, ShippedProfile("cedar")).SetTally(true);
    StartUp();
    ASSERT_EQ(Tally(), 1 << 2);
    rig.SetOnline(2, false);
    for (int miss = 1; miss <= 4; ++miss) {
        EXPECT_FALSE(ScanUntil(2)) << "miss " << miss;
        EXPECT_TRUE(Online(2)) << "miss " << miss;
    }
    EXPECT_TRUE(ScanUntil(2));
    EXPECT_FALSE(Online(2));
    EXPECT_EQ(Tally(), 0);
    EXPECT_EQ(rig.Surface().Lamps()[2] & kLampOnline, 0);
    // Back on line at its next turn.
    rig.SetOnline(2, true);
    EXPECT_TRUE(ScanUntil(2));
    EXPECT_TRUE(Online(2));
}

// Unit 2 is selected and on air; then unit 3's tally comes on and the scan finds it.
void TallyMovesFromTwoToThree(SimRig& rig, RecordingPanel& panel) {
    rig.AddUnit(2, ShippedProfile("cedar")).SetTally(true);
    rig.AddUnit(3, ShippedProfile("elm"));
    for (int i = 0; i < 4; ++i)
        ScanNextUnit(panel, -1);
    SelectUnit(panel, 2);
    PollSelectedUnit(panel);
    ASSERT_EQ(panel.m_lamps[kLampTallyByte], 1 << 2);
    rig.Unit(3)->SetTally(true);
    ScanNextUnit(panel, 2);  // unit 1
    ScanNextUnit(panel, 2);  // unit 2: skipped
    ScanNextUnit(panel, 2);  // unit 3
}

TEST_F(ScanNextUnitTest, TallyHandOverReleasesOldUnitAndSelectsNewOne) {
    AddConfigEntry(kConfigTallyUnitSelect, kConfigEnabled, kConfigTrue, true);
    TallyMovesFromTwoToThree(rig, panel);
    EXPECT_EQ(rig.Unit(2)->Received(kCmdTallyRelease), 1);
    EXPECT_EQ(rig.Unit(2)->Flags() & kFlagTally, 0);
    EXPECT_EQ(g_selectedUnit, 0x30);
    EXPECT_EQ(Tally(), 1 << 3);
    EXPECT_TRUE(Online(3));
    EXPECT_EQ(rig.Unit(3)->Received(kCmdMenuReady), 1);
}

TEST_F(ScanNextUnitTest, TallyWithoutUnitSelectOnlyMovesTheTallyLamp) {
    TallyMovesFromTwoToThree(rig, panel);
    EXPECT_EQ(g_selectedUnit, 0x20);
    EXPECT_EQ(rig.Surface().Lamps()[kLampTallyByte], 1 << 3);
    EXPECT_EQ(rig.Unit(2)->Received(kCmdTallyRelease), 0);
    EXPECT_EQ(rig.Unit(3)->Received(kCmdMenuReady), 0);
}

// ---- Selection -------------------------------------------------------------------------------

using SelectUnitTest = UnitOpsFixture;

TEST_F(SelectUnitTest, UnitInBootModeIsRefused) {
    rig.AddUnit(1, ShippedProfile("elm")).SetBootMode(true);
    StartUp();
    SelectUnit(panel, 1);
    EXPECT_EQ(panel.calls.front(), "ClearKeyHandled()");
    EXPECT_EQ(panel.alert, "Main Unit 1 not programmed OR in Boot Mode!");
    EXPECT_EQ(g_selectedUnit, 0);
    EXPECT_FALSE(Online(1));  // the key's own toggle stays
    EXPECT_EQ(rig.Unit(1)->Received(kCmdMenuReady), 0);
}

TEST_F(SelectUnitTest, SelectedUnitStaysOnLineAndIsNotConnectedAgain) {
    rig.AddUnit(2, ShippedProfile("cedar"));
    Connect(2);
    const int identifies = rig.Unit(2)->Received(kCmdIdentify);
    SelectUnit(panel, 2);
    EXPECT_TRUE(Online(2));
    EXPECT_EQ(panel.calls, std::vector<std::string>{"ClearKeyHandled()"});
    EXPECT_EQ(rig.Unit(2)->Received(kCmdIdentify), identifies);
}

TEST_F(SelectUnitTest, AbsentOrImpossibleUnitSelectsNothing) {
    StartUp();
    SelectUnit(panel, 3);
    EXPECT_EQ(g_selectedUnit, 0);
    EXPECT_TRUE(panel.alert.empty());
    const auto lamps = panel.m_lamps;
    SelectUnit(panel, 0);
    SelectUnit(panel, 5);
    EXPECT_EQ(panel.m_lamps, lamps);
    EXPECT_EQ(g_selectedUnit, 0);
}

TEST_F(SelectUnitTest, RouterSettingsFollowTheConnection) {
    rig.AddUnit(4, ShippedProfile("cedar"));
    panel.m_routerEnabled = kConfigTrue;
    panel.m_routerPolarity = kConfigLow;
    panel.m_routerDwellFrames = 40;
    Connect(4);
    EXPECT_EQ(rig.Unit(4)->SwitchValue(kSwitchRouterPolarity), 0);
    EXPECT_EQ(rig.Unit(4)->ControlValue(kControlRouterDwell), 40);
    EXPECT_EQ(rig.Unit(4)->SwitchValue(kSwitchRouterEnable), 1);
}

// Passes every register access on to the simulated rig and keeps the long-form packets the
// panel sent to one unit, as (command code, first parameter) in the order they left.
class PacketTap final : public PortIo {
public:
    PacketTap(PortIo& inner, uint8_t wireAddress) : m_inner(inner), m_address(wireAddress) {}
    uint8_t Read(uint16_t port) override { return m_inner.Read(port); }
    void Write(uint16_t port, uint8_t value) override {
        m_inner.Write(port, value);
        if (port != kDataPort) return;
        m_packet.push_back(value);
        if (m_packet.size() < 2 || m_packet.size() < m_packet[1]) return;
        if (m_packet[0] == kLongRequest && m_packet.size() > 5 && m_packet[2] == m_address)
            sent.push_back({m_packet[4], m_packet[5]});
        m_packet.clear();
    }
    std::vector<std::pair<uint8_t, uint8_t>> sent;

private:
    PortIo& m_inner;
    uint8_t m_address;
    std::vector<uint8_t> m_packet;
};

TEST_F(SelectUnitTest, TheUnitHearsTheConnectionThenTheRouterInTheirOrder) {
    rig.AddUnit(2, ShippedProfile("cedar"));
    panel.m_routerEnabled = kConfigTrue;
    panel.m_routerDwellFrames = 40;
    StartUp();
    PacketTap tap(rig.Port(), 0x22);
    SetPortIo(&tap);
    SelectUnit(panel, 2);
    SetPortIo(&rig.Port());

    // The blob comes in as many answers as it needs: one entry stands for them all.
    std::vector<std::pair<uint8_t, uint8_t>> order;
    for (const auto& packet : tap.sent)
        if (order.empty() || packet.first != kCmdMenuBlob || order.back().first != kCmdMenuBlob)
            order.push_back(packet);
    const std::vector<std::pair<uint8_t, uint8_t>> expected = {
        {kCmdIdentify, 0xFF},   {kCmdMenuReady, 0xFF},   {kCmdMenuBlob, 0xFF},
        {kCmdLockTables, 0xFF}, {kCmdLockTables, 0xFF},  {kCmdIdentify, 0xFF},
        {kCmdSetValue, 250},    {kCmdValues, 0xFF},      {kCmdValuesRest, 0xFF},
        {kCmdValues2, 0xFF},    {kCmdValues2Rest, 0xFF}, {kCmdIdentify, 0xFF},
        {kCmdTitle, 0xFF},      {kCmdSetValue, 214},     {kCmdSetValue, 114},
        {kCmdSetValue, 211}};
    EXPECT_EQ(order, expected);
}

// ---- Connection ------------------------------------------------------------------------------

using ConnectUnitTest = UnitOpsFixture;

TEST_F(ConnectUnitTest, DownloadsMenusOnceAndParsesTheKeptBlockAfterwards) {
    SimProfile cedar = ShippedProfile("cedar");
    cedar.currentMenu = 26;
    rig.AddUnit(2, cedar);
    StartUp();
    g_selectedUnit = 0x20;
    StartTimer(panel, kTimerIdleScan);
    panel.ClearCalls();
    ConnectUnit(panel, true);

    EXPECT_EQ(panel.calls.front(), "ShowMessage(Retrieving Menus from Main Unit!)");
    EXPECT_EQ(rig.Unit(2)->Received(kCmdMenuReady), 1);
    EXPECT_NE((*panel.m_menuBlocks)[2].bytes[0], kMenuBlockInvalid);
    EXPECT_EQ(panel.m_functionOffset, 10u);
    EXPECT_EQ(panel.m_functionSlots, 20u);
    EXPECT_EQ(panel.m_currentMenu[2], 26);
    EXPECT_EQ(panel.m_savedMenu[2], 26);
    EXPECT_EQ(panel.m_previousMenu[2], 26);
    EXPECT_EQ(g_unitMessages[1].message, "File saved.");
    EXPECT_EQ(panel.m_missCount, 0);
    EXPECT_TRUE(panel.CalledInOrder(
        {"ShowMessage()", "ShowAlert()", "ShowModelLogo()", "UpdateLamps(0)",
         "UpdateMenuCaptions()", "UpdateFunctionCaptions()", "BindKnobs()", "UpdateScreenColor(2)",
         "SetTitleText(STUDIO 3  HD KEY)", "StopTimer(1)", "StartTimer(3,20)"}));
    EXPECT_FALSE(panel.TimerRunning(kTimerIdleScan));

    // Connected again: the kept block is parsed, nothing is downloaded, the menus stay.
    g_unitMessages[1].message.clear();
    panel.m_currentMenu[2] = 15;
    panel.ClearCalls();
    ConnectUnit(panel, true);
    EXPECT_EQ(rig.Unit(2)->Received(kCmdMenuReady), 1);
    EXPECT_EQ(panel.Count("ShowMessage(Retrieving Menus from Main Unit!)"), 0);
    EXPECT_EQ(g_unitMessages[1].message, "File saved.");
    EXPECT_EQ(panel.m_currentMenu[2], 15);
}

TEST_F(ConnectUnitTest, GroupAUnitGetsTwelveSlotsAndItsAlternativeMenus) {
    rig.AddUnit(1, ShippedProfile("elm"));
    Connect(1);
    EXPECT_EQ(panel.m_functionOffset, 6u);
    EXPECT_EQ(panel.m_functionSlots, 12u);
    EXPECT_TRUE(g_altMenus);
}

TEST_F(ConnectUnitTest, TallySelectSettingGoesToSwitch250) {
    rig.AddUnit(2, ShippedProfile("cedar"));
    AddConfigEntry(kConfigTallyUnitSelect, kConfigEnabled, kConfigTrue, true);
    Connect(2);
    EXPECT_EQ(rig.Unit(2)->SwitchValue(kSwitchTallySelect), 1);
    ResetConfig();
    const int values = rig.Unit(2)->Received(kCmdValues);
    ConnectUnit(panel, false);
    EXPECT_EQ(rig.Unit(2)->SwitchValue(kSwitchTallySelect), 0);
    EXPECT_EQ(rig.Unit(2)->Received(kCmdValues), values + 1);
    EXPECT_EQ(rig.Unit(2)->Received(kCmdMenuReady), 1);
}

TEST_F(ConnectUnitTest, FailedDownloadLeavesTheUnitUnusable) {
    SimUnit& unit = rig.AddUnit(2, ShippedProfile("cedar"));
    unit.Faults().corruption = SimCorruption::WrongCode;
    unit.Faults().corruptCommand = kCmdMenuBlob;
    StartUp();
    panel.m_savedMenu[2] = 7;
    g_selectedUnit = 0x20;
    ConnectUnit(panel, true);
    EXPECT_EQ(panel.calls,
              (std::vector<std::string>{"ShowMessage(Retrieving Menus from Main Unit!)",
                                        "ShowMessage()", "ShowAlert(Error retrieving menus!)"}));
    EXPECT_EQ(panel.m_currentMenu[2], -1);
    EXPECT_EQ(panel.m_savedMenu[2], -1);
    EXPECT_EQ((*panel.m_menuBlocks)[2].bytes[0], kMenuBlockInvalid);
    EXPECT_EQ(unit.Received(kCmdValues), 0);
    // The poll of such a unit does nothing more.
    unit.PostMessage(1);
    EXPECT_FALSE(PollSelectedUnit(panel));
    EXPECT_EQ(panel.message, "");
}

// ---- Poll ------------------------------------------------------------------------------------

class PollSelectedUnitTest : public UnitOpsFixture {
protected:
    void SetUp() override {
        UnitOpsFixture::SetUp();
        unit = &rig.AddUnit(2, ShippedProfile("cedar"));
        Connect(2);
    }
    SimUnit* unit = nullptr;
};

TEST_F(PollSelectedUnitTest, UnitMessagesReachTheMessageLine) {
    unit->SetUnitText("Tape 4 ready");
    unit->PostMessage(kUnitTextMessage);
    EXPECT_FALSE(PollSelectedUnit(panel));
    EXPECT_EQ(panel.message, "Tape 4 ready");
    EXPECT_EQ(panel.timers[kTimerMessageClear], 3000);

    panel.ClearCalls();
    unit->PostMessage(1);
    PollSelectedUnit(panel);
    EXPECT_TRUE(panel.CalledInOrder({"ShowMessage(File saved.)", "StartTimer(4,3000)"}));

    // Beyond the 200 entries of the message table: nothing to show.
    panel.ClearCalls();
    unit->PostMessage(230);
    PollSelectedUnit(panel);
    EXPECT_EQ(panel.calls, std::vector<std::string>{"SetOnAir(false)"});
}

TEST_F(PollSelectedUnitTest, QuestionIsAnsweredWithTheOperatorsChoice) {
    // Line breaks come from the unit as CR LF.
    const std::string question = "A snapshot is already stored in this memory.\r\nOverwrite it?";
    TestPrompter().Expect(question, PromptAnswer::Ok);
    unit->PostMessage(4);
    PollSelectedUnit(panel);
    EXPECT_EQ(unit->LastReply(), 1);
    ASSERT_EQ(TestPrompter().shown.size(), 1u);
    EXPECT_EQ(TestPrompter().shown[0].caption, "KV4");
    EXPECT_EQ(TestPrompter().shown[0].buttons, PromptButtons::OkCancel);
    EXPECT_TRUE(panel.CalledInOrder(
        {"StopTimer(2)", "StopTimer(3)", "StartTimer(2,100)", "StartTimer(3,20)"}));

    TestPrompter().Expect(question, PromptAnswer::Cancel);
    unit->PostMessage(4);
    PollSelectedUnit(panel);
    EXPECT_EQ(unit->LastReply(), 2);
}

TEST_F(PollSelectedUnitTest, TallyLightsOnAirAndTheTallyBit) {
    unit->SetTally(true);
    PollSelectedUnit(panel);
    EXPECT_TRUE(panel.onAir);
    EXPECT_EQ(Tally(), 1 << 2);
    unit->SetTally(false);
    PollSelectedUnit(panel);
    EXPECT_FALSE(panel.onAir);
    EXPECT_EQ(Tally(), 0);
}

TEST_F(PollSelectedUnitTest, ChangedValuesAreReadAgain) {
    const int reads = unit->Received(kCmdValues);
    EXPECT_FALSE(PollSelectedUnit(panel));
    EXPECT_EQ(unit->Received(kCmdValues), reads);

    unit->ChangeControl(59, 200);
    EXPECT_TRUE(PollSelectedUnit(panel));
    EXPECT_EQ(g_menuDatabase.controls[59].value, 200);
    EXPECT_TRUE(panel.CalledInOrder({"UpdateScreenColor(2)", "SetTitleText(STUDIO 3  HD KEY)",
                                     "UpdateLamps(1)", "UpdateFunctionCaptions()", "BindKnobs()"}));
}

// ---- Keys ------------------------------------------------------------------------------------

class UnitKeysTest : public UnitOpsFixture {
protected:
    // Switch 161 turned on at the unit, and seen by the panel's next poll.
    void TurnOnMenuModeSwitch(int unitNumber) {
        rig.Unit(unitNumber)->ChangeSwitch(161, 1);
        ASSERT_TRUE(PollSelectedUnit(panel));
        panel.ClearCalls();
    }
};

TEST_F(UnitKeysTest, MenuKeysChooseTheUnitsMenus) {
    SimProfile cedar = ShippedProfile("cedar");
    cedar.currentMenu = 2;
    rig.AddUnit(2, cedar);
    Connect(2);
    SetMenuMode(panel, 26);
    EXPECT_EQ(panel.m_currentMenu[2], 26);
    EXPECT_EQ(panel.m_savedMenu[2], 26);
    EXPECT_EQ(panel.m_previousMenu[2], 2);
    EXPECT_TRUE(panel.CalledInOrder({"ShowMessage()", "UpdateLamps(0)", "UpdateMenuCaptions()",
                                     "UpdateFunctionCaptions()", "BindKnobs()"}));
    // The key of the menu shown only puts the lamps back.
    panel.ClearCalls();
    SetMenuMode(panel, 26);
    EXPECT_EQ(panel.calls, std::vector<std::string>{"UpdateLamps(0)"});
    EXPECT_EQ(panel.m_previousMenu[2], 2);

    SetMenuMode(panel, 0);
    EXPECT_EQ(panel.m_currentMenu[2], 2);  // the unit's own current menu
    SetMenuMode(panel, 7);
    EXPECT_EQ(panel.m_currentMenu[2], 7);
    SetMenuMode(panel, 11);
    EXPECT_EQ(panel.m_currentMenu[2], 11);
    TurnOnMenuModeSwitch(2);
    SetMenuMode(panel, 15);
    SetMenuMode(panel, 11);
    EXPECT_EQ(panel.m_currentMenu[2], 30);
    EXPECT_EQ(panel.m_previousMenu[2], 15);
}

TEST_F(UnitKeysTest, ElmWithMenu40UsesItsAlternativeMenus) {
    rig.AddUnit(1, ShippedProfile("elm"));
    Connect(1);
    ASSERT_TRUE(g_altMenus);
    SetMenuMode(panel, 7);
    EXPECT_EQ(panel.m_currentMenu[1], 40);
    SetMenuMode(panel, 11);
    EXPECT_EQ(panel.m_currentMenu[1], 41);
    EXPECT_EQ(panel.m_savedMenu[1], 41);
    TurnOnMenuModeSwitch(1);
    SetMenuMode(panel, 18);
    SetMenuMode(panel, 11);
    EXPECT_EQ(panel.m_currentMenu[1], 30);
}

TEST_F(UnitKeysTest, MenuKeyOfAUnitWithoutMenusOnlyPutsTheLampsBack) {
    rig.AddUnit(2, ShippedProfile("cedar"));
    Connect(2);
    panel.m_currentMenu[2] = -1;
    const int reads = rig.Unit(2)->Received(kCmdValues);
    SetMenuMode(panel, 26);
    EXPECT_EQ(panel.calls, std::vector<std::string>{"UpdateLamps(0)"});
    EXPECT_EQ(panel.m_currentMenu[2], -1);
    EXPECT_EQ(rig.Unit(2)->Received(kCmdValues), reads);
}

TEST_F(UnitKeysTest, SpecialMenus) {
    for (int menu : {0, 7, 11, 18, 26, 30})
        EXPECT_TRUE(IsSpecialMenu(menu)) << menu;
    for (int menu : {-1, 1, 15, 40, 41})
        EXPECT_FALSE(IsSpecialMenu(menu)) << menu;
}

TEST_F(UnitKeysTest, HoldKeysAreExclusiveAndTheLitOneLetsGo) {
    SimUnit& unit = rig.AddUnit(2, ShippedProfile("cedar"));
    Connect(2);
    HoldFunction(panel, 129, 2);
    EXPECT_EQ(panel.m_heldFunction, 129u);
    EXPECT_EQ(unit.SwitchValue(129), 1);
    EXPECT_EQ(panel.m_lamps[2] & 0x02, 0x02);

    HoldFunction(panel, 130, 3);
    EXPECT_EQ(panel.m_heldFunction, 130u);
    EXPECT_EQ(unit.SwitchValue(130), 1);
    EXPECT_EQ(panel.m_lamps[2] & 0x02, 0);
    EXPECT_EQ(panel.m_lamps[3] & 0x02, 0x02);

    HoldFunction(panel, 130, 3);
    EXPECT_EQ(panel.m_heldFunction, kNoHeldFunction);
    EXPECT_EQ(unit.SwitchValue(130), 0);
    for (int byte = 2; byte <= 4; ++byte)
        EXPECT_EQ(panel.m_lamps[byte] & 0x02, 0) << byte;
    EXPECT_EQ(panel.calls.back(), "UpdateFunctionCaptions()");
}

TEST_F(UnitKeysTest, CustomMenuKeysReleaseTheirSwitches) {
    SimUnit& unit = rig.AddUnit(2, ShippedProfile("cedar"));
    Connect(2);
    for (int id : {218, 220, 223, 227})
        unit.ChangeSwitch(id, 1);

    panel.m_lamps[kLampAltByte] |= kLampAlt;
    CustomMenuKey(panel, 3);
    EXPECT_EQ(unit.SwitchValue(223), 0);
    EXPECT_EQ(unit.SwitchValue(218), 0);
    EXPECT_FALSE(panel.AltLatched());
    EXPECT_EQ(panel.Count("UpdateMenuCaptions()"), 0);

    CustomMenuKey(panel, 5);
    EXPECT_EQ(unit.SwitchValue(220), 0);
    EXPECT_EQ(unit.SwitchValue(227), 1);  // its ALT switch only goes with ALT
    EXPECT_TRUE(panel.CalledInOrder({"UpdateLamps(1)", "UpdateMenuCaptions()", "BindKnobs()",
                                     "SetTitleText(STUDIO 3  HD KEY)"}));
}

TEST_F(UnitKeysTest, ClearFileWaitsForTheUnitAndReadsItsValues) {
    SimUnit& unit = rig.AddUnit(2, ShippedProfile("cedar"));
    Connect(2);
    panel.m_heldFunction = 129;
    const int reads = unit.Received(kCmdValues);
    ClearFile(panel);
    EXPECT_EQ(unit.SwitchValue(kSwitchFileClear), 1);
    EXPECT_EQ(unit.Received(kCmdValues), reads + 1);
    EXPECT_EQ(panel.m_heldFunction, kNoHeldFunction);
    EXPECT_EQ(panel.calls.front(), "ShowAlert(File Clear In Process ...)");
    EXPECT_EQ(panel.calls.back(), "ShowAlert()");

    panel.m_lamps[kLampAltByte] |= kLampAlt;
    ClearFile(panel);
    EXPECT_EQ(unit.SwitchValue(kSwitchFileClearAlt), 1);
}

TEST_F(UnitKeysTest, ClearFileOfAUnitThatStaysBusy) {
    SimProfile busy = ShippedProfile("cedar");
    busy.flags |= kFlagBusy;
    SimUnit& unit = rig.AddUnit(2, busy);
    Connect(2);
    const int reads = unit.Received(kCmdValues);
    const int identifies = unit.Received(kCmdIdentify);
    TestPrompter().Expect("Communication Error: Unit Busy!");
    ClearFile(panel);
    EXPECT_EQ(unit.Received(kCmdValues), reads);
    EXPECT_EQ(unit.Received(kCmdIdentify), identifies + 100);
    EXPECT_TRUE(panel.TimerRunning(kTimerUnitPoll));
    EXPECT_TRUE(panel.TimerRunning(kTimerPanelScan));
    EXPECT_EQ(panel.calls.back(), "ShowAlert()");
}

TEST_F(UnitKeysTest, ClearFileWhoseValuesCannotBeRead) {
    SimUnit& unit = rig.AddUnit(2, ShippedProfile("cedar"));
    Connect(2);
    unit.Faults().corruption = SimCorruption::WrongCode;
    unit.Faults().corruptCommand = kCmdValues;
    TestPrompter().Expect("Communication Error: Function did not complete!");
    ClearFile(panel);
}

// ---- Lamps, timers, fatal errors -----------------------------------------------------------

using UnitShutdownTest = UnitOpsFixture;

TEST_F(UnitShutdownTest, TimersRunWithTheirFixedPeriods) {
    for (int id : {1, 2, 3, 4, 10})
        StartTimer(panel, id);
    EXPECT_EQ(panel.timers, (std::map<int, int>{{1, 20}, {2, 100}, {3, 20}}));
}

TEST_F(UnitShutdownTest, ClearedLampsReachTheSurface) {
    panel.m_lamps.fill(0xFF);
    ClearLamps(panel);
    const std::array<uint8_t, 12> cleared = {0, 0, 0, 0, 0, 0, 62, 62, 62, 62, 62, 0};
    EXPECT_EQ(rig.Surface().Lamps(), cleared);
}

TEST_F(UnitShutdownTest, FatalErrorTellsTheOperatorAndPowersOff) {
    for (int id : {1, 2, 3})
        StartTimer(panel, id);
    panel.m_lamps.fill(0xFF);
    TestPrompter().Expect("Fatal Error: Fan Failure!  \n\nContact Quorvane for support.");
    FatalError(panel, "Fan Failure");
    EXPECT_TRUE(panel.timers.empty());
    EXPECT_EQ(TestPrompter().shown.at(0).caption, "KV4");
    EXPECT_EQ(rig.Surface().Configuration(), (std::array<uint8_t, 4>{1, 16, 8, 4}));
    EXPECT_EQ(rig.Surface().Lamps()[0], 0);
    EXPECT_EQ(rig.Surface().Lamps()[6], 62);
    EXPECT_EQ(TestPower().powerOffs, 1);
}

}  // namespace
