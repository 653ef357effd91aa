#include <cstring>
#include <memory>

#include "tests/link/CommandFixture.h"

namespace {

using MenuCommands = CommandTest;

TEST_F(MenuCommands, MenuReadyNeedsLengthSevenAndCodeZero) {
    port.ExpectSend(Request(kWireAddress, 197)).ExpectAnswer(LongAnswer(0, {0}));
    EXPECT_EQ(QueryMenuReady(), kLinkOk);
    port.ExpectSend(Request(kWireAddress, 197)).ExpectAnswer(LongAnswer(0, {}));
    EXPECT_EQ(QueryMenuReady(), kLinkBadType);
    port.ExpectSend(Request(kWireAddress, 197)).ExpectAnswer(LongAnswer(1, {0}));
    EXPECT_EQ(QueryMenuReady(), kLinkBadCode);
}

TEST_F(MenuCommands, BlobArrivesAnswerAfterAnswerUntilB) {
    auto block = std::make_unique<MenuBlock>();
    std::memset(block->bytes, 0xEE, sizeof block->bytes);
    const auto request = Request(kWireAddress, 193);
    port.ExpectSend(request).ExpectAnswer(LongAnswer('A', Bytes(254, 1)));
    port.ExpectSend(request).ExpectAnswer(LongAnswer('A', {7, 8}));
    port.ExpectSend(request).ExpectAnswer(LongAnswer('B', {9}));
    ASSERT_EQ(DownloadMenuBlob(*block), kLinkOk);
    EXPECT_EQ(block->bytes[0], 1);
    EXPECT_EQ(block->bytes[253], 254);
    EXPECT_EQ(block->bytes[254], 7);
    EXPECT_EQ(block->bytes[256], 9);
    EXPECT_EQ(block->bytes[257], 0xEE);

    // C = 0 after some data: 3, and what came stays.
    port.ExpectSend(request).ExpectAnswer(LongAnswer('A', {5}));
    port.ExpectSend(request).ExpectAnswer({9, 6, 0, 0, 0, 'A'});
    EXPECT_EQ(DownloadMenuBlob(*block), kLinkBadLength);
    EXPECT_EQ(block->bytes[0], 5);

    port.ExpectSend(request).ExpectAnswer(LongAnswer('B', {1}, 1));
    EXPECT_EQ(DownloadMenuBlob(*block), kLinkBadType);
}

TEST_F(MenuCommands, BlobThatWouldOverflowTheBlockStops) {
    auto block = std::make_unique<MenuBlock>();
    const auto request = Request(kWireAddress, 193);
    // 258 answers of 254 bytes fill 65532 bytes; the next 254 would not fit.
    for (int i = 0; i < 258; ++i)
        port.ExpectSend(request).ExpectAnswer(LongAnswer('A', std::vector<uint8_t>(254, 0x5A)));
    port.ExpectSend(request).ExpectAnswer(LongAnswer('B', std::vector<uint8_t>(254, 0x77)));
    EXPECT_EQ(DownloadMenuBlob(*block), kLinkBadLength);
    EXPECT_EQ(block->bytes[65531], 0x5A);
    EXPECT_EQ(block->bytes[65532], 0);
}

TEST_F(MenuCommands, AUnitThatNeverFinishesIsGivenUpOn) {
    auto block = std::make_unique<MenuBlock>();
    const auto request = Request(kWireAddress, 193);
    for (size_t i = 0; i <= kMenuBlockSize; ++i)
        port.ExpectSend(request).ExpectAnswer(LongAnswer('A', {}));
    EXPECT_EQ(DownloadMenuBlob(*block), kLinkBadLength);
}

}  // namespace
