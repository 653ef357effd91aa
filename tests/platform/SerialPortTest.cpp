// The serial line of the bypass transfer on a pseudo terminal: what it sets on the line, the
// bytes it moves, and the boxes of a line that cannot be set up.

#include <gtest/gtest.h>

#include <chrono>

#include "platform/SerialPort.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/RecordingSeams.h"

namespace {

// Opens the pseudo terminal as the bypass line at 115200 8-O-1 with the given time-outs.
::testing::AssertionResult OpenLine(CSerialPort& port, const PseudoTerminal& line,
                                    const SerialTimeouts& t) {
    if (!port.Open(line.Device())) return ::testing::AssertionFailure() << "open";
    if (!port.Configure(115200, 8, kParityOdd, true, kOneStopBit))
        return ::testing::AssertionFailure() << "configure";
    if (!port.SetTimeouts(t.readInterval, t.readPerByte, t.readConstant, t.writePerByte,
                          t.writeConstant))
        return ::testing::AssertionFailure() << "time-outs";
    return ::testing::AssertionSuccess();
}

// A read that waits its 100 ms for a byte.
constexpr SerialTimeouts kReadWait{0, 100, 0, 0, 0};

TEST(SerialPort, SetsUpARawLineWithoutFlowControlAtTheRateAsked) {
    PseudoTerminal line;
    termios t = line.Line();
    ASSERT_TRUE((t.c_lflag & ICANON) && (t.c_iflag & IXON) && (t.c_cflag & CRTSCTS))
        << "the line starts cooked, so that every setting below must be made";
    SetSerialDevice(line.Device());
    CSerialPort port;
    ASSERT_TRUE(port.Open(kBypassPortName)) << "com1 leads to the device set";
    SetSerialDevice("");
    ASSERT_TRUE(port.Configure(38400, 8, kParityOdd, true, kOneStopBit));
    t = line.Line();
    // Odd parity; a pseudo terminal keeps the choice but carries no parity bit (it clears
    // PARENB itself), which only a pseudo terminal may do.
    EXPECT_TRUE(t.c_cflag & PARODD);
    EXPECT_EQ(cfgetospeed(&t), B38400);
    EXPECT_EQ(cfgetispeed(&t), B38400);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (CRTSCTS | CSTOPB), 0u);
    EXPECT_TRUE(t.c_cflag & CLOCAL) << "the modem lines are no handshake either";
    EXPECT_TRUE(t.c_iflag & INPCK);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);

    ASSERT_TRUE(port.Configure(115200, 8, kParityOdd, true, kOneStopBit));
    t = line.Line();
    EXPECT_EQ(cfgetospeed(&t), B115200);
}

TEST(SerialPort, MovesEveryByteValueUnchangedAndReadsAZeroWhenNothingCame) {
    PseudoTerminal line;
    CSerialPort port;
    ASSERT_TRUE(OpenLine(port, line, kReadWait));

    uint8_t byte = 0x55;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(port.ReadByte(byte));
    EXPECT_EQ(byte, 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(95))
        << "a read waits its 100 ms for a byte";
    EXPECT_FALSE(port.HasInput());

    // CR, XON, XOFF, Ctrl-C, 0xFF and 0 are data like any other byte.
    const std::vector<uint8_t> sent = {0x02, 0x0D, 0x11, 0x13, 0x03, 0xFF, 0x00, 0x0A};
    line.Send(sent);
    EXPECT_TRUE(port.HasInput());
    std::vector<uint8_t> read;
    while (port.ReadByte(byte))
        read.push_back(byte);
    EXPECT_EQ(read, sent);
    for (uint8_t b : {0x0A, 0x0D, 0x02})
        EXPECT_TRUE(port.WriteByte(b));
    EXPECT_EQ(line.Received(3), (std::vector<uint8_t>{0x0A, 0x0D, 0x02}));
}

