#include "app/panel/MainPanelDlg.h"

#include <QKeyEvent>

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <cerrno>

#include <sys/stat.h>

#include "app/panel/CursorHider.h"
#include "link/ConfigFile.h"
#include "link/EppLink.h"
#include "link/UnitOperations.h"
#include "platform/PortIo.h"
#include "platform/Prompter.h"
#include "platform/Report.h"
#include "widgets/BitmapTextButton.h"
#include "widgets/ColorLabel.h"
#include "widgets/InfoPanel.h"
#include "widgets/KnobDisplay.h"
#include "widgets/KnobGeometry.h"
#include "widgets/Resources.h"
#include "widgets/StatusStrip.h"
#include "widgets/TitleStrip.h"

CMainPanelDlg* g_mainPanel = nullptr;

namespace {

constexpr const char* kPanelCaption = "Zelvin";
constexpr int kBackgroundBitmap = 152;
constexpr int kIconBitmap = 128;
constexpr const char* kPanelFace = "Trebuchet MS";
constexpr int kButtonFontHeight = -13;
const QColor kButtonText(217, 217, 217);
const QColor kButtonTextDisabled(128, 128, 128);
constexpr int kTitlePointSize = 16;
const QColor kTitleColor(145, 192, 74);  // COLORREF 0x4AC091

// Effect Menu function slots 2..5 name the panel's own switches.
constexpr uint8_t kStartKnobAssign = 128;
constexpr uint8_t kStartButtonAssign = 127;

ControlRecord LocalRecord(const char* name, uint32_t attributes, int16_t maxValue) {
    ControlRecord record;
    record.name = name;
    record.attributes = attributes;
    record.maxValue = maxValue;
    record.maxDisplay = maxValue;
    return record;
}

// The panel starts all the same, with every key missing; the journal says why.
void ReportUnreadableConfig(const std::string& path) {
    struct stat info;
    const bool missing = ::stat(path.c_str(), &info) != 0 && errno == ENOENT;
    ReportLine("the configuration file " + path + (missing ? " is missing" : " cannot be read") +
               "; every setting takes its default");
}

QLabel* BitmapLabel(QWidget* parent, int bitmapId) {
    auto* label = new QLabel(parent);
    label->setPixmap(LoadBitmapResource(bitmapId));
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

}  // namespace

CMainPanelDlg::CMainPanelDlg(const std::string& configPath, QWidget* parent)
    : QDialog(parent), m_configPath(configPath) {
    ConstructWidgets();
    m_icon = QIcon(LoadBitmapResource(kIconBitmap));
    // No block holds valid menus yet (CPanelHost marks them).
    for (int unit = 0; unit < kUnitSlots; ++unit)
        ClearCustomMenus(unit);
    g_currentEffect = 0;
    g_effectKnobAssign.fill(kStartKnobAssign);
    g_effectButtonAssign.fill(kStartButtonAssign);
    SetUpLocalRecords();
}

CMainPanelDlg::~CMainPanelDlg() {
    if (g_mainPanel == this) g_mainPanel = nullptr;
}

void CMainPanelDlg::ConstructWidgets() {
    for (size_t i = 0; i < m_modelLogos.size(); ++i) {
        m_modelLogos[i] = BitmapLabel(this, kModelLogoIds[i]);
        m_modelLogos[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_modelLogos[i]->setVisible(kModelLogoIds[i] == kDefaultLogo);
    }
    for (auto*& button : m_functionButtons)
        button = new CBitmapTextButton(this);
    for (auto*& button : m_menuButtons)
        button = new CBitmapTextButton(this);
    m_infoPanel = new CInfoPanel(this);
    m_unitStrip = new CStatusStrip(this);
    m_unitTitle = new CTitleStrip(this);
    for (int k = 0; k < kUnitCount; ++k) {
        m_indicators[k] = BitmapLabel(this, kDigitBitmaps[k]);
        m_indicators[kUnitCount + k] = BitmapLabel(this, kDigitBitmaps[k]);
    }
    m_titleLabel = new CColorLabel(this);
    m_titleLabel->Attach(TitleLabelRect());
    m_titleLabel->hide();
    for (auto*& knob : m_knobs) {
        knob = new CKnobDisplay(this);
        knob->hide();
    }
    for (auto* button : m_functionButtons)
        button->hide();
    for (auto* button : m_menuButtons)
        button->hide();
    ConnectInput();
}

void CMainPanelDlg::SetUpLocalRecords() {
    m_frameTimeRec = LocalRecord("Frame Time", kAttrLocalValue, 0);
    m_taperInRec = LocalRecord("Taper In", kAttrLocalStepped, 100);
    m_taperOutRec = LocalRecord("Taper Out", kAttrLocalStepped, 100);
    m_keyFrameRec = LocalRecord("KeyFrame", kAttrLocalStepped | kAttrPlainNumber, 0);
}

int CMainPanelDlg::exec() {
    OnInitDialog();
    // A fatal error during the start ends the panel before it ever runs.
    if (m_closed) return result();
    const int status = QDialog::exec();
    // Whatever a dialog that was open did on its way out has been sent by now.
    if (m_clearLampsAtEnd) ClearLamps(*this);
    return status;
}

void CMainPanelDlg::RequestStop() {
    QCoreApplication::postEvent(this, new QEvent(kPanelStop));
}

void CMainPanelDlg::Stop() {
    if (m_closed) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != this) {
        // What the dialog does on its way out runs now; a box it opens goes on the next turn.
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        RequestStop();
        return;
    }
    reject();
}

void CMainPanelDlg::keyPressEvent(QKeyEvent* event) {
    // Escape ends the program (the dialog's own handling rejects it); the journal says why.
    if (event->matches(QKeySequence::Cancel) && !m_closed)
        ReportLine("Escape pressed on the panel: ending with status 0");
    QDialog::keyPressEvent(event);
}

void CMainPanelDlg::EndAfterFatalError() {
    m_clearLampsAtEnd = false;
    done(QDialog::Rejected);
}

void CMainPanelDlg::done(int result) {
    m_closed = true;
    for (QBasicTimer& timer : m_timers)
        timer.stop();
    QDialog::done(result);
}

void CMainPanelDlg::OnInitDialog() {
    if (m_initialised) return;
    m_initialised = true;
    g_mainPanel = this;
    SetPromptWindow(this, m_kiosk);
    setWindowTitle(QString::fromLatin1(kPanelCaption));
    setWindowIcon(m_icon);
    ResetConfig();
    if (!LoadConfigFile(m_configPath)) ReportUnreadableConfig(m_configPath);
    PlaceLogos();

    // A missing key reads as a text that matches nothing, so the status view is on unless the
    // file says OFF.
    const bool showStatus = GetConfigValue(kConfigDisplay, kConfigStatus) != kConfigOff;
    m_infoPanel->Create(kInfoPanelPlace.x(), kInfoPanelPlace.y(), m_currentMenu.data(), showStatus);
    QWidget* online[kUnitCount];
    QWidget* active[kUnitCount];
    for (int k = 0; k < kUnitCount; ++k) {
        online[k] = m_indicators[k];
        active[k] = m_indicators[kUnitCount + k];
    }
    m_unitStrip->Create(kUnitStripPlace.x(), kUnitStripPlace.y(), &m_units, online, active);
    m_unitTitle->Create(kTitleStripPlace.x(), kTitleStripPlace.y());
    SetUpButtons();

    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setGeometry(PanelClientRect());
    setFixedSize(PanelClientRect().size());
    m_background = LoadBitmapResource(kBackgroundBitmap);
    for (int k = 0; k < kKnobCount; ++k)
        m_knobs[k]->Create(kKnobPlaces[k].x(), kKnobPlaces[k].y());

    // A touch screen needs no pointer unless the configuration asks for one.
    m_cursorVisible = GetConfigValue(kConfigMouse, kConfigVisible) == kConfigTrue;
    if (!m_cursorVisible && !m_cursorHider) m_cursorHider = new CCursorHider(this);

    m_currentMenu.fill(-1);
    m_savedMenu.fill(-1);
    m_heldFunction = kNoHeldFunction;

    m_titleLabel->SetTransparent(true);
    m_titleLabel->SetFaceName(QString::fromLatin1(kPanelFace), 0);
    m_titleLabel->SetPointSize(kTitlePointSize);
    m_titleLabel->SetBold(true);
    m_titleLabel->SetTextColor(kTitleColor);

    SetForwardDirection();
    ReadRouterSettings();
    m_units.SetLamps(m_lamps.data());
    LinkStart();
}

void CMainPanelDlg::PlaceLogos() {
    for (QLabel* logo : m_modelLogos)
        logo->setGeometry(kLogoRect);
}

void CMainPanelDlg::SetUpButtons() {
    const QString face = QString::fromLatin1(kPanelFace);
    for (int b = 0; b < kMenuButtons; ++b) {
        CBitmapTextButton* button = m_menuButtons[b];
        button->SetBitmaps(kMenuButtonFace, kMenuButtonFace, 0);
        button->SetFontFace(face, kButtonFontHeight);
        button->SetTextColors(kButtonText, kButtonTextDisabled);
        button->setGeometry(QRect(kMenuButtonPlaces[b], button->ImageRect().size()));
    }
    for (int f = 0; f < kFunctionButtons; ++f) {
        CBitmapTextButton* button = m_functionButtons[f];
        button->SetBitmaps(kFunctionButtonFace, kFunctionButtonMarked, 0);
        button->SetFontFace(face, kButtonFontHeight);
        button->SetTextColors(kButtonText, kButtonTextDisabled);
        button->setGeometry(QRect(kFunctionButtonPlaces[f], button->ImageRect().size()));
    }
}

void CMainPanelDlg::SetForwardDirection() {
    // The EPP port's data direction: forward, so the link can send.
    PortWrite(kControlPort, PortRead(kControlPort) & ~kControlReverse);
}

void CMainPanelDlg::ReadRouterSettings() {
    if (FindConfigSection(kConfigRouter) < 0) return;
    m_routerEnabled = GetConfigValue(kConfigRouter, kConfigEnabled);
    m_routerPolarity = GetConfigValue(kConfigRouter, kConfigPolarity);
    m_routerDwellFrames = ConfigNumber(GetConfigValue(kConfigRouter, kConfigDwellFrames));
}

QLabel* CMainPanelDlg::ModelLogo(int id) const {
    for (size_t i = 0; i < kModelLogoIds.size(); ++i)
        if (kModelLogoIds[i] == id) return m_modelLogos[i];
    return nullptr;
}

void CMainPanelDlg::ShowMessage(const std::string& text) {
    m_infoPanel->ShowMessage(text);
}

void CMainPanelDlg::ShowAlert(const std::string& text) {
    m_infoPanel->ShowAlert(text);
}

void CMainPanelDlg::SetOnAir(bool onAir) {
    m_unitStrip->SetOnAir(onAir);
}

void CMainPanelDlg::SetUnitLost(int unit) {
    m_unitStrip->SetLostUnit(static_cast<uint8_t>(unit));
    for (CKnobDisplay* knob : m_knobs)
        knob->SetLive(unit == 0);
}

void CMainPanelDlg::SetTitleText(const std::string& text) {
    m_unitTitle->SetText(text);
    m_unitTitle->repaint();
}

void CMainPanelDlg::paintEvent(QPaintEvent*) {
    // Without the background bitmap the panel stays unpainted; nothing is reported.
    if (m_background.isNull()) return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
}
