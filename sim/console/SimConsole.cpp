#include "sim/console/SimConsole.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include "sim/SimRig.h"
#include "sim/console/ConsoleLook.h"
#include "sim/console/SimBypassPeer.h"
#include "sim/console/SimKeyPad.h"
#include "sim/console/SimKnob.h"
#include "sim/console/SimUnitPanel.h"

namespace {

constexpr int kUnits = 4;
constexpr int kTallyByte = 5;
constexpr int kFirstSelectedByte = 7;  // bytes 7..10: bit 0x01 lit for the selected unit 1..4
constexpr int kSwitchLampByte = 11;
// Byte 11's lamps, bit 0x01 up: the switches with these ids are not 0.
constexpr std::array<int, 5> kSwitchLampIds = {221, 222, 223, 225, 227};
constexpr int kMaxBusySends = 50;
constexpr int kMaxAnswerDelay = 50;
constexpr int kDefaultAnswerDelay = 2;
constexpr int kDefaultBusySends = 3;

const char* const kHelp =
    "Shortcuts: 1-4 unit keys, A ALT (also while the panel has the focus).  Knobs: drag up or "
    "right, turn the wheel (a notch is one step of a stepped control, a few percent of another) "
    "or use the arrow keys on a focused knob (Shift: fine, PgUp/PgDn: four notches).  Click a key "
    "to press it; its lamp shows what the panel lit.";

QString SwitchLampCaption(const SimProfile* profile, int id) {
    if (profile)
        for (const SimSwitch& s : profile->switches)
            if (s.id == id && !s.states.empty()) {
                const QString name = OneLineName(s.states.size() > 1 ? s.states[1] : s.states[0]);
                if (!name.isEmpty()) return name;
            }
    return QStringLiteral("Switch %1").arg(id);
}

}  // namespace

CSimConsole::CSimConsole(SimRig& rig, QWidget* parent) : QWidget(parent), m_rig(rig) {
    // A replay answers from a trace first; the console still drives what the trace never saw.
    setWindowTitle(rig.Replaying()
                       ? QStringLiteral("KV4 simulated rig: control surface and Main Units "
                                        "(answering from a link trace)")
                       : QStringLiteral("KV4 simulated rig: control surface and Main Units"));
    setObjectName(QStringLiteral("simConsole"));
    setStyleSheet(ConsoleStyleSheet());
    setMaximumSize(kMaxWidth, kMaxHeight);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(8, 6, 8, 6);
    root->setSpacing(6);
    auto* top = new QHBoxLayout;
    top->addWidget(MakeSurface());
    top->addWidget(MakeLampsAndLink());
    root->addLayout(top);

    auto* units = new QHBoxLayout;
    for (int n = 1; n <= kUnits; ++n) {
        m_units[n] = new CSimUnitPanel(rig, n, this);
        units->addWidget(m_units[n], 1);
    }
    root->addLayout(units);
    if (SimBypassLine* line = rig.BypassLine()) {
        m_bypassPeer = new CSimBypassPeer(*line, this);
        root->addWidget(m_bypassPeer);
    }

    auto* help = new QLabel(QString::fromLatin1(kHelp), this);
    help->setObjectName(QStringLiteral("help"));
    help->setWordWrap(true);
    root->addWidget(help);

    MakeShortcuts();
    m_refresh = new QTimer(this);
    connect(m_refresh, &QTimer::timeout, this, &CSimConsole::Refresh);
    m_refresh->start(kRefreshMs);
    Refresh();
    resize(sizeHint().boundedTo(QSize(kMaxWidth, kMaxHeight)));
}

QWidget* CSimConsole::MakeSurface() {
    auto* group = new QGroupBox(QStringLiteral("Control surface"), this);
    auto* row = new QHBoxLayout(group);
    row->setSpacing(10);
    SimSurface& surface = m_rig.Surface();
    // Knobs 1..4 sit left of the panel's screen, 5..8 right of it.
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    for (int k = 0; k < SimSurface::kKnobs; ++k) {
        m_knobs[k] = new CSimKnob(surface, k, group);
        (k < SimSurface::kKnobs / 2 ? left : right)->addWidget(m_knobs[k]);
    }
    m_keyPad = new CSimKeyPad(surface, group);
    auto* centre = new QVBoxLayout;
    centre->addStretch();
    centre->addWidget(m_keyPad);
    centre->addStretch();
    row->addLayout(left);
    row->addLayout(centre, 1);
    row->addLayout(right);
    return group;
}

