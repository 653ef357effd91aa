// The bypass relay with a peer that talks in lock step: it sends an identify frame, waits for
// the whole reply frame, and sends the next. The relay takes a frame the moment its last byte
// arrives; the goal is at least 100 round trips a second against the simulated unit.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include "dialogs/BypassTransferDlg.h"
#include "link/PanelState.h"
#include "platform/Clock.h"
#include "platform/PortIo.h"
#include "platform/SerialPort.h"
#include "sim/SimRig.h"

namespace {

constexpr int kRunMs = 3000;
const std::vector<uint8_t> kIdentifyFrame = {0x02, 0x01, 0xC0, 0xFF};

// Reads what the far end of the line has, processing the panel's events until a reply frame
// of the length it announces has come, or the patience ends.
bool AwaitReply(int far) {
    std::vector<uint8_t> reply;
    QElapsedTimer patience;
    patience.start();
    while (patience.elapsed() < 1000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        uint8_t chunk[300];
        const ssize_t n = read(far, chunk, sizeof chunk);
        if (n > 0) reply.insert(reply.end(), chunk, chunk + n);
        if (reply.size() >= 3 && reply.size() >= reply[1] + 3u) return true;
    }
    return false;
}

void BM_RelayLockStepRoundTrips(benchmark::State& state) {
    for (auto _ : state) {
        ResetPanelState();
        SetClock(nullptr);
        auto rig = SimRig::Standard();
        SetPortIo(&rig->Port());
        g_selectedUnit = AddressOfUnit(3);
        int far = -1, device = -1;
        if (openpty(&far, &device, nullptr, nullptr, nullptr) != 0) {
            state.SkipWithError("no pseudo terminal");
            return;
        }
        fcntl(far, F_SETFL, fcntl(far, F_GETFL) | O_NONBLOCK);
        char name[64] = {};
        ttyname_r(device, name, sizeof name);
        SetSerialDevice(name);
        int trips = 0;
        {
            CBypassTransferDlg dialog(nullptr);
            dialog.OnInitDialog();
            dialog.findChild<QPushButton*>(QString::number(kIdBypassEnable))->click();
            QElapsedTimer run;
            run.start();
            while (run.elapsed() < kRunMs) {
                (void)!write(far, kIdentifyFrame.data(), kIdentifyFrame.size());
                if (!AwaitReply(far)) {
                    state.SkipWithError("no reply");
                    break;
                }
                ++trips;
            }
            state.counters["round_trips_per_s"] = trips * 1000.0 / run.elapsed();
        }
        close(device);
        close(far);
        SetSerialDevice("");
        SetPortIo(nullptr);
    }
}
BENCHMARK(BM_RelayLockStepRoundTrips)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
