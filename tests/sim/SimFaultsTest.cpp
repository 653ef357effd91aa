// Each failure mode of the simulator, seen as the result the panel's checks produce.

#include "tests/sim/SimFixture.h"

namespace {

using SimFaultModes = SimTest;

TEST_F(SimFaultModes, AbsentUnitsAndSilentSurfaceGiveNoResponse) {
    rig.SetOnline(2, false);
    UnitIdentity identity;
    EXPECT_EQ(Identify(0x20, identity), kLinkNoResponse);
    EXPECT_EQ(Identify(0x30, identity), kLinkNoResponse);  // never installed
    EXPECT_EQ(rig.Port().PacketsToUnit(2), 1);
    rig.SetOnline(2, true);
    EXPECT_EQ(Identify(0x20, identity), kLinkOk);

    rig.Surface().SetSilent(true);
    EXPECT_EQ(ReadPanelStatus(), kLinkNoResponse);
    rig.Surface().SetSilent(false);
    EXPECT_EQ(ReadPanelStatus(), kLinkOk);
}

TEST_F(SimFaultModes, AUnitThatFallsSilentInTheMiddleOfTheMenuBlob) {
    ASSERT_GT(Unit(1).Blob().size(), 254u);
    Unit(1).Faults().answersLeft = 2;  // the ready answer and the first blob answer
    auto block = std::make_unique<MenuBlock>();
    ASSERT_EQ(QueryMenuReady(), kLinkOk);
    EXPECT_EQ(DownloadMenuBlob(*block), kLinkNoResponse);
    EXPECT_EQ(Unit(1).Received(193), 2);
}

TEST_F(SimFaultModes, BusyAndSlowAnswers) {
    rig.Port().SetBusySends(2);
    UnitIdentity identity;
    EXPECT_EQ(Identify(0x10, identity), kLinkBusy);
    EXPECT_EQ(Identify(0x10, identity), kLinkBusy);
    EXPECT_EQ(Identify(0x10, identity), kLinkOk);
    EXPECT_EQ(Unit(1).Received(192), 1);  // the busy sends never reached it

    // An answer 2000 status reads late misses the identify's limit but not a normal one.
    Unit(1).Faults().slowStatusReads = 2000;
    EXPECT_EQ(Identify(0x10, identity), kLinkNoResponse);
    EXPECT_EQ(ResetLink(), kLinkOk);  // clears the late answer off the line
    EXPECT_EQ(rig.Port().PendingBytes(), 0u);
    EXPECT_EQ(SelectEffect(3), kLinkOk);

    // Late answers nobody reads pile up only to what the far side holds, oldest kept; the
    // reset still clears them.
    Unit(1).Faults().slowStatusReads = 1 << 30;
    size_t before = 0;
    for (int i = 0; i < 10000 && rig.Port().PendingBytes() < SimPort::kLineBytes; ++i) {
        before = rig.Port().PendingBytes();
        Identify(0x10, identity);
    }
    EXPECT_GT(before, SimPort::kLineBytes - 262);
    EXPECT_EQ(rig.Port().PendingBytes(), SimPort::kLineBytes);
    Identify(0x10, identity);
    EXPECT_EQ(rig.Port().PendingBytes(), SimPort::kLineBytes);
    Unit(1).Faults().slowStatusReads = 0;
    EXPECT_EQ(ResetLink(), kLinkOk);
    EXPECT_EQ(rig.Port().PendingBytes(), 0u);
    ASSERT_EQ(Identify(0x10, identity), kLinkOk);
    EXPECT_EQ(identity.ModelCode, Unit(1).Profile().model);

    // A unit busy with itself says so in its identity.
    Unit(1).Faults().slowStatusReads = 0;
    Unit(1).SetBusyIdentifies(1);
    ASSERT_EQ(Identify(0x10, identity), kLinkOk);
    EXPECT_TRUE(identity.UnitFlags & kFlagBusy);
    ASSERT_EQ(Identify(0x10, identity), kLinkOk);
    EXPECT_FALSE(identity.UnitFlags & kFlagBusy);
}

TEST_F(SimFaultModes, CorruptAnswersAreCaughtByTheChecks) {
    SimUnitFaults& faults = Unit(1).Faults();
    faults.corruptCount = 1;

    faults.corruption = SimCorruption::WrongCode;
    EXPECT_EQ(SelectEffect(3), kLinkBadCode);
    EXPECT_EQ(SelectEffect(3), kLinkOk);  // only one answer was corrupted

    faults.corruption = SimCorruption::WrongType;
    faults.corruptCount = 1;
    EXPECT_EQ(SelectEffect(3), kLinkBadType);

    // Too long: the data stay on the line until the link is reset.
    faults.corruption = SimCorruption::Oversize;
    faults.corruptCount = 1;
    EXPECT_EQ(SelectEffect(3), kLinkBadLength);
    EXPECT_EQ(rig.Port().PendingBytes(), 256u);
    EXPECT_EQ(ResetLink(), kLinkOk);
    EXPECT_EQ(SelectEffect(3), kLinkOk);

    // A count beyond the data: the missing bytes read as zeros, i.e. control 0 set to 0.
    faults.corruption = SimCorruption::CountBeyondData;
    faults.corruptCount = 1;
    g_menuDatabase.controls[0].value = 77;
    EXPECT_EQ(SetSwitchValue(161, 1), kLinkOk);
    EXPECT_EQ(g_menuDatabase.switches[33].value, 1);
    EXPECT_EQ(g_menuDatabase.controls[0].value, 0);

    // Cut short after the header: the rest reads as a floating bus.
    faults.corruption = SimCorruption::CutShort;
    faults.corruptCount = 1;
    std::string title = "kept";
    EXPECT_EQ(ReadTitle(title), kLinkOk);
    EXPECT_EQ(title, std::string(9, '\xFF'));

    // Scoped to one command: the others pass untouched.
    faults.corruption = SimCorruption::WrongCode;
    faults.corruptCount = -1;
    faults.corruptCommand = 181;
    EXPECT_EQ(SelectEffect(3), kLinkOk);
    EXPECT_EQ(ReadUnitText(title), kLinkBadCode);
}

}  // namespace
