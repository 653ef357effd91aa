// A soak of the whole panel: the real main panel against the simulated rig on a virtual clock,
// its timers called directly, while a seeded script plays an operator and a misbehaving rig.
// Every cycle has a storm of faults, then a calm in which the panel must show the selected
// unit's menu again within kReconnectBoundMs. After every tick the panel's state is checked.
//
// Usage: kv4_soak [--hours H] [--seed S]   (defaults: 1 virtual hour, seed 22)
// Exit status 0 when every check held; otherwise the first broken check is printed.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>

#include "app/PanelDialogs.h"
#include "app/panel/DialogFactory.h"
#include "app/panel/MainPanelDlg.h"
#include "link/ConfigFile.h"
#include "link/PanelState.h"
#include "platform/Clock.h"
#include "platform/Launcher.h"
#include "platform/PortIo.h"
#include "platform/Prompter.h"
#include "platform/SerialPort.h"
#include "sim/SimProfile.h"
#include "sim/SimRig.h"
#include "widgets/InfoPanel.h"

namespace {

constexpr uint32_t kTickMs = 20;
constexpr uint32_t kCycleMs = 10 * 60 * 1000;  // a storm, then a calm
constexpr uint32_t kStormMs = 8 * 60 * 1000;
// From the end of the faults and a press of the unit's key to its menu on the screen: a unit
// that was power-cycled lets 8 identifies go by, and the scan asks it only every third or
// fourth 100 ms poll (3.2 s); three missed polls lose the old selection, with two link resets
// after each failure (0.2 s each); then 1 s before the menus load, and the download of a new
// model's blob.
constexpr uint32_t kReconnectBoundMs = 10000;
// Growth of the resident set from the end of the first cycle to the end that still counts as
// the allocator settling rather than memory lost.
constexpr long kRssGrowthKb = 32 * 1024;

// Answers every box at once and only counts them (a soak must not grow).
class CountingPrompter final : public Prompter {
public:
    PromptAnswer Show(const std::string&, const std::string&, PromptButtons buttons,
                      PromptIcon) override {
        ++shown;
        return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }
    long shown = 0;
};

// The real dialogs, opened by the dispatcher, played by an operator who touches a few of their
// buttons, check boxes and list lines at random and then closes them with Escape. A box or
// dialog that a touch opens over them is closed at once, as an operator would dismiss it.
class ClickingDialogs final : public DialogFactory {
public:
    explicit ClickingDialogs(std::mt19937& random) : m_random(random) {}
    DialogResult Run(const DialogRequest& request) override {
        ++opened;
        QTimer::singleShot(0, [this] { Play(); });
        return m_real.Run(request);
    }
    long opened = 0;
    long touches = 0;

private:
    int Pick(int n) { return static_cast<int>(m_random() % static_cast<uint32_t>(n)); }

    void Play() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        QTimer dismisser;
        QObject::connect(&dismisser, &QTimer::timeout, [dialog] {
            QWidget* over = QApplication::activeModalWidget();
            if (!over || over == dialog || over == g_mainPanel) return;
            if (auto* box = qobject_cast<QDialog*>(over))
                box->reject();
            else
                over->close();
        });
        dismisser.start(0);
        // "Update" would end the program; the About box is only looked at.
        const bool about = dialog->findChild<QPushButton*>(QStringLiteral("1")) &&
                           dialog->windowTitle().startsWith(QStringLiteral("About"));
        const int count = about ? 0 : Pick(8);
        for (int i = 0; i < count && dialog->isVisible(); ++i)
            TouchOne(*dialog);
        if (dialog->isVisible()) dialog->reject();
    }

    void TouchOne(QDialog& dialog) {
        QList<QWidget*> touchable;
        for (QWidget* w : dialog.findChildren<QWidget*>()) {
            if (!w->isVisibleTo(&dialog) || !w->isEnabled()) continue;
            if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QListWidget*>(w) ||
                qobject_cast<QComboBox*>(w))
                touchable.push_back(w);
        }
        if (touchable.isEmpty()) return;
        QWidget* w = touchable[Pick(static_cast<int>(touchable.size()))];
        ++touches;
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            button->click();
        } else if (auto* list = qobject_cast<QListWidget*>(w)) {
            // A finger on an entry: the dialogs act on the entry picked when it lifts.
            if (list->count() > 0) {
                QListWidgetItem* item = list->item(Pick(list->count()));
                list->scrollToItem(item);
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(item).center());
            }
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            if (combo->count() > 0) combo->setCurrentIndex(Pick(combo->count()));
        }
    }

    std::mt19937& m_random;
    CPanelDialogs m_real;
};

