// The action dispatcher: the setup dialogs the menus open, what the panel does after each, the
// deferred file-system update, and the logo touch.

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <algorithm>

#include "app/panel/MainPanelDlg.h"
#include "dialogs/RoutingDlg.h"
#include "link/Commands.h"
#include "link/MenuDatabase.h"
#include "link/UnitOperations.h"
#include "platform/Launcher.h"
#include "platform/Prompter.h"
#include "platform/Report.h"
#include "widgets/InfoPanel.h"
#include "widgets/KnobDisplay.h"

namespace {

constexpr const char* kNoReferenceVideo =
    "No Reference Video!\n\nFile System not accessible.                  \n";
constexpr const char* kFsUpdateText = "Please wait while the File System is being updated!";
constexpr const char* kFsUpdateFailed = "File System Update did not complete!  Please try again.";

constexpr int kNopMessages = 5;
constexpr uint8_t kCmdFileSystemUpdate = 234;
constexpr uint8_t kRespFileSystemUpdated = 27;
constexpr int kFileSystemSpin = 2000000;
constexpr int kGpiTemplateGroupA = 152;
constexpr int kGpiTemplateOthers = 181;
constexpr int kLockoutEnableSwitch = 168;
constexpr int kLockoutTallyItem = 11;

// Items of menus 17 and 46 that the routing dialogs set, in the order they are sent.
constexpr std::array<int, 10> kOutputItems = {14, 15, 18, 17};
constexpr std::array<int, 10> kInputItems = {10, 11, 12, 13, 19, 15, 16, 14, 18, 17};

// Manuals of the models: on a desktop its viewer opens them, in a kiosk the panel's own.
constexpr const char* kManualViewer = "xdg-open";

const char* ManualOf(uint8_t model) {
    switch (model) {
        case 4:
            return "ElmManKV4.pdf";
        case 5:
            return "DuneManKV4.pdf";
        case 7:
            return "BirchManKV4.pdf";
        case 9:
            return "AlderManKV4.pdf";
        case 11:
        case 177:
            return "CedarManKV4.pdf";
        case 80:
        case 81:
            return "FernManKV4.pdf";
        default:
            return "QuickStartKV4.pdf";
    }
}

}  // namespace

// A modal dialog runs with the poll and the panel scan stopped; both start again when it ends,
// however it ends.
class CMainPanelDlg::PollPause {
public:
    explicit PollPause(CMainPanelDlg& panel) : m_panel(panel) {
        m_panel.StopTimer(kTimerUnitPoll);
        m_panel.StopTimer(kTimerPanelScan);
    }
    ~PollPause() {
        ::StartTimer(m_panel, kTimerUnitPoll);
        ::StartTimer(m_panel, kTimerPanelScan);
    }

private:
    CMainPanelDlg& m_panel;
};

DialogResult CMainPanelDlg::OpenDialog(const DialogRequest& request) {
    DialogResult result = TheDialogFactory().Run(request);
    if (!result.opened)
        ShowMessage("The " + DialogName(request.dialog) + " dialog is not available.");
    return result;
}

bool CMainPanelDlg::ReferenceVideo() const {
    return m_infoPanel->RefLampLit();
}

void CMainPanelDlg::FullRefresh() {
    ReadValues2();
    ReadValues();
    UpdateLamps(1);
    UpdateFunctionCaptions();
    BindKnobs();
    RefreshTitle(*this);
}

void CMainPanelDlg::DeferredRefresh() {
    // The repaint comes first; the five empty messages let it through before the long
    // file-system update starts.
    repaint();
    update();
    for (int i = 0; i < kNopMessages; ++i)
        QCoreApplication::postEvent(this, new QEvent(kPanelNop));
    QCoreApplication::postEvent(this, new QEvent(kPanelFsUpdate));
}

bool CMainPanelDlg::event(QEvent* event) {
    if (event->type() == kPanelNop) return true;
    if (event->type() == kPanelStop) {
        Stop();
        return true;
    }
    if (event->type() == kPanelFsUpdate) {
        OnFileSystemUpdate();
        return true;
    }
    return QDialog::event(event);
}

