// Painting cost of the panel's widgets. The poll redraws all eight parameter displays several
// times a second, so one display should render in well under 100 us.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "app/panel/MainPanelDlg.h"
#include "link/ConfigFile.h"
#include "link/PanelState.h"
#include "platform/Clock.h"
#include "platform/PortIo.h"
#include "platform/Power.h"
#include "platform/Prompter.h"
#include "sim/SimRig.h"
#include "widgets/BitmapTextButton.h"
#include "widgets/ColorLabel.h"
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

constexpr QSize kPanelSize{800, 600};
constexpr int kBenchUnit = 3;       // a Cedar in the standard rig
constexpr uint8_t kUnitKey = 0x01;  // the unit key in unit n's key row of the surface
constexpr int kIdleScanTimer = 1;   // the scan that selects a unit whose key is down
constexpr int kMainMenu = 0;

// Nobody answers message boxes during a benchmark: each one is counted and answered with the
// safe button, and a panel that showed one is not measured.
class CountingPrompter final : public Prompter {
public:
    PromptAnswer Show(const std::string& text, const std::string&, PromptButtons buttons,
                      PromptIcon) override {
        if (shown++ == 0) first = text;
        return buttons == PromptButtons::YesNo ? PromptAnswer::No
               : buttons == PromptButtons::Ok  ? PromptAnswer::Ok
                                               : PromptAnswer::Cancel;
    }
    int shown = 0;
    std::string first;
};

class CountingPower final : public Power {
public:
    void PowerOff() override { ++powerOffs; }
    int powerOffs = 0;
};

// The real main panel started against the standard simulated rig on a virtual clock, with one
// unit selected through its key on the surface and connected by the idle scan, the way the
// program gets there. The seams go back to their defaults when it ends.
class ConnectedPanel {
public:
    explicit ConnectedPanel(int unit) : m_unit(unit) {
        ResetPanelState();
        ResetConfig();
        m_rig = SimRig::Standard();
        SetPortIo(&m_rig->Port());
        SetClock(&m_clock);
        SetPrompter(&m_prompter);
        SetPower(&m_power);
        m_panel = std::make_unique<CMainPanelDlg>("/nonexistent/KV4.ini");
        m_panel->OnInitDialog();
        m_rig->Surface().PressKey(unit, kUnitKey);
        m_panel->OnTimer(kIdleScanTimer);
    }
    ~ConnectedPanel() {
        m_panel.reset();
        SetPower(nullptr);
        SetPrompter(nullptr);
        SetClock(nullptr);
        SetPortIo(nullptr);
        ResetConfig();
    }

    CMainPanelDlg& Panel() { return *m_panel; }

    // Why the panel is not what the benchmark means to measure; empty when it is: 800 x 600
    // with its background, the unit connected in its Main Menu, the eight displays bound, shown
    // and each in its own place, the buttons and the info panel shown, and no box on the way.
    std::string Problem() const {
        const CMainPanelDlg& p = *m_panel;
        if (m_prompter.shown > 0) return "the start showed a message box: " + m_prompter.first;
        if (m_power.powerOffs > 0) return "the start powered the panel off";
        if (p.size() != kPanelSize) return "the panel is not 800 x 600";
        if (p.m_background.isNull()) return "the panel has no background";
        if (UnitNumber(g_selectedUnit) != m_unit || p.m_currentMenu[m_unit] != kMainMenu)
            return "unit " + std::to_string(m_unit) + " is not connected in its Main Menu";
        if (!p.m_titleLabel->isVisibleTo(&p) || p.m_titleLabel->Text() != "Main Menu")
            return "the Main Menu caption is not shown";
        std::set<std::pair<int, int>> places;
        for (const CKnobDisplay* knob : p.m_knobs) {
            if (!knob->HasControl() || !knob->isVisibleTo(&p))
                return "a knob display is hidden or shows no control";
            places.insert({knob->x(), knob->y()});
        }
        if (places.size() != p.m_knobs.size()) return "knob displays share a place";
        const auto shown = [&p](const auto& buttons) {
            int count = 0;
            for (const CBitmapTextButton* b : buttons)
                count += b->isVisibleTo(&p) ? 1 : 0;
            return count;
        };
        if (shown(p.m_menuButtons) == 0 || shown(p.m_functionButtons) == 0)
            return "the menu or function buttons are hidden";
        if (!p.m_infoPanel->isVisibleTo(&p)) return "the info panel is hidden";
        return {};
    }

private:
    int m_unit;
    std::unique_ptr<SimRig> m_rig;
    VirtualClock m_clock;
    CountingPrompter m_prompter;
    CountingPower m_power;
    std::unique_ptr<CMainPanelDlg> m_panel;
};

// The main panel as the operator sees it: started against the simulated rig on a virtual clock,
// unit 3 (a Cedar) selected and its Main Menu on screen, so every widget of the touch screen
// shows what it shows in use. One iteration renders the whole 800 x 600 client area offscreen;
// with redraws:8 the eight parameter displays are drawn again first, as the poll does after a
// value change. Goal: at most 3 ms with the redraws.
void BM_FullPanelRepaint(benchmark::State& state) {
    ConnectedPanel connected(kBenchUnit);
    if (const std::string problem = connected.Problem(); !problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    CMainPanelDlg& panel = connected.Panel();
    const int redraws = static_cast<int>(state.range(0));
    QImage image(kPanelSize, QImage::Format_RGB32);
    for (auto _ : state) {
        for (int k = 0; k < redraws; ++k)
            panel.m_knobs[k]->Redraw();
        panel.render(&image);
        benchmark::DoNotOptimize(image.constBits());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FullPanelRepaint)
    ->ArgName("redraws")
    ->Arg(0)
    ->Arg(kKnobCount)
    ->Unit(benchmark::kMicrosecond);

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