// Starts nothing: the on-screen keyboard and the manual viewer are not part of the soak.
class NoLauncher final : public Launcher {
public:
    Handle Start(const std::string&, const std::vector<std::string>&) override { return 0; }
    void Terminate(Handle) override {}
};

long RssKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

class Soak {
public:
    Soak(uint32_t seed) : m_random(seed), m_dialogs(m_random) {}

    int Run(double hours) {
        ResetPanelState();
        ResetConfig();
        m_rig = SimRig::Standard();
        SetPortIo(&m_rig->Port());
        SetClock(&m_clock);
        SetPrompter(&m_prompter);
        SetDialogFactory(&m_dialogs);
        SetLauncher(&m_launcher);
        // The bypass transfer finds no serial line.
        SetSerialDevice("/nonexistent/tty");
        m_panel = std::make_unique<CMainPanelDlg>("/nonexistent/KV4.ini");
        m_panel->OnInitDialog();
        m_info = m_panel->findChild<CInfoPanel*>();

        const uint64_t total = static_cast<uint64_t>(hours * 3600 * 1000);
        long rssStart = -1;
        uint64_t cycleStart = 0;
        bool calm = false;
        uint64_t calmAt = 0;
        int target = 1;
        uint32_t worstReconnect = 0;
        long cycles = 0;
        for (uint64_t now = Now(); now < total; now = Now()) {
            const uint64_t inCycle = now - cycleStart;
            if (!calm && inCycle >= kStormMs) {
                target = Calm();
                calm = true;
                calmAt = now;
            } else if (calm && inCycle >= kCycleMs) {
                cycleStart = now;
                calm = false;
                ++cycles;
                // Measured once the first cycle has warmed every cache and pool up.
                if (cycles == 1) rssStart = RssKb();
            }
            if (!calm) Storm();
            Tick();
            if (!Check()) return 1;
            if (calm && calmAt != 0) {
                if (Shown(target)) {
                    worstReconnect = std::max<uint32_t>(worstReconnect, now - calmAt);
                    calmAt = 0;
                } else if (now - calmAt > kReconnectBoundMs) {
                    Broken("unit " + std::to_string(target) + " not shown " +
                           std::to_string(now - calmAt) + " ms after the faults ended (" +
                           Describe() + ")");
                    return 1;
                }
            }
        }
        const long rssEnd = RssKb();
        std::printf(
            "soak: %.1f virtual hours, %ld cycles, %ld actions, %ld boxes, %ld dialogs (%ld "
            "touches in "
            "them); worst "
            "reconnect %u ms (bound %u ms); RSS after the first cycle %ld kB, at the end %ld kB\n",
            static_cast<double>(Now()) / 3600000.0, cycles, m_actions, m_prompter.shown,
            m_dialogs.opened, m_dialogs.touches, worstReconnect, kReconnectBoundMs, rssStart,
            rssEnd);
        // Run with a small sanitizer quarantine (as CTest does) for this to mean anything.
        if (rssStart > 0 && rssEnd - rssStart > kRssGrowthKb) {
            Broken("memory grew by " + std::to_string(rssEnd - rssStart) + " kB");
            return 1;
        }
        m_panel.reset();
        SetPortIo(nullptr);
        SetClock(nullptr);
        SetPrompter(nullptr);
        SetDialogFactory(nullptr);
        SetLauncher(nullptr);
        return 0;
    }

private:
    uint64_t Now() const { return m_clock.PausedMs() + m_advanced; }
    int Pick(int n) { return static_cast<int>(m_random() % static_cast<uint32_t>(n)); }

