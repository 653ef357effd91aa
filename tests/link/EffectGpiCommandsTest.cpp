#include <cstring>

#include "tests/link/CommandFixture.h"

namespace {

using EffectCommands = CommandTest;
using GpiCommands = CommandTest;

TEST_F(EffectCommands, ListFillsOnlyTheUnitsFieldsOfEachEffect) {
    g_effects[1].keyframeCount = 6;
    std::vector<uint8_t> data = ListEntry(0x0102, 3, "Wipe");
    const auto second = ListEntry(7, 0, "Dissolve to black");
    data.insert(data.end(), second.begin(), second.end());
    port.ExpectSend(Request(kWireAddress, 196)).ExpectAnswer(LongAnswer(0, {}));
    port.ExpectSend(Request(kWireAddress, 200)).ExpectAnswer(LongAnswer('G', {}));
    port.ExpectSend(Request(kWireAddress, 200)).ExpectAnswer(LongAnswer('H', data));
    ASSERT_EQ(ReadEffectList(), kLinkOk);
    EXPECT_EQ(g_effectCount, 2u);
    EXPECT_EQ(g_effects[0].effectId, 0x0102u);
    EXPECT_EQ(g_effects[0].word2, 3u);
    EXPECT_STREQ(g_effects[1].name, "Dissolve to black");
    EXPECT_EQ(g_effects[1].keyframeCount, 6u);
}

TEST_F(EffectCommands, SaveSendsTheNameFieldAndTakesTheNewNumber) {
    std::vector<uint8_t> params = {0xFF, 1, 'K', 'e', 'y', ' ', '1'};
    params.resize(2 + 24, 0);
    const auto request = Request(kWireAddress, 176, params);
    ASSERT_EQ(request[1], 32);
    ASSERT_EQ(request[3], 27);
    port.ExpectSend(request).ExpectAnswer(LongAnswer(0x5C, {14, 0}));
    uint8_t number = 0;
    ASSERT_EQ(SaveEffect("Key 1", number), kLinkOk);
    EXPECT_EQ(number, 14);

    port.ExpectSend(Request(kWireAddress, 165, {14})).ExpectAnswer(LongAnswer('5', {}));
    EXPECT_EQ(SelectEffect(14), kLinkOk);
    port.ExpectSend(Request(kWireAddress, 165, {14})).ExpectAnswer(LongAnswer(0x5C, {}));
    EXPECT_EQ(SelectEffect(14), kLinkBadCode);
}

TEST_F(GpiCommands, SequenceListHoldsAtMostTen) {
    std::vector<uint8_t> data;
    for (int i = 0; i < 11; ++i) {
        const auto entry = ListEntry(static_cast<uint16_t>(i + 1), 3, "Seq");
        data.insert(data.end(), entry.begin(), entry.end());
    }
    data.resize(10 * 28);
    data.resize(data.size() - 10);  // the tenth entry arrives cut short
    port.ExpectSend(Request(kWireAddress, 188)).ExpectAnswer(LongAnswer(0, {}));
    port.ExpectSend(Request(kWireAddress, 189))
        .ExpectAnswer(LongAnswer('I', {data.begin(), data.begin() + 140}));
    port.ExpectSend(Request(kWireAddress, 189))
        .ExpectAnswer(LongAnswer('J', {data.begin() + 140, data.end()}));
    ASSERT_EQ(ReadGpiSequenceList(), kLinkOk);
    EXPECT_EQ(g_gpiSequenceCount, 10u);
    EXPECT_EQ(g_gpiSequences[9].sequenceId, 10u);
    EXPECT_EQ(g_gpiSequences[9].eventCount, 3u);
    EXPECT_EQ(g_gpiSequences[9].name[13], 0);  // the missing bytes read as zeros

    // An eleventh entry does not fit.
    port.ExpectSend(Request(kWireAddress, 188)).ExpectAnswer(LongAnswer(0, {}));
    port.ExpectSend(Request(kWireAddress, 189))
        .ExpectAnswer(LongAnswer('I', std::vector<uint8_t>(250, 1)));
    port.ExpectSend(Request(kWireAddress, 189))
        .ExpectAnswer(LongAnswer('J', std::vector<uint8_t>(58, 1)));
    EXPECT_EQ(ReadGpiSequenceList(), kLinkBadLength);
    EXPECT_EQ(g_gpiSequenceCount, 10u);
}

// Detail answer data: three bytes, the name, the current event, n and the event pairs.
std::vector<uint8_t> Detail(uint8_t current, int events, int pairsSent) {
    std::vector<uint8_t> data = {1, 2, 3};
    std::vector<uint8_t> name(24, 0);
    std::memcpy(name.data(), "Morning", 7);
    data.insert(data.end(), name.begin(), name.end());
    data.push_back(current);
    data.push_back(static_cast<uint8_t>(events));
    for (int i = 0; i < pairsSent; ++i) {
        data.push_back(static_cast<uint8_t>(0xA0 + i));
        data.push_back(static_cast<uint8_t>(i + 1));
    }
    return data;
}

TEST_F(GpiCommands, DetailIsAskedForAgainUntilTheUnderscoreAnswer) {
    const auto request = Request(kWireAddress, 179, {4, 2});
    ASSERT_EQ(request, (std::vector<uint8_t>{0x08, 0x08, kWireAddress, 0x03, 179, 4, 2, 0xFF}));
    port.ExpectSend(request).ExpectAnswer(LongAnswer('^', {9, 9, 9}));
    port.ExpectSend(request).ExpectAnswer(LongAnswer('^', {}));
    port.ExpectSend(request).ExpectAnswer(LongAnswer('_', Detail(2, 3, 3)));
    ASSERT_EQ(GpiSequenceCommand(4, kGpiReadDetail), kLinkOk);
    const GpiSequenceDetail& detail = g_gpiDetails[4];
    EXPECT_EQ(detail.code, '_');
    EXPECT_EQ(detail.unitBytes[2], 3);
    EXPECT_STREQ(detail.name, "Morning");
    EXPECT_EQ(detail.currentEvent, 2);
    EXPECT_EQ(detail.eventCount, 3);
    EXPECT_EQ(detail.eventFirst[2], 0xA2);
    EXPECT_EQ(detail.eventFileId[0], 1);
    EXPECT_EQ(detail.eventFileId[2], 3);

    // Reset and step end with the first answer of type 9, whatever its code.
    port.ExpectSend(Request(kWireAddress, 179, {4, 3})).ExpectAnswer(LongAnswer('^', {}));
    EXPECT_EQ(GpiSequenceCommand(4, kGpiReset), kLinkOk);
    port.ExpectSend(Request(kWireAddress, 179, {4, 4})).ExpectAnswer(LongAnswer(0, {}, 1));
    EXPECT_EQ(GpiSequenceCommand(4, kGpiStep), kLinkBadType);
}

TEST_F(GpiCommands, DetailReadIsBoundedAndChecksItsEventCount) {
    const auto request = Request(kWireAddress, 179, {1, 2});
    for (int i = 0; i < kMaxGpiDetailAnswers; ++i)
        port.ExpectSend(request).ExpectAnswer(LongAnswer('^', {}));
    EXPECT_EQ(GpiSequenceCommand(1, kGpiReadDetail), kLinkBadCode);

    // More events than the detail holds: it stays as it was.
    port.ExpectSend(request).ExpectAnswer(LongAnswer('_', Detail(1, 201, 2)));
    EXPECT_EQ(GpiSequenceCommand(1, kGpiReadDetail), kLinkBadLength);
    EXPECT_EQ(g_gpiDetails[1].code, 0);

    // Five events announced, two sent: the three missing pairs read as zeros.
    g_gpiDetails[1].eventFileId[4] = 0x66;
    port.ExpectSend(request).ExpectAnswer(LongAnswer('_', Detail(1, 5, 2)));
    EXPECT_EQ(GpiSequenceCommand(1, kGpiReadDetail), kLinkOk);
    EXPECT_EQ(g_gpiDetails[1].eventCount, 5);
    EXPECT_EQ(g_gpiDetails[1].eventFileId[1], 2);
    EXPECT_EQ(g_gpiDetails[1].eventFirst[2], 0);
    EXPECT_EQ(g_gpiDetails[1].eventFileId[4], 0);

    // 200 events: the last pairs lie beyond any answer and read as zeros too.
    port.ExpectSend(request).ExpectAnswer(LongAnswer('_', Detail(1, 200, 100)));
    EXPECT_EQ(GpiSequenceCommand(1, kGpiReadDetail), kLinkOk);
    EXPECT_EQ(g_gpiDetails[1].eventFileId[99], 100);
    EXPECT_EQ(g_gpiDetails[1].eventFileId[199], 0);

    // A sequence number beyond the ten the panel keeps is never read into the table, whatever
    // the mode: nothing is sent. Reset and step do not touch the table and are sent.
    EXPECT_EQ(GpiSequenceCommand(10, kGpiReadDetail), kLinkBadLength);
    EXPECT_EQ(GpiSequenceCommand(200, 1), kLinkBadLength);
    EXPECT_EQ(GpiSequenceCommand(255, 7), kLinkBadLength);
    port.ExpectSend(Request(kWireAddress, 179, {12, kGpiStep})).ExpectAnswer(LongAnswer(0, {}));
    EXPECT_EQ(GpiSequenceCommand(12, kGpiStep), kLinkOk);
}

TEST_F(GpiCommands, EventsAreInsertedAndRemoved) {
    port.ExpectSend({0x08, 11, kWireAddress, 6, 180, 2, 5, 1, 1, 0x21, 0xFF})
        .ExpectAnswer(LongAnswer(29, {}));
    EXPECT_EQ(AddGpiEvent(2, 0x21, 5, 1), kLinkOk);
    port.ExpectSend(Request(kWireAddress, 180, {2, 5, 0, 1, 0})).ExpectAnswer(LongAnswer(27, {}));
    EXPECT_EQ(AddGpiEvent(2, 0, 5, 0), kLinkBadCode);
}

}  // namespace
