#pragma once

#include <QDialog>
#include <QIcon>
#include <QPixmap>
#include <array>
#include <memory>
#include <string>

#include "app/CommandLine.h"
#include "app/PanelLayout.h"
#include "link/PanelState.h"
#include "link/UnitScanner.h"

class QLabel;
class CBitmapTextButton;
class CColorLabel;
class CInfoPanel;
class CKnobDisplay;
class CStatusStrip;
class CTitleStrip;

inline constexpr int kLampBytes = 12;
inline constexpr int kFunctionButtons = 6;
inline constexpr int kMenuButtons = 10;
inline constexpr uint32_t kNoHeldFunction = 131;

// The main panel: one modal dialog that owns every widget of the touch screen and the
// per-unit navigation state.
class CMainPanelDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMainPanelDlg(const std::string& configPath = kDefaultConfigPath,
                           QWidget* parent = nullptr);
    ~CMainPanelDlg() override;

    // Enter never closes the panel; Escape (reject) ends the program.
    void accept() override {}

    bool CursorVisible() const { return m_cursorVisible; }
    QLabel* ModelLogo(int id) const;

    // The raw menu blobs of units 0..4 (block 0 is never used).
    std::unique_ptr<std::array<MenuBlock, kUnitSlots>> m_menuBlocks;
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
    std::string m_routerEnabled;
    std::string m_routerPolarity;
    int32_t m_routerDwellFrames = 0;
    std::array<int32_t, kUnitSlots> m_currentMenu{};
    std::array<int32_t, kUnitSlots> m_previousMenu{};
    std::array<int32_t, kUnitSlots> m_savedMenu{};
    uint32_t m_heldFunction = kNoHeldFunction;
    std::array<uint8_t, kLampBytes> m_lamps{};
    CUnitScanner m_units;
    int32_t m_missCount = 0;
    uint32_t m_functionOffset = 10;
    uint32_t m_functionSlots = 20;
    QIcon m_icon;
    std::array<CKnobDisplay*, kKnobCount> m_knobs{};

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void ConstructWidgets();
    void SetUpLocalRecords();
    void OnInitDialog();
    void PlaceLogos();
    void SetUpButtons();
    void ReadRouterSettings();
    void SetForwardDirection();
    // The link start: checks the panel hardware, scans the units and starts the timers.
    void LinkStart();

    std::string m_configPath;
    bool m_cursorVisible = false;
};

// The one main panel, set first thing when it initialises.
extern CMainPanelDlg* g_mainPanel;
