// How long the simulator's console goes without a repaint while the selected unit is lost and
// stays selected: every poll then waits a second for the unit. With the pause that sleeps the
// whole program stands still for that second; with the link-wait guard the windows keep
// painting. The goal is a longest gap of at most 50 ms.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "app/panel/CursorHider.h"
#include "app/panel/LinkWaitGuard.h"
#include "app/panel/MainPanelDlg.h"
#include "link/ConfigFile.h"
#include "link/PanelState.h"
#include "platform/Clock.h"
#include "platform/PortIo.h"
#include "sim/SimRig.h"
#include "sim/console/SimConsole.h"

namespace {

constexpr int kLostUnit = 3;
constexpr int kRunMs = 10000;
constexpr int kRepaintAskMs = 5;

// Records when a widget paints.
class PaintClock final : public QObject {
public:
    explicit PaintClock(QWidget* widget) {
        widget->installEventFilter(this);
        m_timer.start();
    }
    qint64 LongestGapMs() const { return m_longest; }
    int Paints() const { return m_paints; }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            const qint64 now = m_timer.elapsed();
            if (m_paints++ > 0) m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        }
        return false;
    }

private:
    QElapsedTimer m_timer;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    int m_paints = 0;
};

void BM_ConsoleRepaintGapWhileTheUnitIsLost(benchmark::State& state) {
    const bool guarded = state.range(0) != 0;
    for (auto _ : state) {
        ResetPanelState();
        ResetConfig();
        SetClock(nullptr);
        auto rig = SimRig::Standard();
        SetPortIo(&rig->Port());
        std::unique_ptr<CLinkWaitGuard> guard;
        if (guarded) guard = std::make_unique<CLinkWaitGuard>();
        {
            CMainPanelDlg panel("/nonexistent/KV4.ini");
            panel.OnInitDialog();
            panel.show();
            CSimConsole console(*rig);
            console.setProperty(kKeepsCursorProperty, true);
            console.show();
            rig->Surface().PressKey(kLostUnit, 0x01);
            panel.OnTimer(1);
            rig->SetOnline(kLostUnit, false);

            PaintClock paints(&console);
            QTimer ask;
            QObject::connect(&ask, &QTimer::timeout, &console, [&console] { console.update(); });
            ask.start(kRepaintAskMs);
            QEventLoop loop;
            QTimer::singleShot(kRunMs, &loop, &QEventLoop::quit);
            loop.exec();
            state.counters["longest_gap_ms"] = static_cast<double>(paints.LongestGapMs());
            state.counters["paints"] = paints.Paints();
        }
        SetPortIo(nullptr);
    }
}
BENCHMARK(BM_ConsoleRepaintGapWhileTheUnitIsLost)
    ->ArgName("guarded")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
