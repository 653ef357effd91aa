// The link counters against the simulated rig: each failure mode its scripted step provokes is
// counted once, in the slot of the unit (or the surface) it happened on.

#include <gtest/gtest.h>

#include <memory>

#include "link/Commands.h"
#include "link/LinkStats.h"
#include "link/MenuDatabase.h"
#include "platform/Clock.h"
#include "platform/PortIo.h"
#include "sim/SimRig.h"
#include "sim/SimScript.h"

namespace {

class LinkStats : public testing::Test {
protected:
    void SetUp() override {
        ResetPanelState();
        rig = SimRig::Standard();
        SetPortIo(&rig->Port());
        SetClock(&clock);
    }
    void TearDown() override {
        SetPortIo(nullptr);
        SetClock(nullptr);
    }
    void Step(std::vector<std::string> words) { ASSERT_EQ(RunSimStep(*rig, words), "OK"); }
    LinkStatus IdentifyUnit(int unit) {
        UnitIdentity identity;
        return Identify(AddressOfUnit(unit), identity);
    }

    std::unique_ptr<SimRig> rig;
    VirtualClock clock;
};

TEST_F(LinkStats, EachFailureModeIsCountedOnceInItsSlot) {
    clock.Set(5000);
    Step({"unit", "1", "fault", "wrong-code", "1"});
    EXPECT_NE(IdentifyUnit(1), kLinkOk);
    const LinkCounters& one = LinkStatsOf(1);
    EXPECT_EQ(one.badCode, 1u);
    EXPECT_EQ(one.lastFailure, LinkFailure::BadCode);
    EXPECT_EQ(one.lastFailureTick, 5000u);

    Step({"unit", "1", "fault", "wrong-type", "1"});
    EXPECT_NE(IdentifyUnit(1), kLinkOk);
    Step({"unit", "1", "fault", "oversize", "1"});
    EXPECT_EQ(IdentifyUnit(1), kLinkBadLength);
    EXPECT_EQ(one.badTypeOrLength, 2u);
    ResetLink();  // the oversize answer's data are still on the line

    Step({"unit", "1", "fault", "count-beyond-data", "1"});
    IdentifyUnit(1);
    EXPECT_EQ(one.countBeyondData, 1u);
    EXPECT_EQ(one.lastFailure, LinkFailure::CountBeyondData);

    Step({"unit", "1", "fault", "busy", "2"});
    EXPECT_EQ(IdentifyUnit(1), kLinkBusy);
    EXPECT_EQ(IdentifyUnit(1), kLinkBusy);
    EXPECT_EQ(one.busy, 2u);

    Step({"unit", "1", "fault", "silent"});
    EXPECT_EQ(IdentifyUnit(1), kLinkNoResponse);
    Step({"unit", "1", "fault", "none"});
    EXPECT_EQ(IdentifyUnit(1), kLinkOk);
    EXPECT_EQ(one.noAnswer, 1u);
    EXPECT_EQ(one.lastFailure, LinkFailure::NoAnswer);
    // Every request either found the far side busy, was answered, or was not.
    EXPECT_EQ(one.exchanges, 8u) << "the link reset is the surface's";
    EXPECT_EQ(one.answers + one.noAnswer + one.busy, one.exchanges);

    // The others saw none of it; an absent unit and a silent surface count where they are.
    Step({"unit", "2", "offline"});
    EXPECT_EQ(IdentifyUnit(2), kLinkNoResponse);
    Step({"surface", "silent"});
    EXPECT_EQ(ReadPanelStatus(), kLinkNoResponse);
    EXPECT_EQ(LinkStatsOf(2).noAnswer, 1u);
    EXPECT_EQ(LinkStatsOf(2).answers, 0u);
    EXPECT_EQ(LinkStatsOf(kSurfaceSlot).noAnswer, 1u);
    EXPECT_EQ(LinkStatsOf(kSurfaceSlot).exchanges, 2u);
    EXPECT_EQ(LinkStatsOf(3).exchanges, 0u);

    // A slow unit answers after an identify has given up on it.
    Step({"unit", "3", "fault", "slow"});
    EXPECT_EQ(IdentifyUnit(3), kLinkNoResponse);
    EXPECT_EQ(LinkStatsOf(3).noAnswer, 1u);
    EXPECT_EQ(LinkStatsOf(3).lastFailure, LinkFailure::NoAnswer);
}

TEST_F(LinkStats, AMenuDownloadCountsItsRetriesAndTime) {
    g_selectedUnit = AddressOfUnit(3);
    Step({"unit", "3", "fault", "wrong-code", "1"});  // spoils the first attempt's ready answer
    auto block = std::make_unique<MenuBlock>();
    const uint32_t start = clock.TickMs();
    ASSERT_EQ(DownloadMenus(*block), kLinkOk);
    const LinkCounters& three = LinkStatsOf(3);
    EXPECT_EQ(three.menuDownloads, 1u);
    EXPECT_EQ(three.retries, 1u);
    EXPECT_EQ(three.lastMenuDownloadMs, clock.TickMs() - start);
    EXPECT_GE(three.lastMenuDownloadMs, 200u) << "the two link resets between the attempts";
    EXPECT_EQ(three.badCode, 1u);

    const std::string json = LinkStatsJson();
    EXPECT_NE(json.find("{\"slot\":\"unit 3\",\"exchanges\":"), std::string::npos);
    EXPECT_NE(json.find("\"retries\":1,\"menuDownloads\":1"), std::string::npos);

    // The journal's line: every counter in words, the failure's age in whole seconds.
    clock.Advance(2500);
    const std::string line = LinkStatsLine(3, clock.TickMs());
    const std::string expected = "link of Main Unit 3: " + std::to_string(three.exchanges) +
                                 " exchanges, " + std::to_string(three.answers) +
                                 " answers, 0 no answer, 0 busy, 0 wrong type or length, "
                                 "1 wrong code, 0 count beyond data; menu downloads: 1 in " +
                                 std::to_string(three.menuDownloadMs) +
                                 " ms, 1 retries; last failure wrong code ";
    EXPECT_EQ(line.rfind(expected, 0), 0u) << line;
    EXPECT_EQ(line.substr(line.size() - 6), " s ago") << line;
    EXPECT_EQ(LinkStatsLine(0, clock.TickMs()).rfind("link of the control surface: ", 0), 0u);
    EXPECT_EQ(LinkStatsLine(kLinkSlots, 0), "");
}

TEST(SimScript, RefusesWhatItCannotDo) {
    auto rig = SimRig::Standard();
    EXPECT_EQ(RunSimStep(*rig, {"unit", "5", "online"}), "ERR usage: sim unit N (1-4) ...");
    EXPECT_EQ(RunSimStep(*rig, {"unit", "1", "fault", "gremlins"}), "ERR unknown fault 'gremlins'");
    EXPECT_EQ(RunSimStep(*rig, {"unit", "1", "tally", "maybe"}), "ERR expected on or off");
    EXPECT_EQ(RunSimStep(*rig, {"unit", "1", "control", "200", "5"}),
              "ERR usage: sim unit N control ID(0-128) VALUE");
    ASSERT_EQ(RunSimStep(*rig, {"unit", "4", "online"}), "OK");
    EXPECT_TRUE(rig->Online(4));
    ASSERT_EQ(RunSimStep(*rig, {"unit", "2", "tally", "on"}), "OK");
    EXPECT_TRUE(rig->Unit(2)->Flags() & 0x01);
    ASSERT_EQ(RunSimStep(*rig, {"unit", "3", "control", "2", "77"}), "OK");
    EXPECT_EQ(rig->Unit(3)->ControlValue(2), 77);
    EXPECT_TRUE(rig->Unit(3)->Flags() & 0x02) << "values changed on the unit";
}

}  // namespace