    // The timers fire on the virtual clock as the window timers would.
    void Tick() {
        m_clock.Advance(kTickMs);
        m_advanced += kTickMs;
        m_sinceMessageTimer =
            m_panel->TimerRunning(kTimerMessageClear) ? m_sinceMessageTimer + kTickMs : 0;
        if (m_panel->TimerRunning(kTimerIdleScan)) m_panel->OnTimer(kTimerIdleScan);
        if (m_panel->TimerRunning(kTimerPanelScan)) m_panel->OnTimer(kTimerPanelScan);
        if (Now() % kTimerUnitPollMs < kTickMs && m_panel->TimerRunning(kTimerUnitPoll))
            m_panel->OnTimer(kTimerUnitPoll);
        if (m_sinceMessageTimer >= kTimerMessageClearMs) m_panel->OnTimer(kTimerMessageClear);
        // What the event loop of the program would do between ticks: the panel's posted
        // messages, and the objects given up with deleteLater.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Now and then (about twice a second) one thing an operator or the rig does.
    void Storm() {
        if (Pick(25) != 0) return;
        ++m_actions;
        const int n = 1 + Pick(4);
        SimUnit* unit = m_rig->Unit(n);
        switch (Pick(17)) {
            case 0:
                m_rig->SetOnline(n, Pick(3) != 0);
                break;
            case 1:
                if (unit) {
                    SimUnitFaults& f = unit->Faults();
                    f.corruption = static_cast<SimCorruption>(Pick(6));
                    f.corruptCommand = Pick(2) ? -1 : 128 + Pick(80);
                    f.corruptCount = Pick(2) ? -1 : 1 + Pick(5);
                    f.answersLeft = Pick(4) ? -1 : Pick(50);
                    f.slowStatusReads = Pick(4) ? 0 : Pick(3000);
                }
                break;
            case 2:
                m_rig->Port().SetBusySends(Pick(4));
                break;
            case 3:
                if (unit) unit->SetTally(Pick(2));
                break;
            case 4:
                if (unit) unit->SetReferenceVideo(Pick(2));
                break;
            case 5:
                if (unit) unit->SetBootMode(Pick(4) == 0);
                break;
            case 6: {
                const auto names = ShippedProfileNames();
                m_rig->PowerCycle(n, ShippedProfile(names[Pick(static_cast<int>(names.size()))]));
                break;
            }
            case 7:
                if (unit) unit->PostMessage(Pick(256));
                break;
            case 8:
                if (unit) unit->ChangeControl(Pick(129), Pick(70000) - 35000);
                break;
            case 9:
                if (unit) unit->ChangeSwitch(128 + Pick(127), Pick(300));
                break;
            case 10:
                m_rig->Surface().TurnKnob(Pick(8), Pick(200) - 100);
                break;
            case 11:
                m_rig->Surface().PressKey(Pick(5), static_cast<uint8_t>(1u << Pick(8)));
                break;
            case 12:
                m_panel->OnMenuButton(Pick(kMenuButtons));
                break;
            case 13:
                m_panel->OnFunctionButton(Pick(kFunctionButtons));
                break;
            case 14:
                m_panel->OnKnobDoubleClick(Pick(kKnobCount));
                break;
            case 15: {
                // The dispatcher's actions that open a dialog, as a menu button would run them:
                // only with a unit's menus on the screen, where such buttons are.
                constexpr int kDialogActions[] = {1, 2, 4, 5, 17, 32, 37, 45, 46};
                const int selected = UnitNumber(g_selectedUnit);
                if (g_selectedUnit == 0 || m_panel->m_currentMenu[selected] == -1) break;
                m_panel->RunAction(kDialogActions[Pick(std::size(kDialogActions))], Pick(3));
                break;
            }
            default:
                if (unit) unit->SetBusyIdentifies(Pick(4));
                break;
        }
    }

    // Every fault stops; one unit on line is chosen with its key. Returns its number.
    int Calm() {
        for (int n = 1; n <= kUnitCount; ++n) {
            m_rig->SetOnline(n, true);
            if (SimUnit* unit = m_rig->Unit(n)) {
                unit->Faults() = SimUnitFaults{};
                unit->SetBusyIdentifies(0);
                unit->SetBootMode(false);
                unit->SetTally(false);
            }
        }
        m_rig->Port().SetBusySends(0);
        m_rig->Surface().SetFanFailed(false);
        const int target = 1 + Pick(kUnitCount);
        m_pressTarget = target;
        return target;
    }

    // The selected unit is the target and its menus are loaded and on the screen.
    bool Shown(int target) {
        // The key is pressed again until the panel has taken it (it may be busy reconnecting).
        if (UnitNumber(g_selectedUnit) != target && m_rig->Unit(target) &&
            !m_rig->Unit(target)->StartingUp())
            m_rig->Surface().PressKey(target, 0x01);
        return UnitNumber(g_selectedUnit) == target && m_panel->m_currentMenu[target] != -1 &&
               g_unitIdentity.ModelCode != kModelNone && m_panel->TimerRunning(kTimerPanelScan);
    }

    bool Check() {
        const int selected = UnitNumber(g_selectedUnit);
        if (g_selectedUnit != 0 && (selected < 1 || selected > kUnitCount))
            return Broken("selected unit address " + std::to_string(g_selectedUnit));
        // Menus 0..64 are the unit's; the custom menus follow them.
        for (int n = 0; n < kUnitSlots; ++n)
            if (m_panel->m_currentMenu[n] < -1 || m_panel->m_currentMenu[n] > kLastCustomMenu)
                return Broken("current menu of unit " + std::to_string(n) + " is " +
                              std::to_string(m_panel->m_currentMenu[n]));
        if (m_panel->m_missCount < 0 || m_panel->m_missCount > 3)
            return Broken("miss count " + std::to_string(m_panel->m_missCount));
        // With no unit selected only the unit keys can select one. (A selected unit that is not
        // connected is the unit poll's to connect again; the panel scan may run without one, as
        // a modal dialog starts it again when it closes, connected or not.)
        if (g_selectedUnit == 0 && !m_panel->TimerRunning(kTimerIdleScan))
            return Broken("no unit selected and the idle scan stopped");
        if (!m_panel->TimerRunning(kTimerUnitPoll)) return Broken("the unit poll stopped");
        if (m_panel->m_functionOffset + kFunctionButtons > kSwitchCount)
            return Broken("function offset " + std::to_string(m_panel->m_functionOffset));
        if (!m_info->Message().empty() && !m_info->Alert().empty())
            return Broken("message \"" + m_info->Message() + "\" and alert \"" + m_info->Alert() +
                          "\" both shown");
        return true;
    }

    std::string Describe() const {
        const int selected = UnitNumber(g_selectedUnit);
        return "selected unit " + std::to_string(selected) + ", its menu " +
               std::to_string(selected ? m_panel->m_currentMenu[selected] : -1) + ", model " +
               std::to_string(g_unitIdentity.ModelCode) + ", timers 1/2/3 " +
               std::to_string(m_panel->TimerRunning(kTimerIdleScan)) +
               std::to_string(m_panel->TimerRunning(kTimerUnitPoll)) +
               std::to_string(m_panel->TimerRunning(kTimerPanelScan)) + ", misses " +
               std::to_string(m_panel->m_missCount) + Units();
    }
    std::string Units() const {
        std::string text;
        for (int n = 1; n <= kUnitCount; ++n) {
            const SimUnit* unit = m_rig->Unit(n);
            text += "; unit " + std::to_string(n) + (m_rig->Online(n) ? " on" : " off") +
                    (unit && unit->StartingUp() ? " starting" : "") +
                    (m_panel->m_units.IsUnitPresent(n) ? " present" : " absent");
        }
        return text;
    }

    // Says what broke; false, for the checks to return.
    bool Broken(const std::string& what) {
        std::fprintf(stderr, "soak: at %.3f virtual s: %s\n", static_cast<double>(Now()) / 1000.0,
                     what.c_str());
        return false;
    }

    std::mt19937 m_random;
    VirtualClock m_clock;
    uint64_t m_advanced = 0;
    uint32_t m_sinceMessageTimer = 0;
    CountingPrompter m_prompter;
    ClickingDialogs m_dialogs;
    NoLauncher m_launcher;
    std::unique_ptr<SimRig> m_rig;
    std::unique_ptr<CMainPanelDlg> m_panel;
    CInfoPanel* m_info = nullptr;
    long m_actions = 0;
    int m_pressTarget = 0;
};

}  // namespace

int main(int argc, char** argv) {
    double hours = 1;
    uint32_t seed = 22;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--hours") == 0) hours = std::atof(argv[i + 1]);
        if (std::strcmp(argv[i], "--seed") == 0)
            seed = static_cast<uint32_t>(std::atol(argv[i + 1]));
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    Soak soak(seed);
    const int result = soak.Run(hours);
    if (result != 0) std::fprintf(stderr, "soak: seed %u failed\n", seed);
    return result;
}