TEST(SerialPort, ABurstComesOutWholeInOrderAndWhatWasTakenAlongEndsWithTheLine) {
    PseudoTerminal line;
    CSerialPort port;
    ASSERT_TRUE(OpenLine(port, line, kReadWait));

    std::vector<uint8_t> sent(1500);
    for (size_t i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<uint8_t>(i * 7 + i / 256);
    line.Send(sent);
    std::vector<uint8_t> read;
    uint8_t byte = 0;
    while (port.HasInput() && port.ReadByte(byte))
        read.push_back(byte);
    EXPECT_EQ(read, sent);
    EXPECT_FALSE(port.ReadByte(byte));

    // Bytes already taken from the line but not read belong to that opening only.
    line.Send({0x11, 0x22, 0x33});
    ASSERT_TRUE(port.ReadByte(byte));
    EXPECT_EQ(byte, 0x11);
    EXPECT_TRUE(port.HasInput());
    port.Close();
    EXPECT_FALSE(port.HasInput());
    ASSERT_TRUE(OpenLine(port, line, kReadWait));
    EXPECT_FALSE(port.HasInput());
    line.Send({0x44});
    ASSERT_TRUE(port.ReadByte(byte));
    EXPECT_EQ(byte, 0x44);
}

TEST(SerialPort, AWriteToALineThatTakesNothingMoreGivesUpAfterItsTimeOut) {
    PseudoTerminal line;
    CSerialPort port;
    ASSERT_TRUE(OpenLine(port, line, {0, 0, 0, 10, 40}));

    // The far end reads nothing, so the line fills up.
    int written = 0;
    while (written < (1 << 22) && port.WriteByte(0x5A))
        ++written;
    ASSERT_LT(written, 1 << 22) << "the line never filled";
    EXPECT_GT(written, 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(port.WriteByte(0x5A));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(45))
        << "a full line is waited on for 10 + 40 ms";
}

// The terminal calls of a line the tests shape: a real port (no pseudo terminal), and a line
// whose settings stop being written after some calls.
class ShapedLine final : public SerialCalls {
public:
    bool realPort = false;
    int setsLeft = -1;
    int SetAttr(int fd, const termios& line) override {
        if (setsLeft == 0) return -1;
        if (setsLeft > 0) --setsLeft;
        return SerialCalls::SetAttr(fd, line);
    }
    bool IsPseudoTerminal(int fd) override {
        return !realPort && SerialCalls::IsPseudoTerminal(fd);
    }
};

TEST(SerialPort, AnotherProgramsLineAndARealPortWithoutParityAreRefused) {
    PseudoTerminal line;
    CSerialPort first, second;
    ASSERT_TRUE(first.Open(line.Device()));
    EXPECT_FALSE(second.Open(line.Device())) << "held alone, also from root";
    first.Close();
    ASSERT_TRUE(second.Open(line.Device())) << "free again once closed";
    second.Close();

    // A real port that did not keep odd parity would drop every byte as a parity error.
    struct Restore {
        ~Restore() { SetSerialCalls(nullptr); }
    } restore;
    ShapedLine real;
    real.realPort = true;
    SetSerialCalls(&real);
    ASSERT_TRUE(first.Open(line.Device()));
    TestPrompter().Expect(kMsgSetCommState);
    EXPECT_FALSE(first.Configure(115200, 8, kParityOdd, true, kOneStopBit));
    EXPECT_FALSE(first.IsOpen());
    // Without parity there is nothing to keep: the line is taken.
    ASSERT_TRUE(first.Open(line.Device()));
    EXPECT_TRUE(first.Configure(115200, 8, kParityNone, false, kOneStopBit));

    // Time-outs that cannot be written.
    ShapedLine stuck;
    SetSerialCalls(&stuck);
    ASSERT_TRUE(first.Open(line.Device()));
    ASSERT_TRUE(first.Configure(115200, 8, kParityOdd, true, kOneStopBit));
    stuck.setsLeft = 0;
    TestPrompter().Expect(kMsgSetTimeouts);
    EXPECT_FALSE(first.SetTimeouts(0, 100, 0, 0, 0));
    EXPECT_FALSE(first.IsOpen());
    SetSerialCalls(nullptr);
    ASSERT_EQ(TestPrompter().shown.size(), 2u);
    EXPECT_EQ(TestPrompter().shown[1].caption, kCaptionTimeouts);
    EXPECT_EQ(TestPrompter().shown[1].icon, PromptIcon::Stop);
}

TEST(SerialPort, ALineThatCannotBeSetUpIsReportedAndClosed) {
    CSerialPort port;
    EXPECT_FALSE(port.Open("/nonexistent/ttyS0")) << "silently: the caller says what it means";

    ASSERT_TRUE(port.Open("/dev/null"));
    TestPrompter().Expect(kMsgGetCommState);
    EXPECT_FALSE(port.Configure(38400, 8, kParityOdd, true, kOneStopBit));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.SetTimeouts(0, 100, 0, 0, 0)) << "a closed port shows no second box";

    PseudoTerminal line;
    ASSERT_TRUE(port.Open(line.Device()));
    TestPrompter().Expect(kMsgSetCommState);
    EXPECT_FALSE(port.Configure(12345, 8, kParityOdd, true, kOneStopBit));
    EXPECT_FALSE(port.IsOpen());
    uint8_t byte = 0x55;
    EXPECT_FALSE(port.ReadByte(byte));
    EXPECT_EQ(byte, 0);

    ASSERT_EQ(TestPrompter().shown.size(), 2u);
    for (const auto& box : TestPrompter().shown) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.icon, PromptIcon::Stop);
    }
}

}  // namespace
