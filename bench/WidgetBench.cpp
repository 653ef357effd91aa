// Painting cost of the panel's widgets. The poll redraws all eight parameter displays several
// times a second, so one display should render in well under 100 us.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>

#include "app/MainPanelDlg.h"
#include "link/PanelState.h"
#include "widgets/InfoPanel.h"
#include "widgets/KnobDisplay.h"
#include "widgets/Resources.h"

namespace {

// A typical bipolar control: bar from the middle, tick, labels, a two-word name.
ControlRecord TypicalBipolarControl() {
    ControlRecord c;
    c.id = 12;
    c.minValue = 0;
    c.maxValue = 200;
    c.minDisplay = -100;
    c.maxDisplay = 100;
    c.value = 150;
    c.value2 = 40;
    c.name = "Clip Level";
    return c;
}

void BM_KnobDisplayDraw(benchmark::State& state) {
    ControlRecord control = TypicalBipolarControl();
    CKnobDisplay display;
    display.SetControl(&control);
    QImage image = CBufferedWnd::MakeBuffer(kPanelDpi);
    for (auto _ : state) {
        QPainter painter(&image);
        display.Draw(painter);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_KnobDisplayDraw)->Unit(benchmark::kMicrosecond);

// The whole main panel repainted offscreen: background, logo, status area and eight knob
// displays with controls, as after a unit is connected. Goal: at most 3 ms.
void BM_FullPanelRepaint(benchmark::State& state) {
    CMainPanelDlg panel("/nonexistent/KV4.ini");
    std::array<ControlRecord, kKnobCount> controls;
    for (int k = 0; k < kKnobCount; ++k) {
        controls[k] = TypicalBipolarControl();
        controls[k].value = static_cast<int16_t>(20 * k);
        panel.m_knobs[k]->SetControl(&controls[k]);
    }
    panel.m_infoPanel->ShowMessage("Select an Online Main Unit!");
    QImage image(panel.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        for (CKnobDisplay* knob : panel.m_knobs)
            knob->Redraw();
        panel.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_FullPanelRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    // Painting text needs a QApplication; no display is needed for it.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    UsePanelFaces();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