void CMainPanelDlg::RunAction(int action, int param) {
    const PollPause pause(*this);
    const bool groupA = IsModelGroupA();
    const bool fileSystemOpen = groupA || ReferenceVideo();
    DialogRequest request;
    request.param = param;
    switch (action) {
        case 1: {
            if (!fileSystemOpen) {
                ShowBlockingMessage(*this, kNoReferenceVideo);
                break;
            }
            request.dialog = PanelDialog::Files;
            const int selected = UnitNumber(g_selectedUnit);
            for (int k = 1; k <= kUnitCount; ++k)
                request.transfer[k] = k != selected && m_units.UnitIdentityOf(k).ModelCode ==
                                                           g_unitIdentity.ModelCode;
            if (!OpenDialog(request).opened) break;
            if (groupA)
                FullRefresh();
            else
                DeferredRefresh();
            break;
        }
        case 2:
            request.dialog = PanelDialog::CustomMenu;
            if (!OpenDialog(request).opened) break;
            UpdateFunctionCaptions();
            BindKnobs();
            break;
        case 4:
            request.dialog = PanelDialog::Bypass;
            OpenDialog(request);
            break;
        case 5:
            request.dialog = PanelDialog::EffectMenu;
            if (!OpenDialog(request).opened) break;
            ActionAfterEffectMenu();
            // A loaded effect brings its own controls to the knobs and function buttons.
            UpdateFunctionCaptions();
            BindKnobs();
            break;
        case 17: {
            request.dialog = PanelDialog::Output;
            const DialogResult result = OpenDialog(request);
            if (result.opened && result.code == kDialogOk)
                WriteBackItems(17, kOutputItems, 4, result);
            break;
        }
        case 32: {
            if (!groupA && !ReferenceVideo()) {
                ShowBlockingMessage(*this, kNoReferenceVideo);
                break;
            }
            request.dialog = PanelDialog::Gpi;
            request.param = groupA ? kGpiTemplateGroupA : kGpiTemplateOthers;
            if (!OpenDialog(request).opened) break;
            if (groupA) {
                ReadValues2();
                ReadValues();
                UpdateLamps(1);
                RefreshTitle(*this);
            } else {
                DeferredRefresh();
            }
            break;
        }
        case 37: {
            if (!fileSystemOpen) {
                ShowBlockingMessage(*this, kNoReferenceVideo);
                break;
            }
            request.dialog = PanelDialog::OnAirLockout;
            request.param = kLockoutEnableSwitch;
            const DialogResult result = OpenDialog(request);
            if (!result.opened) break;
            RefreshLockBits();
            if (!groupA)
                if (const SwitchRecord* tally = SlotSwitch(37, kLockoutTallyItem))
                    SetSwitchValue(static_cast<uint8_t>(tally->id & 0xFF),
                                   static_cast<uint8_t>(tally->value));
            if (result.locksChanged) DeferredRefresh();
            break;
        }
        case 45:
            request.dialog = PanelDialog::Monitor;
            OpenDialog(request);
            break;
        case 46: {
            request.dialog = PanelDialog::Input;
            const DialogResult result = OpenDialog(request);
            if (result.opened && result.code == kDialogOk)
                WriteBackItems(46, kInputItems, 10, result);
            break;
        }
        default:
            break;
    }
}

void CMainPanelDlg::RunAttributes(ControlRecord* control, SwitchRecord* switchRecord) {
    const PollPause pause(*this);
    DialogRequest request;
    request.dialog = PanelDialog::Attributes;
    request.control = control;
    request.switchRecord = switchRecord;
    OpenDialog(request);
}

void CMainPanelDlg::WriteBackItems(int menu, const std::array<int, 10>& items, int count,
                                   const DialogResult& result) {
    for (int i = 0; i < count; ++i) {
        const int slot = items[i];
        const int item = g_menuDatabase.menus[menu].items[slot];
        if (item == kEmptyItem) continue;
        // Beside an unchanged input delay, the dialog leaves alone every slot that names no
        // switch of the unit (zero items past a group-A menu's twelve, hostile words).
        const int value = result.itemValues[slot];
        if (value >= kItemNotWritten) continue;
        // A unit that failed one write would fail the rest, each as slowly: the writes stop,
        // and the operator learns that the routing chosen is not all on the unit.
        if (SetSwitchValue(static_cast<uint8_t>(item & 0xFF), static_cast<uint8_t>(value)) !=
            kLinkOk) {
            ThePrompter().Show(kMsgRoutingUnwritten, kMessageBoxCaption, PromptButtons::Ok,
                               PromptIcon::Warning);
            return;
        }
    }
}

