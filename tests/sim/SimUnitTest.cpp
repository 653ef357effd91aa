// The simulated units through the panel's own command functions.

#include <cstring>

#include "tests/sim/SimFixture.h"

namespace {

using SimValues = SimTest;
using SimPowerCycle = SimTest;
using SimFiles = SimTest;
using SimEffects = SimTest;
using SimTexts = SimTest;

TEST_F(SimValues, IdentityValuesAndSetsBehaveLikeAUnit) {
    ASSERT_EQ(Identify(0x10, g_unitIdentity), kLinkOk);
    EXPECT_EQ(g_unitIdentity.ModelCode, 11);
    EXPECT_EQ(g_unitIdentity.UnitFlags, kFlagReferenceVideo);
    EXPECT_EQ(g_unitIdentity.currentMenu, 3);

    ASSERT_EQ(ReadValues(), kLinkOk);
    EXPECT_EQ(g_menuDatabase.controls[0].value, 10);
    EXPECT_EQ(g_menuDatabase.controls[59].value, 200);
    EXPECT_EQ(g_menuDatabase.controls[127].value, 500);
    ASSERT_EQ(ReadValues2(), kLinkOk);

    // The reset value, a clamp at the top of the range, and a switch.
    ASSERT_EQ(SetControlValue(59, kResetValue), kLinkOk);
    EXPECT_EQ(g_menuDatabase.controls[59].value, 16);
    ASSERT_EQ(AdjustControl(5, 500), kLinkOk);
    EXPECT_EQ(g_menuDatabase.controls[5].value, 100);
    EXPECT_EQ(Unit(1).ControlValue(5), 100);
    ASSERT_EQ(SetSwitchValue(161, 2), kLinkOk);
    EXPECT_EQ(g_menuDatabase.switches[33].value, 2);
    ASSERT_EQ(SetSwitchValue(161, 255), kLinkOk);  // asks for the state, changes nothing
    EXPECT_EQ(g_menuDatabase.switches[33].value, 2);

    // An operator at the unit: the values-changed flag until the values are read.
    Unit(1).ChangeControl(0, 77);
    ASSERT_EQ(Identify(0x10, g_unitIdentity), kLinkOk);
    EXPECT_TRUE(g_unitIdentity.UnitFlags & kFlagValuesChanged);
    ASSERT_EQ(ReadValues(), kLinkOk);
    EXPECT_EQ(g_menuDatabase.controls[0].value, 77);
    ASSERT_EQ(Identify(0x10, g_unitIdentity), kLinkOk);
    EXPECT_FALSE(g_unitIdentity.UnitFlags & kFlagValuesChanged);
    EXPECT_EQ(Unit(1).Received(192), 3);
}

// A terminated long-form request as the panel sends it to unit 1.
std::vector<uint8_t> Request(uint8_t code, std::vector<uint8_t> params) {
    std::vector<uint8_t> packet = {0x08, static_cast<uint8_t>(params.size() + 6), 0x12,
                                   static_cast<uint8_t>(params.size() + 1), code};
    packet.insert(packet.end(), params.begin(), params.end());
    packet.push_back(0xFF);
    return packet;
}

// The small unit with control 93 (1..3, stepped) and switch 161 (0..2) as one setting.
SimProfile LinkedProfile() {
    SimProfile p = SmallProfile();
    SimControl& input = p.controls.emplace_back();
    input.id = 93;
    input.attributes = 0x0110;
    input.minValue = input.value = 1;
    input.maxValue = 3;
    input.resetValue = 2;
    input.linkedSwitch = 161;
    input.linkOffset = 1;
    p.adjustFullRange = 1280;
    return p;
}

TEST_F(SimValues, ALinkedSettingAnswersAChangeOfEitherWithBoth) {
    SimUnit& unit = rig.AddUnit(1, LinkedProfile());
    // Control entry, switch entry, then filler to whole three-byte slots: L = 13, C = 6.
    const std::vector<uint8_t> adjusted = {9, 13, 0, 0x5A, 6, 4, 93, 0, 2, 161, 1, 0xFF, 0xFF};
    EXPECT_EQ(unit.Handle(Request(129, {93, 0, 1})), adjusted);
    const std::vector<uint8_t> switched = {9, 13, 0, 0x5A, 6, 4, 161, 2, 93, 0, 3, 0xFF, 0xFF};
    EXPECT_EQ(unit.Handle(Request(168, {161, 2})), switched);

    // Through the panel's commands (the set of a control checks the answer's length).
    ASSERT_EQ(SetControlValue(93, kResetValue), kLinkOk);
    EXPECT_EQ(g_menuDatabase.controls[93].value, 2);
    EXPECT_EQ(g_menuDatabase.switches[33].value, 1);
    ASSERT_EQ(SetSwitchValue(161, 0), kLinkOk);
    EXPECT_EQ(g_menuDatabase.controls[93].value, 1);

    // At the unit itself, either way; the panel reads both on the values-changed flag.
    unit.ChangeSwitch(161, 2);
    EXPECT_EQ(unit.ControlValue(93), 3);
    unit.ChangeControl(93, 2);
    EXPECT_EQ(unit.SwitchValue(161), 1);
    ASSERT_EQ(ReadValues(), kLinkOk);
    EXPECT_EQ(g_menuDatabase.controls[93].value, 2);
    EXPECT_EQ(g_menuDatabase.switches[33].value, 1);

    // A file from a unit that keeps the two apart (name, 129 words, switches): the control wins.
    SimProfile apart = LinkedProfile();
    apart.files.push_back({0x0109, 0, "Apart", SimUnit(apart).Snapshot("Apart"), {}});
    apart.files.back().contents[24 + 2 * 93 + 1] = 3;
    SimUnit& loaded = rig.AddUnit(2, apart);
    g_selectedUnit = 0x20;
    ASSERT_EQ(LoadFile(9, false), kLinkOk);
    EXPECT_EQ(loaded.SwitchValue(161), 2);
}

TEST_F(SimValues, TheUnitScalesKnobMovementOfContinuousControlsOnly) {
    SimUnit& unit = rig.AddUnit(1, LinkedProfile());
    // One 80-count notch on 256 values over 1280 counts: 16.
    ASSERT_EQ(AdjustControl(59, -80), kLinkOk);
    EXPECT_EQ(g_menuDatabase.controls[59].value, 184);
    // Three counts are 0.6 of a value: the nearest whole one now, the rest carried, so that
    // nine counts in three turns come to 1.8 values.
    for (int expected : {185, 185, 186}) {
        ASSERT_EQ(AdjustControl(59, 3), kLinkOk);
        EXPECT_EQ(unit.ControlValue(59), expected);
    }
    // Turning back takes the carried rest with it: -0.2 - 1.2 rounds to -1.
    ASSERT_EQ(AdjustControl(59, -6), kLinkOk);
    EXPECT_EQ(unit.ControlValue(59), 185);
    // The top of the range holds a big turn.
    ASSERT_EQ(AdjustControl(0, 32767), kLinkOk);
    EXPECT_EQ(unit.ControlValue(0), 255);
    // A stepped control takes the panel's single steps as they come.
    ASSERT_EQ(AdjustControl(93, 1), kLinkOk);
    EXPECT_EQ(unit.ControlValue(93), 2);

    // A unit without the scale moves a control by the counts themselves.
    SimUnit& raw = rig.AddUnit(2, SmallProfile());
    g_selectedUnit = 0x20;
    ASSERT_EQ(AdjustControl(59, -80), kLinkOk);
    EXPECT_EQ(raw.ControlValue(59), 120);
}

TEST_F(SimPowerCycle, TheUnitIsSilentWhileItStartsAndComesBackFreshAsTheNewModel) {
    Unit(1).ChangeControl(59, 1);
    SimUnit& unit = rig.PowerCycle(1, SmallProfile(4));
    EXPECT_TRUE(rig.Online(1));
    EXPECT_TRUE(unit.StartingUp());
    // Other requests go unanswered too and do not shorten the start-up.
    EXPECT_EQ(ReadValues(), kLinkNoResponse);
    for (int i = 0; i < SimRig::kStartUpIdentifies; ++i)
        EXPECT_EQ(Identify(0x10, g_unitIdentity), kLinkNoResponse) << "identify " << i;
    EXPECT_FALSE(unit.StartingUp());
    ASSERT_EQ(Identify(0x10, g_unitIdentity), kLinkOk);
    EXPECT_EQ(g_unitIdentity.ModelCode, 4);
    EXPECT_EQ(unit.ControlValue(59), 200);

    // A unit cycled off the line has started by the time it is back.
    rig.SetOnline(2, false);
    rig.PowerCycle(2, SmallProfile(7));
    EXPECT_FALSE(rig.Online(2));
    rig.SetOnline(2, true);
    ASSERT_EQ(Identify(0x20, g_unitIdentity), kLinkOk);
    EXPECT_EQ(g_unitIdentity.ModelCode, 7);
}

TEST_F(SimValues, MenuBlobDownloadsWholeInAnswersOfAtMost254Bytes) {
    const std::vector<uint8_t>& blob = Unit(1).Blob();
    ASSERT_GT(blob.size(), 40u);
    auto block = std::make_unique<MenuBlock>();
    ASSERT_EQ(QueryMenuReady(), kLinkOk);
    ASSERT_EQ(DownloadMenuBlob(*block), kLinkOk);
    EXPECT_EQ(std::memcmp(block->bytes, blob.data(), blob.size()), 0);
    EXPECT_EQ(Unit(1).Received(193), static_cast<int>((blob.size() + 253) / 254));
}

TEST_F(SimValues, TheSurfaceReportsKnobsKeysAndFanOnce) {
    rig.Surface().TurnKnob(2, -5);
    rig.Surface().TurnKnob(7, 300);
    rig.Surface().PressKey(1, 0x01);
    ASSERT_EQ(ReadPanelStatus(), kLinkOk);
    EXPECT_EQ(KnobMovement(g_panelStatus, 2), -5);
    EXPECT_EQ(KnobMovement(g_panelStatus, 7), 300);
    EXPECT_EQ(KeyRow(g_panelStatus, 1), 0x01);
    EXPECT_TRUE(FanRunning(g_panelStatus));
    ASSERT_EQ(ReadPanelStatus(), kLinkOk);
    EXPECT_EQ(KnobMovement(g_panelStatus, 2), 0);
    EXPECT_EQ(KeyRow(g_panelStatus, 1), 0);

    rig.Surface().SetFanFailed(true);
    ASSERT_EQ(ReadPanelStatus(), kLinkOk);
    EXPECT_FALSE(FanRunning(g_panelStatus));

    const uint8_t lamps[kLampCount] = {0x10, 1, 1, 0, 0, 0x04, 62, 62, 62, 62, 62, 0};
    ASSERT_EQ(SetPanelLamps(lamps), kLinkOk);
    EXPECT_EQ(rig.Surface().Lamps()[5], 0x04);
    ASSERT_EQ(ConfigurePanel(17, 16, 8, 4), kLinkOk);
    EXPECT_EQ(rig.Surface().Configuration()[0], 17);
    uint8_t version[kPanelVersionLength];
    ASSERT_EQ(ReadPanelVersion(version), kLinkOk);
    EXPECT_STREQ(reinterpret_cast<const char*>(version), "1.07A");
}

TEST_F(SimFiles, SaveListLoadAndDelete) {
    ASSERT_EQ(ReadFileList(FileList::Files), kLinkOk);
    ASSERT_EQ(g_fileCount, 2u);
    EXPECT_STREQ(g_files[1].name, "Evening");

    ASSERT_EQ(SaveFile("Late show", 3, kNewFile, false), kLinkOk);
    ASSERT_EQ(ReadFileList(FileList::Files), kLinkOk);
    ASSERT_EQ(g_fileCount, 3u);
    EXPECT_STREQ(g_files[2].name, "Late show");
    const uint8_t saved = static_cast<uint8_t>(g_files[2].fileId);

    Unit(1).ChangeControl(59, 1);
    ASSERT_EQ(LoadFile(saved, false), kLinkOk);
    EXPECT_EQ(Unit(1).ControlValue(59), 200);

    ASSERT_EQ(DeleteFile(static_cast<uint16_t>(g_files[0].fileId), false), kLinkOk);
    ASSERT_EQ(ReadFileList(FileList::Files), kLinkOk);
    EXPECT_EQ(g_fileCount, 2u);
    EXPECT_STREQ(g_files[0].name, "Evening");
    EXPECT_EQ(LoadFile(0x77, false), kLinkBadCode);  // no such file
}

TEST_F(SimFiles, UserFilesCarryTheCustomMenus) {
    g_customKnobs[1][2] = {59, 5, 128, 128, 128, 128, 128, 0};
    g_customButtons[1][2] = {33, 127, 127, 127, 127, 35};
    ASSERT_EQ(SaveFile("Operator", 0, kNewFile, true), kLinkOk);
    ASSERT_EQ(ReadFileList(FileList::UserFiles), kLinkOk);
    ASSERT_EQ(g_userFileCount, 1u);
    EXPECT_STREQ(g_userFiles[0].name, "Operator");

    ClearCustomMenus(1);
    ASSERT_EQ(LoadFile(static_cast<uint8_t>(g_userFiles[0].fileId), true), kLinkOk);
    EXPECT_EQ(g_customKnobs[1][2][0], 59);
    EXPECT_EQ(g_customKnobs[1][2][7], 0);
    EXPECT_EQ(g_customButtons[1][2][0], 33);
    EXPECT_EQ(g_customButtons[1][2][1], 127);  // empty travels as 255 and comes back as 127
    EXPECT_EQ(g_customButtons[1][2][5], 35);
    EXPECT_EQ(g_customKnobs[1][1][0], 128);
}

TEST_F(SimFiles, AFileTravelsToAnotherUnit) {
    Unit(1).ChangeControl(59, 99);
    ASSERT_EQ(SaveFile("Travel", 0, kNewFile, false), kLinkOk);
    ASSERT_EQ(ReadFileList(FileList::Files), kLinkOk);
    const uint8_t number = static_cast<uint8_t>(g_files[g_fileCount - 1].fileId);
    ASSERT_EQ(ReadFileData(number), kLinkOk);
    EXPECT_EQ(g_transferLength, Unit(1).Snapshot("Travel").size());

    ASSERT_EQ(WriteFileData(0x20), kLinkOk);
    const auto& files = Unit(2).Files();
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files.back().name, "Travel");

