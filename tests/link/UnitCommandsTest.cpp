#include "tests/link/CommandFixture.h"

namespace {

using LockCommands = CommandTest;
using UnitCommands = CommandTest;

TEST_F(LockCommands, TablesComeControlsFirstExceptFromModelFour) {
    std::vector<uint8_t> first(128, 2), second(128, 2);
    first[3] = 1;
    second[7] = 1;
    const auto request = Request(kWireAddress, 185);
    port.ExpectSend(request).ExpectAnswer(LongAnswer(2, first));
    port.ExpectSend(request).ExpectAnswer(LongAnswer(2, second));
    ASSERT_EQ(ReadLockTables(), kLinkOk);
    EXPECT_EQ(g_controlLocks[3], 1);
    EXPECT_EQ(g_switchLocks[7], 1);
    EXPECT_EQ(g_switchLocks[3], 2);

    g_unitIdentity.ModelCode = kModelElm;
    port.ExpectSend(request).ExpectAnswer(LongAnswer(2, first));
    port.ExpectSend(request).ExpectAnswer(LongAnswer(2, second));
    ASSERT_EQ(ReadLockTables(), kLinkOk);
    EXPECT_EQ(g_switchLocks[3], 1);
    EXPECT_EQ(g_controlLocks[7], 1);
    EXPECT_EQ(g_controlLocks[3], 2);

    // The second answer fails: the first table is already written.
    g_unitIdentity.ModelCode = kModelCedar;
    std::vector<uint8_t> fresh(128, 2);
    port.ExpectSend(request).ExpectAnswer(LongAnswer(2, fresh));
    port.ExpectSend(request).ExpectAnswer(LongAnswer(0, fresh));
    EXPECT_EQ(ReadLockTables(), kLinkBadCode);
    EXPECT_EQ(g_controlLocks[7], 2);
    EXPECT_EQ(g_switchLocks[3], 1);

    // A short table is taken as it came: the entries it lacks read as zeros.
    port.ExpectSend(request).ExpectAnswer(LongAnswer(2, std::vector<uint8_t>(100, 2)));
    port.ExpectSend(request).ExpectAnswer(LongAnswer(2, fresh));
    EXPECT_EQ(ReadLockTables(), kLinkOk);
    EXPECT_EQ(g_controlLocks[99], 2);
    EXPECT_EQ(g_controlLocks[100], 0);
    EXPECT_EQ(g_controlLocks[127], 0);
    EXPECT_EQ(g_switchLocks[127], 2);

    port.ExpectSend({0x08, 8, kWireAddress, 3, 184, 0x91, 1, 0xFF}).ExpectAnswer(LongAnswer(0, {}));
    EXPECT_EQ(SetLock(0x91, kLock), kLinkOk);
}

TEST_F(UnitCommands, TextsEndAtTheirFirstZero) {
    std::string title = "old";
    port.ExpectSend(Request(kWireAddress, 182))
        .ExpectAnswer(LongAnswer(0, {9, 9, 'S', 't', 'u', 'd', 'i', 'o', ' ', 'A', 0, 'x'}));
    ASSERT_EQ(ReadTitle(title), kLinkOk);
    EXPECT_EQ(title, "Studio A");

    // Without a zero the text ends with the data.
    std::string text;
    port.ExpectSend(Request(kWireAddress, 181)).ExpectAnswer(LongAnswer('!', {'S', 'a', 'v', 'e'}));
    ASSERT_EQ(ReadUnitText(text), kLinkOk);
    EXPECT_EQ(text, "Save");
    port.ExpectSend(Request(kWireAddress, 181)).ExpectAnswer(LongAnswer(0, {'X'}));
    EXPECT_EQ(ReadUnitText(text), kLinkBadCode);
    EXPECT_EQ(text, "Save");

    port.ExpectSend(Request(kWireAddress, 158, {11, 2})).ExpectAnswer(LongAnswer(5, {}));
    EXPECT_EQ(SendReply(11, 2), kLinkOk);

    std::array<uint8_t, kUnitInfoLength> info{};
    port.ExpectSend(Request(kWireAddress, 171)).ExpectAnswer(LongAnswer(0x77, Bytes(255, 1)));
    ASSERT_EQ(ReadUnitInfo(info), kLinkOk);
    EXPECT_EQ(info[0], 1);
    EXPECT_EQ(info[254], 255);
}

TEST_F(UnitCommands, PassThroughRelaysAFrameAndReturnsTheWholeAnswer) {
    const uint8_t frame[] = {0x02, 3, 172, 0x10, 0x20, 0x5A};
    port.ExpectSend({0x08, 8, kWireAddress, 3, 172, 0x10, 0x20, 0x5A})
        .ExpectAnswer(LongAnswer(0x25, {1, 2}));
    ResponseBuffer answer;
    answer.fill(0xCC);
    ASSERT_EQ(PassThrough(frame, answer), kLinkOk);
    EXPECT_EQ(answer[5], 3);
    EXPECT_EQ(answer[6], 0x25);
    EXPECT_EQ(answer[8], 2);
    EXPECT_EQ(answer[9], 0);

    // No answer: all zeros.
    answer.fill(0xCC);
    port.ExpectSend({0x08, 8, kWireAddress, 3, 172, 0x10, 0x20, 0x5A}).ExpectNoAnswer(kSpinEdit);
    EXPECT_EQ(PassThrough(frame, answer), kLinkNoResponse);
    for (uint8_t byte : answer)
        ASSERT_EQ(byte, 0);

    // 251 data bytes cannot be framed: nothing is sent.
    std::vector<uint8_t> big(260, 0);
    big[0] = 0x02;
    big[1] = 251;
    answer.fill(0xCC);
    EXPECT_EQ(PassThrough(big.data(), answer), kLinkBadLength);
    EXPECT_EQ(answer[0], 0);
}

TEST_F(UnitCommands, GeneralFormsAndThePingedCommand) {
    ResponseBuffer answer;
    port.ExpectSend(Request(kWireAddress, 235)).ExpectAnswer(LongAnswer(0, {}));
    EXPECT_EQ(SendSimpleCommand(235, 0, answer, kSpinNormal), kLinkOk);
    port.ExpectSend(Request(kWireAddress, 176, {3, 2})).ExpectAnswer(LongAnswer(0x5C, {3}));
    EXPECT_EQ(SendCommand2(176, 0x5C, 3, 2, answer), kLinkOk);
    EXPECT_EQ(answer[kRespData], 3);
    port.ExpectSend(Request(kWireAddress, 178, {3, 1, 2})).ExpectAnswer(LongAnswer(0x5D, {}));
    EXPECT_EQ(SendCommand3(178, 0x5E, 3, 1, 2, answer), kLinkBadCode);
    const uint8_t bytes[] = {3, 2, 1, 0x01, 0x2C, 0, 0, 0};
    port.ExpectSend(Request(kWireAddress, 178, {3, 2, 1, 0x01, 0x2C, 0, 0, 0}))
        .ExpectAnswer(LongAnswer(0x5E, {}));
    EXPECT_EQ(SendCommandBytes(178, 0x5E, 8, bytes, answer), kLinkOk);

    // An absent unit is identified, gets nothing and counts as done.
    port.ExpectSend(Request(0x12, 192)).ExpectNoAnswer(kSpinIdentify);
    EXPECT_EQ(SendPingedCommand(0x10, 234, 27, answer, 2000000), kLinkOk);
    port.ExpectSend(Request(0x42, 192)).ExpectAnswer(LongAnswer('@', {0, 0, 11}));
    port.ExpectSend(Request(0x42, 234)).ExpectAnswer(LongAnswer(26, {}));
    EXPECT_EQ(SendPingedCommand(0x40, 234, 27, answer, 2000000), kLinkBadCode);
}

// Every command waits exactly its own number of status reads for an answer.
TEST_F(UnitCommands, EachCommandWaitsItsOwnSpinLimit) {
    struct Case {
        const char* name;
        std::vector<uint8_t> request;
        int spin;
        LinkStatus (*run)();
    };
    const Case cases[] = {
        {"values", Request(kWireAddress, 172), kSpinNormal, [] { return ReadValues(); }},
        {"adjust", Request(kWireAddress, 129, {1, 0, 1}), kSpinSet,
         [] { return AdjustControl(1, 1); }},
        {"set control", Request(kWireAddress, 168, {1, 0, 1}), kSpinNormal,
         [] { return SetControlValue(1, 1); }},
        {"set switch", Request(kWireAddress, 168, {0x81, 1}), kSpinSet,
         [] { return SetSwitchValue(0x81, 1); }},
        {"load", Request(kWireAddress, 147, {1}), kSpinEdit, [] { return LoadFile(1, false); }},
        {"delete", Request(kWireAddress, 190, {0, 1}), kSpinEdit,
         [] { return DeleteFile(1, false); }},
        {"gpi event", Request(kWireAddress, 180, {0, 0, 1, 1, 1}), kSpinEdit,
         [] { return AddGpiEvent(0, 1, 0, 1); }},
        {"menu blob", Request(kWireAddress, 193), kSpinSet,
         [] {
             static MenuBlock block;
             return DownloadMenuBlob(block);
         }},
    };
    for (const Case& c : cases) {
        port.ExpectSend(c.request).ExpectNoAnswer(c.spin);
        EXPECT_EQ(c.run(), kLinkNoResponse) << c.name;
        EXPECT_EQ(port.Remaining(), 0u) << c.name;
    }
}

}  // namespace