void CMainPanelDlg::ActionAfterEffectMenu() {
    const EffectRecord* effect =
        g_currentEffect < kMaxEffects ? &g_effects[g_currentEffect] : nullptr;
    if (effect && effect->keyframeCount > 0) {
        m_keyFrameRec.value = static_cast<int16_t>(effect->currentKeyframe);
        m_keyFrameRec.minValue = m_keyFrameRec.minDisplay = 1;
        m_keyFrameRec.maxValue = m_keyFrameRec.maxDisplay =
            static_cast<int16_t>(effect->keyframeCount);
        // Knob 4 shows the frame time of the keyframe knob 7 now names.
        const uint32_t k = effect->currentKeyframe;
        if (k >= 1 && k <= std::min<uint32_t>(effect->keyframeCount, kMaxKeyframes))
            m_frameTimeRec.value = static_cast<int16_t>(effect->keyframes[k - 1].frameTime);
    } else {
        m_keyFrameRec.value = m_keyFrameRec.minValue = m_keyFrameRec.minDisplay = 0;
        m_keyFrameRec.maxValue = m_keyFrameRec.maxDisplay = 0;
    }
    m_knobs[7]->Redraw();
    m_infoPanel->update();
}

void CMainPanelDlg::OnFileSystemUpdate() {
    ShowMessage(kFsUpdateText);
    bool failed = false;
    for (int k = 1; k <= kUnitCount; ++k) {
        if (IsModelGroupA(m_units.UnitIdentityOf(k).ModelCode)) continue;
        ResponseBuffer answer;
        if (SendPingedCommand(AddressOfUnit(k), kCmdFileSystemUpdate, kRespFileSystemUpdated,
                              answer, kFileSystemSpin) != kLinkOk)
            failed = true;
    }
    // The timers keep running while this box is open.
    if (failed)
        ThePrompter().Show(kFsUpdateFailed, kMessageBoxCaption, PromptButtons::Ok,
                           PromptIcon::Warning);
    ShowMessage("");
    ReadValues2();
    ReadValues();
    UpdateLamps(1);
    UpdateFunctionCaptions();
    BindKnobs();
    RefreshTitle(*this);
}

void CMainPanelDlg::OpenManual(const std::string& name) {
    const std::string path = m_manualFolder + name;
    if (!QFileInfo(QString::fromStdString(path)).isFile()) {
        ReportLine("the manual " + path + " is not installed");
        const PollPause pause(*this);
        ThePrompter().Show(ManualMissingText(name, m_manualFolder), kMessageBoxCaption,
                           PromptButtons::Ok, PromptIcon::Information);
        return;
    }
    if (!m_kiosk) {
        TheLauncher().Start(kManualViewer, {path});
        return;
    }
    const PollPause pause(*this);
    DialogRequest request;
    request.dialog = PanelDialog::Manual;
    request.document = path;
    OpenDialog(request);
}

std::string ManualMissingText(const std::string& name, const std::string& folder) {
    return "The manual " + name + " is not installed.\n\nThe keyer maker's manuals belong in " +
           folder;
}

void CMainPanelDlg::OnLogoClick() {
    if (AltLatched()) {
        m_lamps[kLampAltByte] &= ~kLampAlt;
        OpenManual(ManualOf(g_unitIdentity.ModelCode));
        return;
    }
    const PollPause pause(*this);
    DialogRequest request;
    request.dialog = PanelDialog::About;
    // "Update" ends the program so that the updater can replace it.
    if (OpenDialog(request).code == kDialogOk) {
        ReportLine("\"Update\" chosen in the About dialog: ending with status 0 for the updater");
        QMetaObject::invokeMethod(this, "reject", Qt::QueuedConnection);
    }
}