    g_selectedUnit = 0x20;
    ASSERT_EQ(ReadFileList(FileList::Files), kLinkOk);
    ASSERT_EQ(LoadFile(static_cast<uint8_t>(g_files[2].fileId), false), kLinkOk);
    EXPECT_EQ(Unit(2).ControlValue(59), 99);
}

TEST_F(SimEffects, AnEffectIsSavedAssignedGivenKeyframesAndRun) {
    ASSERT_EQ(ReadEffectList(), kLinkOk);
    ASSERT_EQ(g_effectCount, 1u);
    EXPECT_STREQ(g_effects[0].name, "Wipe");

    ResponseBuffer a;
    ASSERT_EQ(SendCommand2(176, 0x5C, 3, 2, a), kLinkOk);
    EXPECT_EQ(a[7], 3);
    EXPECT_EQ(a[33], 2);  // keyframes
    EXPECT_EQ(a[34] << 8 | a[35], 0x1234);
    ASSERT_EQ(SendCommand2(177, 0x5D, 3, 2, a), kLinkOk);
    EXPECT_EQ(a[9], 3);
    EXPECT_EQ(a[12], 161);
    ASSERT_EQ(SendCommand3(178, 0x5E, 3, 1, 2, a), kLinkOk);
    EXPECT_EQ(a[10] << 8 | a[11], 50);
    EXPECT_EQ(a[14], 6);

    uint8_t number = 0;
    ASSERT_EQ(SaveEffect("Push", number), kLinkOk);
    EXPECT_EQ(number, 4);
    const uint8_t assign[] = {number, 1, 2, 59, 0};
    ASSERT_EQ(SendCommandBytes(177, 0x5D, 5, assign, a), kLinkOk);
    ASSERT_EQ(SendCommand2(177, 0x5D, number, 2, a), kLinkOk);
    EXPECT_EQ(a[9], 2);
    EXPECT_EQ(a[10], 59);

    // Insert keyframe 1 with 30 frames, read it back, delete it again.
    const uint8_t insert[] = {number, 1, 1, 0, 30, 0, 0, 0};
    ASSERT_EQ(SendCommandBytes(178, 0x5E, 8, insert, a), kLinkOk);
    ASSERT_EQ(SendCommand3(178, 0x5E, number, 0, 2, a), kLinkOk);
    EXPECT_EQ(a[10] << 8 | a[11], 30);
    const uint8_t remove[] = {number, 0, 0, 0, 30};
    ASSERT_EQ(SendCommandBytes(178, 0x33, 5, remove, a), kLinkOk);
    EXPECT_TRUE(Unit(1).Effects().back().keyframes.empty());

    ASSERT_EQ(ReadEffectList(), kLinkOk);
    EXPECT_EQ(g_effectCount, 2u);
    EXPECT_STREQ(g_effects[1].name, "Push");
    ASSERT_EQ(SelectEffect(number), kLinkOk);
    EXPECT_EQ(Unit(1).RunningEffect(), number);
    ASSERT_EQ(SendCommand2(176, 0x5C, number, 0, a), kLinkOk);
    EXPECT_EQ(Unit(1).Effects().size(), 1u);
}

