#pragma once

// The panel's serial line, used by the bypass transfer only: one byte at a time, synchronous,
// with the line set-up's failures reported in message boxes. The port names the dialogs use
// ("com1") lead to a device that is set once at start-up: --serial, or the simulated rig's
// pseudo terminal.

#include <termios.h>

#include <array>
#include <cstdint>
#include <string>

// What Configure takes, in the numbering the panel has always passed.
inline constexpr int kParityNone = 0;
inline constexpr int kParityOdd = 1;
inline constexpr int kParityEven = 2;
inline constexpr int kOneStopBit = 0;
inline constexpr int kTwoStopBits = 2;

// The boxes of a line that could not be set up.
inline constexpr const char* kMsgGetCommState = "GetCommState Error";
inline constexpr const char* kMsgSetCommState = "SetCommState Error";
inline constexpr const char* kMsgSetTimeouts = "StCommTimeouts function failed";
inline constexpr const char* kCaptionCommState = "Error";
inline constexpr const char* kCaptionTimeouts = "Com Port Error";

// The port name of the bypass line, and the device it leads to unless told otherwise.
inline constexpr const char* kBypassPortName = "com1";
inline constexpr const char* kDefaultSerialDevice = "/dev/ttyS0";

// Read and write time-outs in milliseconds: a read of one byte waits at most
// perByte + constant; all of them 0 waits until a byte comes.
struct SerialTimeouts {
    uint32_t readInterval = 0;
    uint32_t readPerByte = 0;
    uint32_t readConstant = 0;
    uint32_t writePerByte = 0;
    uint32_t writeConstant = 0;
};

class CSerialPort {
public:
    CSerialPort() = default;
    ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Opens the named port (kBypassPortName, or a device path) for reading and writing, not
    // shared with another program. Fails silently.
    bool Open(const std::string& name);
    // Sets the line: rate, data bits (5..8), parity (kParity...), parity checking, stop bits
    // (kOneStopBit, kTwoStopBits); raw bytes, no flow control of any kind, DTR and RTS off.
    // A failure is shown in a box and closes the port.
    bool Configure(int baud, int dataBits, int parity, bool checkParity, int stopBits);
    // A failure to apply them is shown in a box and closes the port; a port whose settings
    // cannot be read fails without a box.
    bool SetTimeouts(uint32_t readInterval, uint32_t readPerByte, uint32_t readConstant,
                     uint32_t writePerByte, uint32_t writeConstant);
    // True only when a byte came within the read time-out; out is 0 otherwise. What else is
    // waiting on the line is taken along in the same read and handed out by the next calls.
    bool ReadByte(uint8_t& out);
    bool WriteByte(uint8_t byte);
    void Close();

    bool IsOpen() const { return m_hComm >= 0; }
    // The open line's descriptor, for an event loop to watch; -1 when closed.
    int Descriptor() const { return m_hComm; }
    // Whether a byte waits to be read, taken along already or still on the line; never waits.
    bool HasInput() const;

private:
    void Fail(const char* text, const char* caption);
    void DropTakenAlong() { m_aheadNext = m_aheadEnd = 0; }

    // A relayed burst costs one read instead of three system calls a byte.
    static constexpr int kReadAhead = 512;

    int m_hComm = -1;
    termios m_dcb{};
    SerialTimeouts m_timeouts;
    int m_result = 0;
    int m_written = 0;
    std::array<uint8_t, kReadAhead> m_ahead{};
    int m_aheadNext = 0;
    int m_aheadEnd = 0;
};

// The terminal calls that set the line up; the system's unless a test sets others.
class SerialCalls {
public:
    virtual ~SerialCalls() = default;
    virtual int GetAttr(int fd, termios& line);
    virtual int SetAttr(int fd, const termios& line);
    // A pseudo terminal (the simulator's bypass line, a terminal program's) carries no parity
    // bit; a real port must.
    virtual bool IsPseudoTerminal(int fd);
};
void SetSerialCalls(SerialCalls* calls);

// The device a port name opens: kBypassPortName leads to the one set here
// (kDefaultSerialDevice until then); any other name is taken as a device path.
void SetSerialDevice(const std::string& path);
std::string SerialDevice(const std::string& name);
