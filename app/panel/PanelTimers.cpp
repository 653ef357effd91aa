// The window timers that drive the panel: the link start, the idle key scan, the unit poll, the
// panel scan while a unit is connected, and the clearing of unit messages.

#include <QTimerEvent>

#include "app/panel/MainPanelDlg.h"
#include "link/Commands.h"
#include "link/LinkStats.h"
#include "link/UnitOperations.h"
#include "platform/Clock.h"
#include "platform/Report.h"
#include "widgets/InfoPanel.h"
#include "widgets/KnobDisplay.h"

namespace {

constexpr const char* kSelectUnitText = "Select an Online Main Unit!";
constexpr const char* kLostUnitText = "Lost communication with Main Unit!";
constexpr const char* kUpdateOnUnitText = "Double click control to update Main Unit.";
constexpr const char* kCommunicationError = "Communication Error";
constexpr const char* kFanFailure = "Fan Failure";
constexpr int kLinkPauseMs = 100;
constexpr int kReconnectPauseMs = 1000;
constexpr int kMissesToLoseUnit = 3;
constexpr int kUpdateOnUnitMenu = 15;
constexpr uint8_t kAltKey = 0x10;
constexpr uint8_t kUnitKey = 0x01;

}  // namespace

void CMainPanelDlg::StartTimer(int id, int periodMs) {
    if (id < 1 || id >= static_cast<int>(m_timers.size())) return;
    m_timerPeriods[id] = periodMs;
    m_timers[id].start(periodMs, this);
}

void CMainPanelDlg::StopTimer(int id) {
    if (id >= 1 && id < static_cast<int>(m_timers.size())) m_timers[id].stop();
}

bool CMainPanelDlg::TimerRunning(int id) const {
    return id >= 1 && id < static_cast<int>(m_timers.size()) && m_timers[id].isActive();
}

void CMainPanelDlg::timerEvent(QTimerEvent* event) {
    for (int id = 1; id < static_cast<int>(m_timers.size()); ++id)
        if (m_timers[id].timerId() == event->timerId()) return OnTimer(id);
    QDialog::timerEvent(event);
}

void CMainPanelDlg::OnTimer(int id) {
    switch (id) {
        case kTimerIdleScan:
            OnIdleScan();
            break;
        case kTimerUnitPoll:
            OnUnitPoll();
            break;
        case kTimerPanelScan:
            OnPanelScan();
            break;
        case kTimerMessageClear:
            StopTimer(kTimerMessageClear);
            ShowMessage("");
            break;
        default:
            break;
    }
}

void CMainPanelDlg::LinkStart() {
    if (ConfigurePanel(17, 16, 8, 4) != kLinkOk || ReadPanelStatus() != kLinkOk) {
        FatalError(*this, kCommunicationError);
        return;
    }
    ResetLink();
    DelayMs(kLinkPauseMs);
    ClearLamps(*this);
    for (int i = 0; i < kUnitCount; ++i)
        ScanNextUnit(*this, -1);
    ShowMessage(kSelectUnitText);
    ResetLink();
    DelayMs(kLinkPauseMs);
    ::StartTimer(*this, kTimerIdleScan);
    ::StartTimer(*this, kTimerUnitPoll);
}

void CMainPanelDlg::OnIdleScan() {
    // A failed read leaves whatever was on the line there (a late answer of a unit, the rest of
    // a long one); without the link resets that follow a failure every later read would take
    // those bytes for its answer, and no key would ever be seen again.
    const LinkStatus status = ReadPanelStatus();
    if (LeftBytesOnTheLine(status)) {
        ResetLinkTwice();
        return;
    }
    if (KeyRow(g_panelStatus, 0) & kAltKey) m_lamps[kLampAltByte] ^= kLampAlt;
    for (int row = 1; row <= kUnitCount; ++row) {
        if (!(KeyRow(g_panelStatus, row) & kUnitKey)) continue;
        // A unit key of a unit that is not there does nothing.
        if (m_units.IsUnitPresent(row)) SelectUnit(*this, row);
        break;
    }
}

void CMainPanelDlg::OnUnitPoll() {
    const bool changed = ScanNextUnit(*this, UnitNumber(g_selectedUnit));
    // A tally may have handed the selection over inside the scan: the rest of the tick works
    // on the unit selected now.
    const int selected = UnitNumber(g_selectedUnit);
    if (changed) {
        UpdateScreenColor(selected);
        // Units whose on-line state moved load their menus again before they are used.
        for (int n = 0; n < kUnitSlots; ++n)
            if (m_lamps[n] & kLampOnline) (*m_menuBlocks)[n].bytes[0] = kMenuBlockInvalid;
    }
    if (g_selectedUnit == 0) return;
    PollSelectedUnit(*this);
    if (g_unitIdentity.ModelCode == kModelNone) {
        if (m_currentMenu[selected] == -1) return;
        if (++m_missCount >= kMissesToLoseUnit) LoseSelectedUnit(selected);
        return;
    }
    if (m_currentMenu[selected] == -1) {
        // The unit answers again, or its menus are not loaded yet.
        DelayMs(kReconnectPauseMs);
        ConnectUnit(*this, true);
        return;
    }
    if (g_unitIdentity.UnitFlags & kFlagValuesChanged) {
        ReadValues();
        UpdateScreenColor(selected);
        RefreshTitle(*this);
        UpdateLamps(1);
        UpdateFunctionCaptions();
        BindKnobs();
    }
    m_infoPanel->SetStatusFlags(g_unitIdentity.UnitFlags);
    m_missCount = 0;
}

void CMainPanelDlg::LoseSelectedUnit(int unit) {
    m_currentMenu[unit] = -1;
    (*m_menuBlocks)[unit].bytes[0] = kMenuBlockInvalid;
    StopTimer(kTimerPanelScan);
    ShowAlert(kLostUnitText);
    // What the link saw of the unit up to here, for the engineer reading the journal.
    ReportLine("Main Unit " + std::to_string(unit) + " lost; " +
               LinkStatsLine(unit, TheClock().TickMs()));
    SetUnitLost(unit);
    ClearCustomMenus(unit);
    ResetLinkTwice();
    ::StartTimer(*this, kTimerIdleScan);
}

void CMainPanelDlg::OnPanelScan() {
    if (ReadPanelStatus() == kLinkOk && !FanRunning(g_panelStatus)) {
        FatalError(*this, kFanFailure);
        return;
    }
    // A knob moved in the same tick as a key waits for the next one.
    if (HandlePanelKeys()) return;
    bool changed = false;
    bool moved = false;
    for (int k = 0; k < kKnobCount; ++k) {
        const int16_t movement = KnobMovement(g_panelStatus, k);
        if (movement == 0) continue;
        moved = true;
        changed = m_knobs[k]->Adjust(movement);
    }
    if (!moved || !changed) return;
    UpdateLamps(1);
    BindKnobs();
    UpdateFunctionCaptions();
    // The info line and the backing swatch follow the values the answers brought.
    UpdateScreenColor(UnitNumber(g_selectedUnit));
    if (IsModelGroupA() && m_currentMenu[UnitNumber(g_selectedUnit)] == kUpdateOnUnitMenu &&
        g_unitIdentity.ModelCode != kModelElm)
        ShowMessage(kUpdateOnUnitText);
}
