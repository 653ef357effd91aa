// The link trace: what each exchange, refusal, silence and wait leaves in the file, the size
// bound, and the simulated rig answering from the trace as the units once did.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "link/Commands.h"
#include "link/LinkTrace.h"
#include "platform/Clock.h"
#include "platform/Pcapng.h"
#include "sim/SimReplay.h"
#include "sim/SimRig.h"

namespace {

// One packet of the trace, taken apart.
struct Traced {
    uint8_t kind, slot, result;
    uint32_t spins;
    std::vector<uint8_t> request, answer;
};

uint32_t Word(const std::vector<uint8_t>& p, size_t at) {
    return static_cast<uint32_t>(p[at]) << 24 | p[at + 1] << 16 | p[at + 2] << 8 | p[at + 3];
}

std::vector<Traced> ReadTrace(const std::string& path) {
    std::vector<PcapngPacket> packets;
    std::string error;
    EXPECT_TRUE(ReadPcapngFile(path, 1 << 24, &packets, &error)) << error;
    std::vector<Traced> out;
    for (const PcapngPacket& packet : packets) {
        const auto& p = packet.data;
        EXPECT_EQ(packet.linkType, 147);
        EXPECT_EQ(p.at(0), 1) << "format version";
        const size_t requestLength = p[12] << 8 | p[13], answerLength = p[14] << 8 | p[15];
        EXPECT_EQ(p.size(), 16 + requestLength + answerLength);
        out.push_back({p[1],
                       p[2],
                       p[3],
                       Word(p, 4),
                       {p.begin() + 16, p.begin() + 16 + static_cast<long>(requestLength)},
                       {p.begin() + 16 + static_cast<long>(requestLength), p.end()}});
    }
    return out;
}

class LinkTraceTest : public testing::Test {
protected:
    void SetUp() override {
        ResetPanelState();
        rig = SimRig::Standard();
        SetPortIo(&rig->Port());
        SetClock(&clock);
        path = dir.filePath("link.pcapng").toStdString();
    }
    void TearDown() override {
        g_linkTrace = nullptr;
        SetPortIo(nullptr);
        SetClock(nullptr);
    }
    void StartTrace(uint64_t maxBytes = kTraceDefaultMaxBytes) {
        std::string error;
        ASSERT_TRUE(trace.Open(path, maxBytes, &error)) << error;
        g_linkTrace = &trace;
    }
    std::vector<Traced> StopTrace() {
        g_linkTrace = nullptr;
        trace.Close();
        return ReadTrace(path);
    }