TEST_F(SimEffects, AGpiSequenceIsReadEditedAndStepped) {
    ASSERT_EQ(ReadGpiSequenceList(), kLinkOk);
    ASSERT_EQ(g_gpiSequenceCount, 1u);
    EXPECT_EQ(g_gpiSequences[0].eventCount, 2u);

    ASSERT_EQ(GpiSequenceCommand(0, kGpiReadDetail), kLinkOk);
    EXPECT_EQ(Unit(1).Received(179), 3);  // two working answers before the detail
    EXPECT_STREQ(g_gpiDetails[0].name, "Show open");
    EXPECT_EQ(g_gpiDetails[0].eventCount, 2);
    EXPECT_EQ(g_gpiDetails[0].eventFileId[1], 2);

    ASSERT_EQ(AddGpiEvent(0, 0x02, 0, 1), kLinkOk);
    ASSERT_EQ(GpiSequenceCommand(0, kGpiReadDetail), kLinkOk);
    EXPECT_EQ(g_gpiDetails[0].eventCount, 3);
    EXPECT_EQ(g_gpiDetails[0].eventFileId[0], 2);
    ASSERT_EQ(AddGpiEvent(0, 0, 2, 0), kLinkOk);

    // The event inserted before the current one moved it to 2; a step wraps it to 1.
    ASSERT_EQ(GpiSequenceCommand(0, kGpiStep), kLinkOk);
    ResponseBuffer a;
    ASSERT_EQ(SendSimpleCommand(159, 13, a, kSpinNormal), kLinkOk);
    EXPECT_EQ(a[18], 1);
    EXPECT_EQ(a[19], 1);
    ASSERT_EQ(GpiSequenceCommand(0, kGpiReset), kLinkOk);
    EXPECT_EQ(Unit(1).GpiSequences()[0].current, 0) << "reset stands before the first event";
}

