#include "tests/link/CommandFixture.h"

namespace {

using FileCommands = CommandTest;

std::vector<uint8_t> Entries(int first, int count) {
    std::vector<uint8_t> bytes;
    for (int i = first; i < first + count; ++i) {
        const auto entry = ListEntry(static_cast<uint16_t>(0x100 + i), static_cast<uint16_t>(i),
                                     "File " + std::to_string(i));
        bytes.insert(bytes.end(), entry.begin(), entry.end());
    }
    return bytes;
}

TEST_F(FileCommands, FileListsArriveInSeveralAnswers) {
    port.ExpectSend(Request(kWireAddress, 194)).ExpectAnswer(LongAnswer(0, {}));
    port.ExpectSend(Request(kWireAddress, 198)).ExpectAnswer(LongAnswer('C', Entries(0, 9)));
    port.ExpectSend(Request(kWireAddress, 198)).ExpectAnswer(LongAnswer('D', Entries(9, 2)));
    ASSERT_EQ(ReadFileList(FileList::Files), kLinkOk);
    EXPECT_EQ(g_fileCount, 11u);
    EXPECT_EQ(g_files[10].fileId, 0x10Au);
    EXPECT_EQ(g_files[10].word2, 10u);
    EXPECT_STREQ(g_files[10].name, "File 10");

    // User files: their own codes and their own table; a trailing half entry is not taken.
    std::vector<uint8_t> data = Entries(0, 1);
    data.resize(data.size() + 14, 0x33);
    port.ExpectSend(Request(kWireAddress, 195)).ExpectAnswer(LongAnswer(0, {}));
    port.ExpectSend(Request(kWireAddress, 199)).ExpectAnswer(LongAnswer('F', data));
    ASSERT_EQ(ReadFileList(FileList::UserFiles), kLinkOk);
    EXPECT_EQ(g_userFileCount, 1u);
    EXPECT_EQ(g_fileCount, 11u);
}

TEST_F(FileCommands, FileListChecksAndTheHundredEntryLimit) {
    // The opening answer must carry no data, then code 0.
    port.ExpectSend(Request(kWireAddress, 194)).ExpectAnswer(LongAnswer(0, {1}));
    EXPECT_EQ(ReadFileList(FileList::Files), kLinkBadLength);
    port.ExpectSend(Request(kWireAddress, 194)).ExpectAnswer(LongAnswer(1, {}));
    EXPECT_EQ(ReadFileList(FileList::Files), kLinkBadCode);
    // A follow-on code of the other list is wrong.
    port.ExpectSend(Request(kWireAddress, 194)).ExpectAnswer(LongAnswer(0, {}));
    port.ExpectSend(Request(kWireAddress, 198)).ExpectAnswer(LongAnswer('F', Entries(0, 1)));
    EXPECT_EQ(ReadFileList(FileList::Files), kLinkBadCode);
    EXPECT_EQ(g_fileCount, 0u);

    // 101 entries do not fit the table: the read stops and the list stays as it was.
    port.ExpectSend(Request(kWireAddress, 194)).ExpectAnswer(LongAnswer(0, {}));
    for (int first = 0; first < 99; first += 9)
        port.ExpectSend(Request(kWireAddress, 198))
            .ExpectAnswer(LongAnswer('C', Entries(first, 9)));
    port.ExpectSend(Request(kWireAddress, 198)).ExpectAnswer(LongAnswer('D', Entries(99, 2)));
    EXPECT_EQ(ReadFileList(FileList::Files), kLinkBadLength);
    EXPECT_EQ(g_fileCount, 0u);
    EXPECT_EQ(g_files[0].fileId, 0u);
}

TEST_F(FileCommands, SaveWithoutMenusEndsWithTheNamesZero) {
    port.ExpectSend({0x08, 14, kWireAddress, 9, 204, 0xFF, 0xFF, 0, 7, 'C', 'l', 'i', 'p', 0})
        .ExpectAnswer(LongAnswer(0x55, {}));
    EXPECT_EQ(SaveFile("Clip", 7, kNewFile, false), kLinkOk);

    // Only the type is checked.
    port.ExpectSend({0x08, 11, kWireAddress, 6, 204, 0x01, 0x02, 0x01, 0x00, 'A', 0})
        .ExpectAnswer(LongAnswer(0, {}, 1));
    EXPECT_EQ(SaveFile("A", 256, 0x0102, false), kLinkBadType);
}

TEST_F(FileCommands, SaveWithMenusCarriesCustomMenusOneToFour) {
    const int unit = 2;
    for (int m = 1; m <= 4; ++m) {
        for (int k = 0; k < 8; ++k)
            g_customKnobs[unit][m][k] = static_cast<uint8_t>(10 * m + k);
        for (int b = 0; b < 6; ++b)
            g_customButtons[unit][m][b] = static_cast<uint8_t>(m + 80);
    }
    g_customKnobs[unit][0][0] = 99;     // custom menu 0 does not travel
    g_customButtons[unit][2][3] = 127;  // an empty button goes on the wire as 255

    std::vector<uint8_t> expected(234, 0);
    const std::vector<uint8_t> head = {0x08, 234, kWireAddress, 229, 205, 0x12, 0x34, 0, 40};
    std::copy(head.begin(), head.end(), expected.begin());
    const std::string name = "A name of 23 characters";
    std::copy(name.begin(), name.end(), expected.begin() + 9);
    // The blocks of custom menus 1..4 start at bytes 35, 85, 135 and 185; the fourth is cut
    // after its byte 48 (byte 233, zero), the last byte sent. The port checks every byte.
    const int blockAt[] = {35, 85, 135, 185};
    for (int m = 1; m <= 4; ++m) {
        for (int k = 0; k < 8; ++k)
            expected[blockAt[m - 1] + k] = static_cast<uint8_t>(10 * m + k);
        for (int b = 0; b < 6; ++b)
            expected[blockAt[m - 1] + 20 + b] = static_cast<uint8_t>(m + 80);
    }
    expected[85 + 20 + 3] = 255;
    port.ExpectSend(expected).ExpectAnswer(LongAnswer(0, {}));
    EXPECT_EQ(SaveFile(name + "XYZ", 40, 0x1234, true), kLinkOk);
    EXPECT_EQ(port.Remaining(), 0u);
}

TEST_F(FileCommands, LoadAndDelete) {
    port.ExpectSend({0x08, 7, kWireAddress, 2, 147, 12, 0xFF}).ExpectAnswer(LongAnswer(29, {}));
    EXPECT_EQ(LoadFile(12, false), kLinkOk);
    port.ExpectSend(Request(kWireAddress, 147, {12})).ExpectAnswer(LongAnswer('$', {}));
    EXPECT_EQ(LoadFile(12, false), kLinkBadCode);

    port.ExpectSend({0x08, 8, kWireAddress, 3, 190, 0x01, 0x03, 0xFF})
        .ExpectAnswer(LongAnswer(27, {}));
    EXPECT_EQ(DeleteFile(0x0103, false), kLinkOk);
    port.ExpectSend(Request(kWireAddress, 191, {0, 4})).ExpectAnswer(LongAnswer('"', {}));
    EXPECT_EQ(DeleteFile(4, true), kLinkOk);
    port.ExpectSend(Request(kWireAddress, 191, {0, 4})).ExpectAnswer(LongAnswer(27, {}));
    EXPECT_EQ(DeleteFile(4, true), kLinkBadCode);
}

TEST_F(FileCommands, LoadWithMenusTakesTheFourCustomMenus) {
    std::vector<uint8_t> data(2 + 200, 0);
    for (int m = 1; m <= 4; ++m) {
        const int at = 2 + 50 * (m - 1);
        for (int k = 0; k < 8; ++k)
            data[at + k] = static_cast<uint8_t>(m * 10 + k);
        for (int b = 0; b < 6; ++b)
            data[at + 20 + b] = b == 0 ? 255 : static_cast<uint8_t>(m);
    }
    port.ExpectSend(Request(kWireAddress, 153, {5})).ExpectAnswer(LongAnswer('$', data));
    ASSERT_EQ(LoadFile(5, true), kLinkOk);
    EXPECT_EQ(g_customKnobs[2][1][0], 10);
    EXPECT_EQ(g_customKnobs[2][4][7], 47);
    EXPECT_EQ(g_customButtons[2][3][0], 127);  // sent as 255
    EXPECT_EQ(g_customButtons[2][3][5], 3);
    EXPECT_EQ(g_customKnobs[2][0][0], 128);  // custom menu 0 is the panel's own
    EXPECT_EQ(g_customKnobs[1][1][0], 128);  // and other units keep theirs

    // Bytes that name no control (above 128) or no switch of the unit's (the panel's own
    // effect switches 128..131, bytes past the table) come in as empty slots.
    data[2 + 0] = 129;
    data[2 + 1] = 255;
    data[2 + 2] = 127;
    data[2 + 3] = 128;
    data[2 + 20] = 130;
    data[2 + 21] = 200;
    data[2 + 22] = 126;
    data[2 + 23] = 0;
    port.ExpectSend(Request(kWireAddress, 153, {5})).ExpectAnswer(LongAnswer('$', data));
    ASSERT_EQ(LoadFile(5, true), kLinkOk);
    EXPECT_EQ(g_customKnobs[2][1], (std::array<uint8_t, 8>{128, 128, 127, 128, 14, 15, 16, 17}));
    EXPECT_EQ(g_customButtons[2][1], (std::array<uint8_t, 6>{127, 127, 126, 0, 1, 1}));

    // An answer that stops before the fourth block's buttons: what the unit did not send
    // reads as zeros (switch index 0), as the cleared receive buffer holds them.
    ResetPanelState();
    g_selectedUnit = kUnit;
    data.resize(2 + 150 + 25);
    port.ExpectSend(Request(kWireAddress, 153, {5})).ExpectAnswer(LongAnswer('$', data));
    EXPECT_EQ(LoadFile(5, true), kLinkOk);
    EXPECT_EQ(g_customKnobs[2][4][7], 47);
    EXPECT_EQ(g_customButtons[2][4][0], 127);
    EXPECT_EQ(g_customButtons[2][4][5], 0);
}

TEST_F(FileCommands, FileDataIsReadIntoTheTransferBuffer) {
    port.ExpectSend({0x08, 7, kWireAddress, 2, 146, 9, 0xFF}).ExpectAnswer(LongAnswer(0, {}));
    port.ExpectSend({0x08, 7, kWireAddress, 2, 142, 9, 0xFF})
        .ExpectAnswer(LongAnswer(24, Bytes(254, 0)));
    port.ExpectSend(Request(kWireAddress, 142, {9})).ExpectAnswer(LongAnswer(25, Bytes(46, 1)));
    ASSERT_EQ(ReadFileData(9), kLinkOk);
    EXPECT_EQ(g_transferLength, 300u);
    EXPECT_EQ(g_transferBuffer[253], 253);
    EXPECT_EQ(g_transferBuffer[254], 1);
    EXPECT_EQ(g_transferBuffer[299], 46);

    // More than 2800 bytes: the read stops with 3; the length says how far it came.
    port.ExpectSend(Request(kWireAddress, 146, {9})).ExpectAnswer(LongAnswer(0, {}));
    g_transferBuffer.fill(0);
    for (int i = 0; i < 12; ++i)
        port.ExpectSend(Request(kWireAddress, 142, {9}))
            .ExpectAnswer(LongAnswer(24, std::vector<uint8_t>(254, 0x44)));
    EXPECT_EQ(ReadFileData(9), kLinkBadLength);
    EXPECT_EQ(g_transferLength, 2794u);
    EXPECT_EQ(g_transferBuffer[2793], 0x44);
    EXPECT_EQ(g_transferBuffer[2794], 0);
}

// A file carried to unit 3: identify, the unanswered open, 100 ms, then acknowledged chunks.
TEST_F(FileCommands, FileDataIsWrittenInChunksOfUpTo250) {
    g_transferLength = 600;
    for (int i = 0; i < 600; ++i)
        g_transferBuffer[i] = static_cast<uint8_t>(i * 7);

    port.ExpectSend(Request(0x32, 192)).ExpectAnswer(LongAnswer('@', {0, 0, 11}));
    port.ExpectSend({0x08, 0x07, 0x32, 0x02, 145, 0xFF, 0xFF});
    uint8_t ack = 27;
    for (int at : {0, 250, 500}) {
        const int size = at == 500 ? 100 : 250;
        std::vector<uint8_t> chunk = {0x08, static_cast<uint8_t>(size + 5), 0x32,
                                      static_cast<uint8_t>(size), 143};
        for (int i = at; i < at + size; ++i)
            chunk.push_back(g_transferBuffer[i]);
        port.ExpectSend(chunk).ExpectAnswer(LongAnswer(ack, {}));
        ack = 0;  // both acknowledgements are good
    }
    const uint32_t before = clock.TickMs();
    EXPECT_EQ(WriteFileData(0x30), kLinkOk);
    EXPECT_EQ(clock.TickMs() - before, 100u);

    // Nothing to write: one empty chunk still goes out.
    g_transferLength = 0;
    port.ExpectSend(Request(0x32, 192)).ExpectNoAnswer(kSpinIdentify);
    port.ExpectSend({0x08, 0x07, 0x32, 0x02, 145, 0xFF, 0xFF});
    port.ExpectSend({0x08, 5, 0x32, 0, 143}).ExpectAnswer(LongAnswer(6, {}));
    EXPECT_EQ(WriteFileData(0x30), kLinkBadCode);
}

}  // namespace
