#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "link/EppLink.h"
#include "platform/Clock.h"
#include "tests/support/ScriptedPort.h"

namespace {

std::vector<uint8_t> Iota(int count, uint8_t first = 1) {
    std::vector<uint8_t> bytes(count);
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(first + i);
    return bytes;
}

TEST(EppSend, WritesExactlyTheLengthInByteOneUnlessTheFarSideIsBusy) {
    const uint8_t packet[] = {0x08, 0x06, 0x12, 0x01, 172, 0xFF, 0xEE /* not part of it */};
    ScriptedPort port;
    port.ExpectSend({0x08, 0x06, 0x12, 0x01, 172, 0xFF});
    EXPECT_EQ(SendPacket(packet), kLinkOk);

    // Busy: one status read, then nothing at all on the data register.
    port.ExpectBusy();
    EXPECT_EQ(SendPacket(packet), kLinkBusy);

    // Short-form packets are framed the same way.
    const uint8_t status[] = {3, 2};
    port.ExpectSend({3, 2});
    EXPECT_EQ(SendPacket(status), kLinkOk);
    port.ExpectDone();
}

TEST(EppReceive, PlacesTheHeaderAroundThePadByteAndReadsTheData) {
    ScriptedPort port;
    std::array<uint8_t, kResponseSize> buffer;
    port.ExpectAnswer({9, 9, 0, 0x77, 4, 0x40, 0xA1, 0xA2, 0xA3}, 3);
    ASSERT_EQ(ReceiveResponse(buffer.data(), kSpinNormal), kLinkOk);
    const std::vector<uint8_t> head(buffer.begin(), buffer.begin() + 11);
    EXPECT_EQ(head, (std::vector<uint8_t>{9, 0, 9, 0, 0x77, 4, 0x40, 0xA1, 0xA2, 0xA3, 0}));
    port.ExpectDone();
}

TEST(EppReceive, LengthsAtTheEdgesOfTheBuffer) {
    ScriptedPort port;
    std::array<uint8_t, kResponseSize> buffer;

    // L = 6: a bare answer with no data.
    port.ExpectAnswer(LongAnswer(0x25, {}));
    EXPECT_EQ(ReceiveResponse(buffer.data(), kSpinNormal), kLinkOk);
    EXPECT_EQ(buffer[kRespCount], 1);
    EXPECT_EQ(buffer[kRespCode], 0x25);

    // L = 261: 255 data bytes fill the buffer to its last byte.
    port.ExpectAnswer(LongAnswer(2, Iota(255)));
    EXPECT_EQ(ReceiveResponse(buffer.data(), kSpinNormal), kLinkOk);
    EXPECT_EQ(buffer[kRespData], 1);
    EXPECT_EQ(buffer[kResponseSize - 1], 255);

    // L = 262: too long; only the six header bytes are read, the data stay on the line.
    port.ExpectAnswer({9, 0x06, 0x01, 0, 0xFF, 2});
    EXPECT_EQ(ReceiveResponse(buffer.data(), kSpinNormal), kLinkBadLength);
    EXPECT_EQ(buffer[kRespCode], 2);

    // L below 6 (a broken unit): no data are read and the answer stands as it came.
    port.ExpectAnswer({9, 3, 0, 0, 1, 4});
    EXPECT_EQ(ReceiveResponse(buffer.data(), kSpinNormal), kLinkOk);
    port.ExpectDone();
}

TEST(EppReceive, ClearsTheWholeBufferBeforeEveryReceive) {
    ScriptedPort port;
    std::array<uint8_t, kResponseSize> buffer;
    buffer.fill(0xCC);
    port.ExpectAnswer(LongAnswer(4, {1, 2}));
    ASSERT_EQ(ReceiveResponse(buffer.data(), kSpinNormal), kLinkOk);
    EXPECT_EQ(buffer[1], 0);
    for (size_t i = kRespData + 2; i < kResponseSize; ++i)
        ASSERT_EQ(buffer[i], 0) << i;

    // A failed receive leaves a cleared buffer too.
    buffer.fill(0xCC);
    port.ExpectNoAnswer(kSpinIdentify);
    EXPECT_EQ(ReceiveResponse(buffer.data(), kSpinIdentify), kLinkNoResponse);
    for (size_t i = 0; i < kResponseSize; ++i)
        ASSERT_EQ(buffer[i], 0) << i;

    std::array<uint8_t, kShortResponseSize> shortBuffer;
    shortBuffer.fill(0xCC);
    port.ExpectAnswer(ShortAnswer({}));
    ASSERT_EQ(ReceiveShortResponse(shortBuffer.data()), kLinkOk);
    for (size_t i = 2; i < kShortResponseSize; ++i)
        ASSERT_EQ(shortBuffer[i], 0) << i;
    port.ExpectDone();
}

TEST(EppReceive, SpinLimitCountsStatusReadsExactly) {
    ScriptedPort port;
    std::array<uint8_t, kResponseSize> buffer;

    // Bit 4 never clears: exactly the limit of status reads, then "no response".
    port.ExpectNoAnswer(kSpinIdentify);
    EXPECT_EQ(ReceiveResponse(buffer.data(), kSpinIdentify), kLinkNoResponse);
    port.ExpectDone();

    // Bit 4 clears on exactly the last allowed read: still "no response", nothing is read.
    port.ExpectAnswer({}, kSpinIdentify - 1);
    EXPECT_EQ(ReceiveResponse(buffer.data(), kSpinIdentify), kLinkNoResponse);
    port.ExpectDone();

    // One read earlier is in time.
    port.ExpectAnswer(LongAnswer(0x40, {}), kSpinIdentify - 2);
    EXPECT_EQ(ReceiveResponse(buffer.data(), kSpinIdentify), kLinkOk);
    port.ExpectDone();

    // The short form waits at most its fixed limit.
    port.ExpectNoAnswer(kShortSpinLimit);
    EXPECT_EQ(ReceiveShortResponse(buffer.data()), kLinkNoResponse);
    port.ExpectDone();
}

TEST(EppReceiveShort, ReadsTheLengthItsSecondByteGives) {
    ScriptedPort port;
    std::array<uint8_t, kShortResponseSize> buffer;

    // Length 2 is a bare acknowledgement: no data byte is read.
    port.ExpectAnswer({1, 2});
    EXPECT_EQ(ReceiveShortResponse(buffer.data()), kLinkOk);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(buffer[1], 2);

    // The panel status: length 25, 23 data bytes straight after the two header bytes.
    port.ExpectAnswer(ShortAnswer(Iota(23, 0x10)));
    EXPECT_EQ(ReceiveShortResponse(buffer.data()), kLinkOk);
    EXPECT_EQ(buffer[2], 0x10);
    EXPECT_EQ(buffer[24], 0x10 + 22);
    EXPECT_EQ(buffer[25], 0);

    // The largest length byte: 253 data bytes, and the buffer still has room to spare.
    port.ExpectAnswer(ShortAnswer(Iota(253)));
    EXPECT_EQ(ReceiveShortResponse(buffer.data()), kLinkOk);
    EXPECT_EQ(buffer[254], 253);
    EXPECT_EQ(buffer[255], 0);
    port.ExpectDone();
}

TEST(DelayMs, WaitsTheTimeAlsoAcrossTheWrapOfTheCounter) {
    VirtualClock clock;
    SetClock(&clock);

    clock.Set(1000);
    DelayMs(100);
    EXPECT_EQ(clock.TickMs(), 1100u);

    // 50 ms before the wrap, a 200 ms wait ends 150 ms after it, not at once.
    clock.Set(0xFFFFFFFFu - 49);
    const uint64_t before = clock.PausedMs();
    DelayMs(200);
    EXPECT_EQ(clock.TickMs(), 150u);
    EXPECT_EQ(clock.PausedMs() - before, 200u);

    // A wait that ends exactly on the wrap.
    clock.Set(0xFFFFFFFFu - 99);
    DelayMs(100);
    EXPECT_EQ(clock.TickMs(), 0u);
    SetClock(nullptr);
}

}  // namespace