TEST_F(SimTexts, LocksTextsMessagesAndReplies) {
    ASSERT_EQ(ReadLockTables(), kLinkOk);
    EXPECT_EQ(g_controlLocks[5], 1);
    EXPECT_EQ(g_controlLocks[6], 2);
    EXPECT_EQ(g_switchLocks[33], 1);
    ASSERT_EQ(SetLock(5, kUnlock), kLinkOk);
    ASSERT_EQ(ReadLockTables(), kLinkOk);
    EXPECT_EQ(g_controlLocks[5], 2);

    std::string text;
    ASSERT_EQ(ReadTitle(text), kLinkOk);
    EXPECT_EQ(text, "Studio 4");
    std::array<uint8_t, kUnitInfoLength> info{};
    ASSERT_EQ(ReadUnitInfo(info), kLinkOk);
    EXPECT_STREQ(reinterpret_cast<const char*>(info.data()), "Cedar^Version 3.2^");

    // The unit's own text stays posted until it is read.
    Unit(1).PostMessage(100);
    ASSERT_EQ(Identify(0x10, g_unitIdentity), kLinkOk);
    EXPECT_EQ(g_unitIdentity.MessageNumber, 100);
    ASSERT_EQ(ReadUnitText(text), kLinkOk);
    EXPECT_EQ(text, "Reference lost on input 2");
    ASSERT_EQ(Identify(0x10, g_unitIdentity), kLinkOk);
    EXPECT_EQ(g_unitIdentity.MessageNumber, 0);

    // A plain message is told once, a question until it is answered.
    Unit(1).PostMessage(1);
    ASSERT_EQ(Identify(0x10, g_unitIdentity), kLinkOk);
    EXPECT_EQ(g_unitIdentity.MessageNumber, 1);
    ASSERT_EQ(Identify(0x10, g_unitIdentity), kLinkOk);
    EXPECT_EQ(g_unitIdentity.MessageNumber, 0);
    Unit(1).PostMessage(2);
    ASSERT_EQ(Identify(0x10, g_unitIdentity), kLinkOk);
    ASSERT_EQ(Identify(0x10, g_unitIdentity), kLinkOk);
    EXPECT_EQ(g_unitIdentity.MessageNumber, 2);
    ASSERT_EQ(SendReply(11, 2), kLinkOk);
    EXPECT_EQ(Unit(1).LastReply(), 2);
    ASSERT_EQ(Identify(0x10, g_unitIdentity), kLinkOk);
    EXPECT_EQ(g_unitIdentity.MessageNumber, 0);
}

TEST_F(SimTexts, ModelFourSendsItsSwitchTableFirst) {
    rig.AddUnit(3, SmallProfile(4));
    g_selectedUnit = 0x30;
    g_unitIdentity.ModelCode = 4;
    ASSERT_EQ(ReadLockTables(), kLinkOk);
    EXPECT_EQ(g_controlLocks[5], 1);
    EXPECT_EQ(g_switchLocks[33], 1);
    EXPECT_EQ(g_switchLocks[5], 2);
}

}  // namespace
