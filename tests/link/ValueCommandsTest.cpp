#include <cstring>

#include "tests/link/CommandFixture.h"

namespace {

using ValueCommands = CommandTest;

// Data of a first value answer: control i has the value 1000 + i.
std::vector<uint8_t> ControlWords(int count) {
    std::vector<uint8_t> data;
    for (int i = 0; i < count; ++i) {
        const int value = 1000 + i;
        data.push_back(static_cast<uint8_t>(value >> 8));
        data.push_back(static_cast<uint8_t>(value));
    }
    return data;
}

// Data of the second answer: control 127 = -2, switch k = k + 1.
std::vector<uint8_t> RestValues() {
    std::vector<uint8_t> data = {0xFF, 0xFE};
    for (int k = 0; k < 128; ++k)
        data.push_back(static_cast<uint8_t>(k + 1));
    return data;
}

TEST_F(ValueCommands, IdentifyAsksTheGivenUnitAndClearsTheRecordWhenItFails) {
    UnitIdentity identity;
    std::memset(&identity, 0xAA, sizeof identity);
    port.ExpectSend(Request(0x32, 192))
        .ExpectAnswer(LongAnswer('@', {kFlagTally | kFlagReferenceVideo, 0, kModelBirch, 17}));
    ASSERT_EQ(Identify(0x30, identity), kLinkOk);
    EXPECT_EQ(identity.responseType, 9);
    EXPECT_EQ(identity.pad, 0);
    EXPECT_EQ(identity.UnitFlags, kFlagTally | kFlagReferenceVideo);
    EXPECT_EQ(identity.ModelCode, kModelBirch);
    EXPECT_EQ(identity.currentMenu, 17);

    // A wrong answer code is a wrong answer (4, not 6), and leaves no identity behind.
    port.ExpectSend(Request(0x32, 192)).ExpectAnswer(LongAnswer('A', {0, 0, kModelBirch}));
    EXPECT_EQ(Identify(0x30, identity), kLinkBadType);
    EXPECT_EQ(identity.ModelCode, 0);

    // Probing an absent unit gives up after 1000 status reads.
    g_unitIdentity.ModelCode = kModelDune;
    port.ExpectSend(Request(0x42, 192)).ExpectNoAnswer(kSpinIdentify);
    EXPECT_EQ(Identify(0x40, g_unitIdentity), kLinkNoResponse);
    EXPECT_EQ(g_unitIdentity.ModelCode, 0);
    EXPECT_FALSE(IsModelGroupA());
}

TEST_F(ValueCommands, ReadValuesFillsEveryControlAndSwitch) {
    port.ExpectSend(Request(kWireAddress, 172)).ExpectAnswer(LongAnswer(2, ControlWords(127)));
    port.ExpectSend(Request(kWireAddress, 174)).ExpectAnswer(LongAnswer('%', RestValues()));
    ASSERT_EQ(ReadValues(), kLinkOk);
    EXPECT_EQ(g_menuDatabase.controls[0].value, 1000);
    EXPECT_EQ(g_menuDatabase.controls[126].value, 1126);
    EXPECT_EQ(g_menuDatabase.controls[127].value, -2);
    EXPECT_EQ(g_menuDatabase.controls[128].value, 0);
    EXPECT_EQ(g_menuDatabase.switches[0].value, 1);
    EXPECT_EQ(g_menuDatabase.switches[127].value, 128);
    EXPECT_EQ(g_menuDatabase.switches[128].value, 0);  // the pseudo-switches are the panel's
    EXPECT_EQ(g_menuDatabase.controls[5].value2, 0);
}

TEST_F(ValueCommands, ReadValuesFromAUnitWithThirteenControls) {
    g_menuDatabase.controls[13].value = 77;
    port.ExpectSend(Request(kWireAddress, 172)).ExpectAnswer(LongAnswer(4, ControlWords(13)));
    port.ExpectSend(Request(kWireAddress, 174)).ExpectAnswer(LongAnswer('%', RestValues()));
    ASSERT_EQ(ReadValues(), kLinkOk);
    EXPECT_EQ(g_menuDatabase.controls[12].value, 1012);
    EXPECT_EQ(g_menuDatabase.controls[13].value, 77);
    EXPECT_EQ(g_menuDatabase.controls[127].value, -2);
    EXPECT_EQ(g_menuDatabase.switches[64].value, 65);
}

TEST_F(ValueCommands, ReadValuesChecksCountThenCodeAndKeepsWhatCameBeforeAFailure) {
    // Code 2 needs C = 255: with 254 nothing changes and nothing more is asked.
    port.ExpectSend(Request(kWireAddress, 172))
        .ExpectAnswer(LongAnswer(2, std::vector<uint8_t>(253, 0x11)));
    EXPECT_EQ(ReadValues(), kLinkBadLength);
    EXPECT_EQ(g_menuDatabase.controls[0].value, 0);

    // Code 4 needs exactly C = 27.
    port.ExpectSend(Request(kWireAddress, 172)).ExpectAnswer(LongAnswer(4, ControlWords(14)));
    EXPECT_EQ(ReadValues(), kLinkBadLength);

    port.ExpectSend(Request(kWireAddress, 172)).ExpectAnswer(LongAnswer(3, ControlWords(127)));
    EXPECT_EQ(ReadValues(), kLinkBadCode);

    port.ExpectSend(Request(kWireAddress, 172)).ExpectAnswer(LongAnswer(2, ControlWords(127), 8));
    EXPECT_EQ(ReadValues(), kLinkBadType);

    // The second answer fails: controls 0..126 stay as the first answer set them.
    port.ExpectSend(Request(kWireAddress, 172)).ExpectAnswer(LongAnswer(2, ControlWords(127)));
    port.ExpectSend(Request(kWireAddress, 174))
        .ExpectAnswer(LongAnswer('%', std::vector<uint8_t>(129, 0)));
    EXPECT_EQ(ReadValues(), kLinkBadLength);
    EXPECT_EQ(g_menuDatabase.controls[126].value, 1126);
    EXPECT_EQ(g_menuDatabase.controls[127].value, 0);

    port.ExpectSend(Request(kWireAddress, 172)).ExpectAnswer(LongAnswer(2, ControlWords(127)));
    port.ExpectSend(Request(kWireAddress, 174)).ExpectAnswer(LongAnswer('&', RestValues()));
    EXPECT_EQ(ReadValues(), kLinkBadCode);
}

TEST_F(ValueCommands, ReadValues2WritesSecondValuesWithItsOwnChecks) {
    port.ExpectSend(Request(kWireAddress, 173)).ExpectAnswer(LongAnswer(3, ControlWords(127)));
    port.ExpectSend(Request(kWireAddress, 175)).ExpectAnswer(LongAnswer('&', RestValues()));
    ASSERT_EQ(ReadValues2(), kLinkOk);
    EXPECT_EQ(g_menuDatabase.controls[126].value2, 1126);
    EXPECT_EQ(g_menuDatabase.controls[127].value2, 0xFFFE);
    EXPECT_EQ(g_menuDatabase.switches[127].value2, 128);
    EXPECT_EQ(g_menuDatabase.controls[126].value, 0);

    // The count is checked before the code, and the short form of the first read is not
    // accepted here.
    port.ExpectSend(Request(kWireAddress, 173)).ExpectAnswer(LongAnswer(9, ControlWords(13)));
    EXPECT_EQ(ReadValues2(), kLinkBadLength);
    port.ExpectSend(Request(kWireAddress, 173)).ExpectAnswer(LongAnswer(2, ControlWords(127)));
    EXPECT_EQ(ReadValues2(), kLinkBadCode);
}

TEST_F(ValueCommands, SetCommandsSendTheirBytesAndApplyTheUpdateList) {
    // One entry for switch index 5.
    port.ExpectSend(Request(kWireAddress, 168, {0x85, 1})).ExpectAnswer(LongAnswer(4, {0x85, 1}));
    ASSERT_EQ(SetSwitchValue(0x85, 1), kLinkOk);
    EXPECT_EQ(g_menuDatabase.switches[5].value, 1);

    // Control 127 takes two bytes, id 128 is switch index 0.
    port.ExpectSend(Request(kWireAddress, 129, {40, 0xFF, 0xFB}))
        .ExpectAnswer(LongAnswer(4, {127, 0x01, 0x02, 128, 9, 40, 0xFF, 0x9C}));
    ASSERT_EQ(AdjustControl(40, -5), kLinkOk);
    EXPECT_EQ(g_menuDatabase.controls[127].value, 0x0102);
    EXPECT_EQ(g_menuDatabase.switches[0].value, 9);
    EXPECT_EQ(g_menuDatabase.controls[40].value, -100);

    // The reset request; a three-byte control entry plus one byte: L = 10.
    port.ExpectSend(Request(kWireAddress, 168, {12, 0x7F, 0xFF}))
        .ExpectAnswer(LongAnswer(4, {12, 0x00, 0x32, 0xFF}));
    // The last byte (0xFF, a switch id) has no value byte: it is dropped, not read as zero.
    g_menuDatabase.switches[127].value = 3;
    ASSERT_EQ(SetControlValue(12, kResetValue), kLinkOk);
    EXPECT_EQ(g_menuDatabase.controls[12].value, 50);
    EXPECT_EQ(g_menuDatabase.switches[127].value, 3);

    // A control entry cut short by the end of the data is dropped too.
    g_menuDatabase.controls[5].value = 9;
    port.ExpectSend(Request(kWireAddress, 168, {0x85, 0}))
        .ExpectAnswer(LongAnswer(4, {0x85, 0, 5, 1}));
    ASSERT_EQ(SetSwitchValue(0x85, 0), kLinkOk);
    EXPECT_EQ(g_menuDatabase.switches[5].value, 0);
    EXPECT_EQ(g_menuDatabase.controls[5].value, 9);

    // A press without waiting: the request goes out and no answer is read.
    port.ExpectSend(Request(kWireAddress, 168, {0xA0, 1}));
    EXPECT_EQ(PressSwitchNoWait(0xA0), kLinkOk);
}

TEST_F(ValueCommands, SetControlValueAcceptsOnlyTheKnownAnswerLengths) {
    // L = 11: type and code are right, the length is not.
    port.ExpectSend(Request(kWireAddress, 168, {3, 0, 10}))
        .ExpectAnswer(LongAnswer(4, {3, 0, 10, 0, 0}));
    EXPECT_EQ(SetControlValue(3, 10), kLinkBadType);
    EXPECT_EQ(g_menuDatabase.controls[3].value, 0);

    for (int length : {13, 16, 19, 25}) {
        std::vector<uint8_t> data(length - 6, 0xFF);
        data[0] = 3;
        data[1] = 0;
        data[2] = static_cast<uint8_t>(length);
        port.ExpectSend(Request(kWireAddress, 168, {3, 0, 10})).ExpectAnswer(LongAnswer(4, data));
        EXPECT_EQ(SetControlValue(3, 10), kLinkOk) << length;
        EXPECT_EQ(g_menuDatabase.controls[3].value, length);
    }
    port.ExpectSend(Request(kWireAddress, 168, {3, 0, 10}))
        .ExpectAnswer(LongAnswer(5, {3, 0, 10, 0}));
    EXPECT_EQ(SetControlValue(3, 10), kLinkBadCode);
}

TEST_F(ValueCommands, AnAnswerClaimingMoreDataThanArrivedReadsZerosForTheRest) {
    // C says 9 data bytes, L brings 3: the six missing ones read as zeros, so after switch
    // 0x90 the list names control 0 with the value 0 (twice); the last id has no room left.
    port.ExpectSend(Request(kWireAddress, 168, {0x90, 2}))
        .ExpectAnswer({9, 9, 0, 0, 10, 4, 0x90, 2, 0});
    g_menuDatabase.controls[0].value = 55;
    EXPECT_EQ(SetSwitchValue(0x90, 2), kLinkOk);
    EXPECT_EQ(g_menuDatabase.switches[0x10].value, 2);
    EXPECT_EQ(g_menuDatabase.controls[0].value, 0);

    // The same for the value read: a first answer with C = 255 that brings only ten words
    // leaves controls 10..126 at 0.
    g_menuDatabase.controls[40].value = 40;
    std::vector<uint8_t> first = LongAnswer(2, ControlWords(10));
    first[4] = 255;  // wire byte 4 is C
    port.ExpectSend(Request(kWireAddress, 172)).ExpectAnswer(first);
    port.ExpectSend(Request(kWireAddress, 174)).ExpectAnswer(LongAnswer('%', RestValues()));
    EXPECT_EQ(ReadValues(), kLinkOk);
    EXPECT_EQ(g_menuDatabase.controls[9].value, 1009);
    EXPECT_EQ(g_menuDatabase.controls[40].value, 0);
    EXPECT_EQ(g_menuDatabase.switches[127].value, 128);
}

}  // namespace
