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

}  // namespace