    QTemporaryDir dir;
    std::string path;
    std::unique_ptr<SimRig> rig;
    VirtualClock clock;
    CLinkTrace trace;
};

TEST_F(LinkTraceTest, EachExchangeRefusalSilenceAndWaitIsOnePacket) {
    StartTrace();
    UnitIdentity identity{};
    ASSERT_EQ(Identify(0x30, identity), kLinkOk);
    ASSERT_EQ(Identify(0x40, identity), kLinkNoResponse);  // unit 4 is off line
    rig->Port().SetBusySends(1);
    ASSERT_EQ(ReadPanelStatus(), kLinkBusy);
    ASSERT_EQ(ReadPanelStatus(), kLinkOk);
    rig->Unit(3)->Faults().corruption = SimCorruption::Oversize;
    ASSERT_EQ(Identify(0x30, identity), kLinkBadLength);
    g_selectedUnit = 0x30;
    ASSERT_EQ(PressSwitchNoWait(150), kLinkOk);  // its answer is never read
    DelayMs(100);
    const auto t = StopTrace();
    ASSERT_EQ(t.size(), 7u);

    const std::vector<uint8_t> identify = {0x08, 0x06, 0x32, 0x01, 192, 0xFF};
    EXPECT_EQ(t[0].kind, 1);
    EXPECT_EQ(t[0].slot, 3);
    EXPECT_EQ(t[0].result, kLinkOk);
    EXPECT_EQ(t[0].spins, 3u)
        << "two status reads before the answer shows, and the one that sees it";
    EXPECT_EQ(t[0].request, identify);
    // The answer as it came off the wire: no pad byte, L low byte first.
    ASSERT_GE(t[0].answer.size(), 6u);
    EXPECT_EQ(t[0].answer[0], 9);
    EXPECT_EQ(t[0].answer[1] | t[0].answer[2] << 8, static_cast<int>(t[0].answer.size()));
    EXPECT_EQ(t[0].answer[5], '@');

    EXPECT_EQ(t[1].slot, 4);
    EXPECT_EQ(t[1].result, kLinkNoResponse);
    EXPECT_EQ(t[1].spins, static_cast<uint32_t>(kSpinIdentify));
    EXPECT_TRUE(t[1].answer.empty());

    EXPECT_EQ(t[2].kind, 2) << "refused: no receive follows";
    EXPECT_EQ(t[2].slot, 0);
    EXPECT_EQ(t[2].result, kLinkBusy);
    EXPECT_EQ(t[2].request, (std::vector<uint8_t>{3, 2}));

    EXPECT_EQ(t[3].kind, 1);
    EXPECT_EQ(t[3].answer.size(), 25u) << "short form as on the wire: type, length 25, 23 data";
    EXPECT_EQ(t[3].answer[1], 25);

    EXPECT_EQ(t[4].result, kLinkBadLength);
    EXPECT_EQ(t[4].answer.size(), 6u) << "only the header was read; the data stay on the line";

    EXPECT_EQ(t[5].kind, 2) << "a send-only request ends when the wait begins";
    EXPECT_EQ(t[5].result, kLinkOk);
    EXPECT_EQ(t[5].request, (std::vector<uint8_t>{0x08, 0x08, 0x32, 0x03, 168, 150, 1, 0xFF}));

    EXPECT_EQ(t[6].kind, 3);
    EXPECT_EQ(t[6].slot, kTraceNoSlot);
    EXPECT_EQ(t[6].spins, 100u) << "the milliseconds asked";
    EXPECT_TRUE(t[6].request.empty());
}

TEST_F(LinkTraceTest, PastItsBoundTheFileStartsAgainAndTheOlderOneIsKept) {
    // A run restarted after a crash keeps the crashed run's trace: it becomes .1.
    StartTrace();
    UnitIdentity first{};
    Identify(0x40, first);
    StopTrace();
    StartTrace();
    ASSERT_EQ(ReadTrace(path + ".1").size(), 1u);
    EXPECT_EQ(ReadTrace(path + ".1")[0].slot, 4);
    StopTrace();
    // An older .1 from an earlier run goes.
    std::ofstream(path + ".1") << "not a trace";
    std::filesystem::remove(path);
    StartTrace(2000);
    UnitIdentity identity{};
    for (int i = 0; i < 60; ++i)
        Identify(static_cast<UnitAddress>(0x10 * (1 + i % 3)), identity);
    const auto newer = StopTrace();
    const auto older = ReadTrace(path + ".1");
    ASSERT_FALSE(newer.empty());
    ASSERT_FALSE(older.empty());
    EXPECT_LE(std::ifstream(path + ".1", std::ios::ate).tellg(), 2000);
    EXPECT_LT(older.size() + newer.size(), 60u) << "the files before .1 are gone";
    // The new file takes up where the older one ends, and ends with the last exchange.
    EXPECT_EQ(newer.front().slot, older.back().slot % 3 + 1);
    EXPECT_EQ(newer.back().slot, 3);
}

TEST_F(LinkTraceTest, AFileThatCannotBeWrittenIsSaidAndTheLinkGoesOn) {
    std::string error;
    EXPECT_FALSE(trace.Open(dir.filePath("missing/link.pcapng").toStdString(), 1 << 20, &error));
    EXPECT_NE(error.find("missing/link.pcapng: No such file or directory"), std::string::npos)
        << error;
    EXPECT_FALSE(trace.Open("/dev/full", 1 << 20, &error));
    EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
    g_linkTrace = &trace;  // closed: the link must not mind
    UnitIdentity identity{};
    EXPECT_EQ(Identify(0x10, identity), kLinkOk);
}

// ---- Replay ----------------------------------------------------------------------------------

TEST_F(LinkTraceTest, ReplayAnswersInRecordingOrderRepeatsTheLastAndKeepsSilences) {
    StartTrace();
    UnitIdentity identity{};
    SimUnit& unit = *rig->Unit(2);
    Identify(0x20, identity);
    unit.SetTally(true);
    Identify(0x20, identity);
    unit.Faults().answersLeft = 0;
    Identify(0x20, identity);
    ASSERT_EQ(ReadPanelStatus(), kLinkOk);
    StopTrace();

    // A fresh rig where unit 2 is off line and the surface has a key pressed.
    rig = SimRig::Standard();
    rig->SetOnline(2, false);
    std::string error;
    ASSERT_TRUE(rig->Replay(path, &error)) << error;
    SetPortIo(&rig->Port());
    UnitIdentity first{}, second{};
    EXPECT_EQ(Identify(0x20, first), kLinkOk) << "the trace speaks for a unit the rig lacks";
    EXPECT_EQ(Identify(0x20, second), kLinkOk);
    EXPECT_EQ(first.UnitFlags & kFlagTally, 0);
    EXPECT_EQ(second.UnitFlags & kFlagTally, kFlagTally) << "the tally came on between the two";
    EXPECT_EQ(Identify(0x20, identity), kLinkNoResponse) << "a recorded silence stays silent";
    EXPECT_EQ(Identify(0x20, identity), kLinkNoResponse) << "the last repeats";
    EXPECT_EQ(Identify(0x10, identity), kLinkOk) << "never recorded: the rig's own unit answers";

    rig->Surface().PressKey(0, 0x10);
    ASSERT_EQ(ReadPanelStatus(), kLinkOk);
    EXPECT_EQ(g_panelStatus.bytes[kFirstKeyRowByte] & 0x10, 0)
        << "the recorded answer, not the live surface";
    ASSERT_EQ(ReadPanelStatus(), kLinkOk);
    EXPECT_EQ(g_panelStatus.bytes[kFirstKeyRowByte] & 0x10, 0x10)
        << "used up, the status read goes to the surface: a recorded turn never repeats";
}

TEST_F(LinkTraceTest, ReplayRefusesWhatIsNoTraceAndPassesOverBrokenPackets) {
    std::string error;
    SimReplay replay;
    EXPECT_FALSE(replay.Load(dir.filePath("none.pcapng").toStdString(), &error));
    std::ofstream(path) << "just text, no capture";
    EXPECT_FALSE(replay.Load(path, &error));
    EXPECT_NE(error.find("not a pcapng file"), std::string::npos) << error;

    std::vector<PcapngPacket> packets = {
        {147, {1, 1, 2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 200, 0, 0}},  // request runs past the end
        {1,
         {1, 1, 2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 6, 0, 0, 8, 6, 0x22, 1, 192, 0xFF}},  // Ethernet
    };
    EXPECT_FALSE(replay.Take(packets, &error));
    EXPECT_EQ(error, "no link exchanges in it");
    packets.push_back({147, {1, 1, 2, 0, 0,    0, 0,   3,    0, 0, 0, 6, 0, 6,
                             0, 6, 8, 6, 0x22, 1, 192, 0xFF, 9, 6, 0, 0, 1, '@'}});
    EXPECT_TRUE(replay.Take(packets, &error)) << error;
    EXPECT_EQ(replay.Answers(), 1u);

    // A trace cut inside its last packet (a power cut) still plays what came before.
    StartTrace();
    UnitIdentity identity{};
    Identify(0x10, identity);
    Identify(0x20, identity);
    StopTrace();
    std::filesystem::resize_file(path, std::filesystem::file_size(path) - 10);
    SimReplay cut;
    EXPECT_TRUE(cut.Load(path, &error)) << error;
    EXPECT_EQ(cut.Answers(), 1u);
    EXPECT_NE(cut.Damage().find("a block's length does not hold"), std::string::npos)
        << cut.Damage();
}

}  // namespace