QWidget* CSimConsole::MakeLampsAndLink() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* lamps = new QGroupBox(QStringLiteral("Other lamps"), column);
    auto* grid = new QGridLayout(lamps);
    grid->setVerticalSpacing(2);
    for (int n = 1; n <= kUnits; ++n) {
        m_tallyLamps[n] = new CSimLamp(QStringLiteral("Tally %1").arg(n), kTallyLit, lamps);
        m_tallyLamps[n]->setToolTip(QStringLiteral("Lamp byte 5: unit %1 is on air").arg(n));
        m_selectedLamps[n] = new CSimLamp(QStringLiteral("Selected %1").arg(n), kLampLit, lamps);
        m_selectedLamps[n]->setToolTip(
            QStringLiteral("Lamp byte %1: unit %2 is the selected one").arg(6 + n).arg(n));
        grid->addWidget(m_tallyLamps[n], n - 1, 0);
        grid->addWidget(m_selectedLamps[n], n - 1, 1);
    }
    for (size_t s = 0; s < kSwitchLampIds.size(); ++s) {
        m_switchLamps[s] = new CSimLamp(QString(), kLampLit, lamps);
        m_switchLamps[s]->setToolTip(QStringLiteral("Lamp byte 11, bit 0x%1: switch %2 is on")
                                         .arg(1 << s, 2, 16, QLatin1Char('0'))
                                         .arg(kSwitchLampIds[s]));
        grid->addWidget(m_switchLamps[s], kUnits + static_cast<int>(s) / 2,
                        static_cast<int>(s) % 2);
    }
    m_lampBytes = new QLabel(lamps);
    m_lampBytes->setObjectName(QStringLiteral("lampBytes"));
    m_lampBytes->setToolTip(QStringLiteral("The twelve lamp bytes the panel sent last"));
    grid->addWidget(m_lampBytes, kUnits + 3, 0, 1, 2);
    layout->addWidget(lamps);

    auto* hardware = new QGroupBox(QStringLiteral("Surface and link"), column);
    auto* form = new QGridLayout(hardware);
    m_fanFailed = new QCheckBox(QStringLiteral("Fan failed"), hardware);
    m_fanFailed->setToolTip(
        QStringLiteral("The panel takes a failed fan as a fatal error and shuts down"));
    m_silent = new QCheckBox(QStringLiteral("Surface silent"), hardware);
    m_silent->setToolTip(QStringLiteral("The surface answers nothing: no keys, no knobs"));
    form->addWidget(m_fanFailed, 0, 0);
    form->addWidget(m_silent, 0, 1);

    m_busySends = new QSpinBox(hardware);
    m_busySends->setRange(1, kMaxBusySends);
    m_busySends->setValue(kDefaultBusySends);
    m_busySends->setSuffix(QStringLiteral(" sends"));
    auto* busy = new QPushButton(QStringLiteral("Busy"), hardware);
    busy->setToolTip(QStringLiteral("The far side reads busy for the next sends"));
    form->addWidget(busy, 1, 0);
    form->addWidget(m_busySends, 1, 1);

    m_answerDelay = new QSpinBox(hardware);
    m_answerDelay->setRange(0, kMaxAnswerDelay);
    m_answerDelay->setValue(kDefaultAnswerDelay);
    m_answerDelay->setSuffix(QStringLiteral(" reads"));
    m_answerDelay->setToolTip(QStringLiteral("Status reads before any answer is ready"));
    form->addWidget(new QLabel(QStringLiteral("Answer delay"), hardware), 2, 0);
    form->addWidget(m_answerDelay, 2, 1);
    layout->addWidget(hardware);
    layout->addStretch();

    connect(m_fanFailed, &QCheckBox::toggled, this,
            [this](bool failed) { m_rig.Surface().SetFanFailed(failed); });
    connect(m_silent, &QCheckBox::toggled, this,
            [this](bool silent) { m_rig.Surface().SetSilent(silent); });
    connect(busy, &QPushButton::clicked, this,
            [this] { m_rig.Port().SetBusySends(m_busySends->value()); });
    connect(m_answerDelay, &QSpinBox::valueChanged, this,
            [this](int reads) { m_rig.Port().SetAnswerDelay(reads); });
    return column;
}

