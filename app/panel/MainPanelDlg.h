#pragma once

#include <QBasicTimer>
#include <QDialog>
#include <QEvent>
#include <QIcon>
#include <QPixmap>
#include <array>
#include <memory>
#include <string>

#include "app/panel/DialogFactory.h"
#include "app/panel/PanelLayout.h"
#include "link/ConfigFile.h"
#include "link/PanelHost.h"
#include "link/PanelState.h"

class QLabel;
class CBitmapTextButton;
class CCursorHider;
class CColorLabel;
class CInfoPanel;
class CKnobDisplay;
class CStatusStrip;
class CTitleStrip;

inline constexpr int kFunctionButtons = 6;
// The keyer maker's manuals (PDF); the package ships none.
inline constexpr const char* kManualFolder = "/usr/share/doc/kv4/";
inline constexpr int kMenuButtons = 10;

// The main panel: one modal dialog that owns every widget of the touch screen, the per-unit
// navigation state (through CPanelHost) and the window timers that drive the whole program.
class CMainPanelDlg : public QDialog, public CPanelHost {
    Q_OBJECT
public:
    explicit CMainPanelDlg(const std::string& configPath = kDefaultConfigPath,
                           QWidget* parent = nullptr);
    ~CMainPanelDlg() override;

    // Start-up: configuration, placement of the widgets, the link start. Runs once, when the
    // panel is first executed (tests call it directly).
    void OnInitDialog();
    // Runs the panel until it ends. A clean end (Escape, "Update", a stop signal) leaves the
    // lamps as the link start left them; a fatal error has cleared them already.
    int exec() override;
    void done(int result) override;
    // Ends the panel after a fatal error: the shutdown has already set the panel hardware.
    void EndAfterFatalError();
    // Ends the panel as Escape would, soon: every box or dialog open over it is closed first
    // with its safe answer, one per turn of the event loop, then the panel. A posted message of
    // the panel's own, so it never falls inside a link exchange.
    void RequestStop();

    // A kiosk has no desktop to hand a manual to: it opens in the panel's own viewer.
    void SetKiosk(bool kiosk) { m_kiosk = kiosk; }
    // Where the keyer maker's manuals are (tests put their own).
    void SetManualFolder(const std::string& folder) { m_manualFolder = folder; }

    // Enter never closes the panel; Escape (reject) ends the program.
    void accept() override {}

    // Timer dispatch; tests call it instead of waiting for real time.
    void OnTimer(int id);
    bool TimerRunning(int id) const;

    bool CursorVisible() const { return m_cursorVisible; }
    QLabel* ModelLogo(int id) const;

    // CPanelHost: what the unit operations show.
    void ShowMessage(const std::string& text) override;
    void ShowAlert(const std::string& text) override;
    void SetOnAir(bool onAir) override;
    void SetUnitLost(int unit) override;
    void SetTitleText(const std::string& text) override;
    void ShowModelLogo() override;
    void UpdateLamps(int keep) override;
    void UpdateMenuCaptions() override;
    void UpdateFunctionCaptions() override;
    void BindKnobs() override;
    void UpdateScreenColor(int unit) override;
    void StartTimer(int id, int periodMs) override;
    void StopTimer(int id) override;
    void ClearKeyHandled() override { m_keyHandled = false; }

    // The key dispatch of timer 3; true when a key was handled.
    bool HandlePanelKeys();

    // Touches: menu button b (0..9), function button f (0..5), knob display k (0..7), a logo.
    void OnMenuButton(int b);
    void OnFunctionButton(int f);
    void OnKnobDoubleClick(int k);
    void OnLogoClick();
    // The deferred file-system update of the units that are not group A.
    void OnFileSystemUpdate();
    // The action dispatcher: opens the setup dialog of action with param.
    void RunAction(int action, int param);
    // Action 3: the Attributes dialog of one control or switch.
    void RunAttributes(ControlRecord* control, SwitchRecord* switchRecord);

    // The panel's own posted messages: the file-system update, and one that does nothing.
    static constexpr QEvent::Type kPanelFsUpdate = static_cast<QEvent::Type>(QEvent::User + 0x500);
    static constexpr QEvent::Type kPanelNop = static_cast<QEvent::Type>(QEvent::User + 0x501);
    static constexpr QEvent::Type kPanelStop = static_cast<QEvent::Type>(QEvent::User + 0x5FF);

    ControlRecord m_frameTimeRec, m_taperInRec, m_taperOutRec, m_keyFrameRec;
    QPixmap m_background;
    std::array<QLabel*, kModelLogoIds.size()> m_modelLogos{};
    std::array<CBitmapTextButton*, kFunctionButtons> m_functionButtons{};
    std::array<CBitmapTextButton*, kMenuButtons> m_menuButtons{};
    CInfoPanel* m_infoPanel = nullptr;
    CStatusStrip* m_unitStrip = nullptr;
    CTitleStrip* m_unitTitle = nullptr;
    std::array<QLabel*, 2 * kUnitCount> m_indicators{};  // Online digits 1..4, Active 1..4
    CColorLabel* m_titleLabel = nullptr;
    QIcon m_icon;
    std::array<CKnobDisplay*, kKnobCount> m_knobs{};

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class PollPause;
    void ConstructWidgets();
    void SetUpLocalRecords();
    void PlaceLogos();
    void SetUpButtons();
    void ReadRouterSettings();
    void SetForwardDirection();
    // The link start: checks the panel hardware, scans the units and starts the timers.
    void LinkStart();
    void OnIdleScan();
    void OnUnitPoll();
    void OnPanelScan();
    void LoseSelectedUnit(int unit);
    void ActOnKey(int row, uint8_t keys);
    // The current menu of the selected unit, or -1 when it names nothing the panel can show.
    int ShownMenu() const;
    void BindEffectKnobs();
    void SetFunctionCaption(int f, int switchIndex);
    void ConnectInput();
    DialogResult OpenDialog(const DialogRequest& request);
    bool ReferenceVideo() const;
    void FullRefresh();
    void DeferredRefresh();
    void ActionAfterEffectMenu();
    void WriteBackItems(int menu, const std::array<int, 10>& items, int count,
                        const DialogResult& result);
    // The switch index function button f shows in menu m; -1 for none.
    int FunctionSwitchIndex(int m, int f) const;
    void StepSwitch(int s);
    void InsertKeyframe();
    void DeleteKeyframe();
    void ReadKeyframesBack(EffectRecord& effect);
    void ShowCurrentKeyframe(const EffectRecord& effect);
    void OpenManual(const std::string& name);
    void Stop();

    std::string m_configPath;
    std::string m_manualFolder = kManualFolder;
    bool m_kiosk = false;
    bool m_clearLampsAtEnd = true;
    bool m_cursorVisible = false;
    CCursorHider* m_cursorHider = nullptr;  // owned as a child; only while hidden
    bool m_initialised = false;
    bool m_closed = false;
    bool m_keyHandled = false;
    std::array<QBasicTimer, 5> m_timers;
    std::array<int, 5> m_timerPeriods{};
};

// What the panel says when the manual name (in folder) is not there.
std::string ManualMissingText(const std::string& name, const std::string& folder);

// The one main panel, set first thing when it initialises.
extern CMainPanelDlg* g_mainPanel;
