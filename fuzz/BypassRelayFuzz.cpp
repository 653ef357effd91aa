// Plays arbitrary bytes on the serial line of the bypass transfer and as the unit's answers to
// what it relays. Bytes 0-1 (low byte first) give how many of the bytes after them arrive on
// the line; the rest are the unit's answers to the relayed requests. The dialog relays through
// its own timer step from a pseudo terminal, as it would from the serial port.

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <QPushButton>
#include <algorithm>
#include <memory>
#include <thread>

#include "dialogs/BypassTransferDlg.h"
#include "fuzz/FuzzPort.h"
#include "fuzz/QtFuzzEnv.h"
#include "platform/SerialPort.h"

namespace {

constexpr size_t kMaxLineBytes = 2048;  // well within what a pseudo terminal holds
constexpr uint32_t kPastFrameGapMs = kFrameGapMs + 1;

struct Line {
    int far = -1;
    int device = -1;
};

Line OpenLine() {
    Line line;
    char name[256] = {};
    if (openpty(&line.far, &line.device, name, nullptr, nullptr) != 0) std::abort();
    for (int fd : {line.far, line.device})
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    termios raw{};
    tcgetattr(line.device, &raw);
    cfmakeraw(&raw);
    tcsetattr(line.device, TCSANOW, &raw);
    SetSerialDevice(name);
    return line;
}

// Waits (bounded) until the bytes written on the far side can be read on the device side.
void WaitArrived(const Line& line, int count) {
    for (int i = 0; i < 2000; ++i) {
        int waiting = 0;
        ioctl(line.device, FIONREAD, &waiting);
        if (waiting >= count) return;
        std::this_thread::yield();
    }
}

void Drain(int fd) {
    uint8_t sink[4096];
    while (read(fd, sink, sizeof sink) > 0) {
    }
}

FuzzPort port;
Line line;
std::unique_ptr<CBypassTransferDlg> dialog;
VirtualClock g_clock;

}  // namespace

// Once per process: the application, the line and the open dialog.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzApplication();
    line = OpenLine();
    SetClock(&g_clock);
    dialog = std::make_unique<CBypassTransferDlg>(nullptr);
    dialog->OnInitDialog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    SetPortIo(&port);
    g_selectedUnit = 0x10;
    const size_t lineBytes = std::min({size_t(data[0] | data[1] << 8), size - 2, kMaxLineBytes});
    port.Play(data + 2 + lineBytes, size - 2 - lineBytes);

    // The relay stays on from input to input (opening the line each time would cost more than
    // the relaying); every input starts on an idle line, the last one's partial frame dropped.
    if (!dialog->Relaying())
        dialog->findChild<QPushButton*>(QString::number(kIdBypassEnable))->click();
    Drain(line.device);
    Drain(line.far);
    // A pseudo terminal that is still full takes fewer bytes, as a line may lose some.
    const ssize_t written = lineBytes > 0 ? write(line.far, data + 2, lineBytes) : 0;
    const size_t sent = written > 0 ? static_cast<size_t>(written) : 0;
    WaitArrived(line, static_cast<int>(sent));
    for (size_t step = 0; step <= sent && dialog->Relaying(); ++step) {
        dialog->OnTimer(kRelayTimer);
        int waiting = 0;
        ioctl(line.device, FIONREAD, &waiting);
        if (waiting == 0) break;
    }
    // A partial frame left standing is dropped once the line has been quiet long enough.
    g_clock.Advance(kPastFrameGapMs);
    dialog->OnTimer(kRelayTimer);
    Drain(line.far);
    return 0;
}