void CSimConsole::MakeShortcuts() {
    auto press = [this](int key, int row, uint8_t bit) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::ApplicationShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, row, bit] {
            if (CSimKey* k = Key(row, bit)) k->animateClick();
        });
    };
    for (int n = 1; n <= kUnits; ++n)
        press(Qt::Key_0 + n, n, 0x01);
    press(Qt::Key_A, 0, 0x10);
}

CSimKey* CSimConsole::Key(int row, uint8_t bit) const {
    return m_keyPad->Key(row, bit);
}

int CSimConsole::NamingUnit() const {
    const auto& lamps = m_rig.Surface().Lamps();
    for (int n = 1; n <= kUnits; ++n)
        if ((lamps[kFirstSelectedByte + n - 1] & 0x01) && m_rig.Unit(n)) return n;
    for (int n = 1; n <= kUnits; ++n)
        if (m_rig.Unit(n)) return n;
    return 0;
}

void CSimConsole::Refresh() {
    const auto& lamps = m_rig.Surface().Lamps();
    m_keyPad->ShowLamps(lamps);
    for (int n = 1; n <= kUnits; ++n) {
        m_tallyLamps[n]->SetLit(lamps[kTallyByte] & (1 << n));
        m_selectedLamps[n]->SetLit(lamps[kFirstSelectedByte + n - 1] & 0x01);
    }
    const int naming = NamingUnit();
    const SimProfile* profile = naming ? &m_rig.Unit(naming)->Profile() : nullptr;
    m_keyPad->NameKeys(profile);
    for (size_t s = 0; s < kSwitchLampIds.size(); ++s) {
        m_switchLamps[s]->SetLit(lamps[kSwitchLampByte] & (1 << s));
        m_switchLamps[s]->SetCaption(SwitchLampCaption(profile, kSwitchLampIds[s]));
    }
    QString bytes = QStringLiteral("Lamp bytes 0-5: ");
    for (size_t b = 0; b < lamps.size(); ++b) {
        if (b == lamps.size() / 2) bytes += QStringLiteral("\n          6-11: ");
        bytes += QStringLiteral("%1 ").arg(lamps[b], 2, 16, QLatin1Char('0')).toUpper();
    }
    bytes = bytes.trimmed();
    if (m_lampBytes->text() != bytes) m_lampBytes->setText(bytes);
    for (int n = 1; n <= kUnits; ++n)
        m_units[n]->Sync();
}

void CSimConsole::JoinPanel(QWidget* panel) {
    m_panel = panel;
    if (panel) {
        const QRect beside = panel->frameGeometry();
        setParent(panel, Qt::Window);
        move(beside.right() + 1 + kGapToPanel, beside.top());
    }
    show();
}

bool CSimConsole::event(QEvent* event) {
    if (event->type() == QEvent::WindowBlocked && m_panel)
        QTimer::singleShot(0, this, &CSimConsole::FollowModal);
    return QWidget::event(event);
}

bool CSimConsole::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_followed && event->type() == QEvent::Hide) {
        m_followed->removeEventFilter(this);
        m_followed = nullptr;
        QTimer::singleShot(0, this, &CSimConsole::FollowModal);
    }
    return QWidget::eventFilter(watched, event);
}

void CSimConsole::FollowModal() {
    if (!m_panel || !windowHandle()) return;
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* host = modal && modal->isVisible() && modal != m_panel->window() ? modal : nullptr;
    if (host != m_followed) {
        if (m_followed) m_followed->removeEventFilter(this);
        m_followed = host;
        if (host) host->installEventFilter(this);
    }
    QWidget* above = host ? host : m_panel->window();
    if (above->windowHandle()) windowHandle()->setTransientParent(above->windowHandle());
}
