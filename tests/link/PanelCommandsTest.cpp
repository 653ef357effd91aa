#include "tests/link/CommandFixture.h"

namespace {

using PanelCommands = CommandTest;

TEST_F(PanelCommands, StatusReadKeepsTheWholeAnswerAndIsClearedWhenItFails) {
    std::vector<uint8_t> data = Bytes(23, 0x40);
    data[22] = 1;  // fan running
    port.ExpectSend({3, 2}).ExpectAnswer(ShortAnswer(data));
    ASSERT_EQ(ReadPanelStatus(), kLinkOk);
    EXPECT_EQ(g_panelStatus.bytes[0], 1);
    EXPECT_EQ(g_panelStatus.bytes[1], 25);
    EXPECT_EQ(g_panelStatus.bytes[2], 0x40);
    EXPECT_EQ(g_panelStatus.bytes[24], 1);
    EXPECT_EQ(g_panelStatus.bytes[25], 0);

    // A bare acknowledgement instead of the status: wrong length, and nothing of the old
    // status survives (no keys, no knob movement, fan flag 0).
    port.ExpectSend({3, 2}).ExpectAnswer(ShortAnswer({}));
    EXPECT_EQ(ReadPanelStatus(), kLinkBadType);
    for (uint8_t byte : g_panelStatus.bytes)
        ASSERT_EQ(byte, 0);

    // A long-form type is not the panel answering.
    port.ExpectSend({3, 2}).ExpectAnswer(ShortAnswer(data, 9));
    EXPECT_EQ(ReadPanelStatus(), kLinkBadType);

    port.ExpectSend({3, 2}).ExpectNoAnswer(kShortSpinLimit);
    EXPECT_EQ(ReadPanelStatus(), kLinkNoResponse);
}

TEST_F(PanelCommands, LampsConfigurationResetAndVersion) {
    const uint8_t lamps[kLampCount] = {0x10, 1, 0, 1, 0, 0x02, 62, 62, 62, 62, 62, 0};
    port.ExpectSend({4, 14, 0x10, 1, 0, 1, 0, 0x02, 62, 62, 62, 62, 62, 0})
        .ExpectAnswer(ShortAnswer({}));
    EXPECT_EQ(SetPanelLamps(lamps), kLinkOk);

    port.ExpectSend({5, 6, 17, 16, 8, 4}).ExpectAnswer(ShortAnswer({}));
    EXPECT_EQ(ConfigurePanel(17, 16, 8, 4), kLinkOk);

    port.ExpectSend({6, 2}).ExpectAnswer(ShortAnswer({0}));  // length 3 is not an ack
    EXPECT_EQ(ResetLink(), kLinkBadType);

    port.ExpectBusy();
    EXPECT_EQ(ResetLink(), kLinkBusy);

    uint8_t version[kPanelVersionLength];
    std::fill(std::begin(version), std::end(version), 0xEE);
    port.ExpectSend({10, 2}).ExpectAnswer(ShortAnswer({'2', '.', '0', '4', 'b'}));
    ASSERT_EQ(ReadPanelVersion(version), kLinkOk);
    EXPECT_STREQ(reinterpret_cast<const char*>(version), "2.04b");
    EXPECT_EQ(version[6], 0);
}

// A remote client's presses on real hardware: the next good status read reports them along
// with the surface's own, once; a failed read keeps them for the one after.
TEST_F(PanelCommands, QueuedInputJoinsTheNextGoodStatusReadOnce) {
    std::vector<uint8_t> data(23, 0);
    data[1] = 0x02;          // key row 1: the surface's own press
    data[6 + 2 * 3] = 0xFE;  // knob 3 moved -2
    data[6 + 2 * 3 + 1] = 0xFF;
    data[6 + 2 * 5] = 0xF0;  // knob 5 near the top of its range
    data[6 + 2 * 5 + 1] = 0x7F;
    QueuePanelKeys(1, 0x01);
    QueueKnobMovement(3, 7);
    QueueKnobMovement(5, 100);
    EXPECT_TRUE(PanelInputQueued());

    port.ExpectSend({3, 2}).ExpectNoAnswer(kShortSpinLimit);
    EXPECT_EQ(ReadPanelStatus(), kLinkNoResponse);
    EXPECT_TRUE(PanelInputQueued());

    port.ExpectSend({3, 2}).ExpectAnswer(ShortAnswer(data));
    ASSERT_EQ(ReadPanelStatus(), kLinkOk);
    EXPECT_EQ(KeyRow(g_panelStatus, 1), 0x03);
    EXPECT_EQ(KnobMovement(g_panelStatus, 3), 5);
    EXPECT_EQ(KnobMovement(g_panelStatus, 5), INT16_MAX) << "held at the end of the range";
    EXPECT_FALSE(PanelInputQueued());

    port.ExpectSend({3, 2}).ExpectAnswer(ShortAnswer(std::vector<uint8_t>(23, 0)));
    ASSERT_EQ(ReadPanelStatus(), kLinkOk);
    EXPECT_EQ(KeyRow(g_panelStatus, 1), 0);
    EXPECT_EQ(KnobMovement(g_panelStatus, 3), 0);
}

}  // namespace
