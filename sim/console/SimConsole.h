#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>

class QCheckBox;
class QLabel;
class QSpinBox;
class QTimer;
class SimRig;
class CSimKey;
class CSimKeyPad;
class CSimKnob;
class CSimLamp;
class CSimBypassPeer;
class CSimUnitPanel;

// The window that stands in, with --simulate, for everything that is not the panel program:
// the control surface (eight knobs, five key rows with their lamps, the fan) and, per Main
// Unit, what a trainer can do to it. Everything it does goes straight to the simulated rig; the
// panel sees it through the link like the real hardware. It reads back the lamp image the panel
// last sent and the units' state every kRefreshMs.
class CSimConsole : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 50;
    // Where the window goes beside the 800 x 600 panel, and the most room it takes, so that both
    // fit a 1920 x 1080 desktop.
    static constexpr int kGapToPanel = 10;
    static constexpr int kMaxWidth = 1100;
    static constexpr int kMaxHeight = 1000;

    explicit CSimConsole(SimRig& rig, QWidget* parent = nullptr);

    // Becomes a window of the running panel, placed beside it: the panel owns the console from
    // then on, and its modal loop leaves the console usable, also under the panel's dialogs.
    void JoinPanel(QWidget* panel);

    // Shows the lamp image and the units' state now (the refresh timer calls it).
    void Refresh();

    CSimKnob* Knob(int knob) const { return m_knobs[knob]; }
    // The key at row and bit, or nullptr where the surface has none.
    CSimKey* Key(int row, uint8_t bit) const;
    CSimUnitPanel* UnitPanel(int number) const { return m_units[number]; }
    CSimLamp* TallyLamp(int number) const { return m_tallyLamps[number]; }
    CSimLamp* SelectedLamp(int number) const { return m_selectedLamps[number]; }
    QCheckBox* FanFailedBox() const { return m_fanFailed; }
    // The peer on the rig's bypass line; nullptr when the rig has no line.
    CSimBypassPeer* BypassPeer() const { return m_bypassPeer; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A modal dialog over the panel would block the console with the panel: the console goes
    // with the dialog shown on top (as its transient window) and back to the panel after it.
    void FollowModal();
    QWidget* MakeSurface();
    QWidget* MakeLampsAndLink();
    void MakeShortcuts();
    // The unit whose profile names the keys: the one the panel selected, else the first there is.
    int NamingUnit() const;

    SimRig& m_rig;
    QTimer* m_refresh = nullptr;
    std::array<CSimKnob*, 8> m_knobs{};
    CSimKeyPad* m_keyPad = nullptr;
    std::array<CSimUnitPanel*, 5> m_units{};  // 1..4
    std::array<CSimLamp*, 5> m_tallyLamps{};
    std::array<CSimLamp*, 5> m_selectedLamps{};
    std::array<CSimLamp*, 5> m_switchLamps{};
    QLabel* m_lampBytes = nullptr;
    QCheckBox* m_fanFailed = nullptr;
    QCheckBox* m_silent = nullptr;
    QSpinBox* m_busySends = nullptr;
    QSpinBox* m_answerDelay = nullptr;
    CSimBypassPeer* m_bypassPeer = nullptr;
    QPointer<QWidget> m_panel;
    QPointer<QWidget> m_followed;  // the dialog the console goes with
};
