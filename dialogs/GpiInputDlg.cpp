#include "dialogs/GpiInputDlg.h"

#include <QCheckBox>
#include <QLabel>
#include <algorithm>
#include <initializer_list>

#include "dialogs/UpDownCtrl.h"
#include "link/Commands.h"

namespace {

const MenuRecord& GpiMenu() {
    return g_menuDatabase.menus[kGpiMenu];
}

// The unit's control in knob slot k of the GPI menu, -1 when the slot is empty.
int GpiControl(int k) {
    const int id = GpiMenu().knobs[k];
    return id < kNoControl ? id : -1;
}

// The unit's switch in item slot k of the GPI menu, -1 when the slot names none.
int GpiSwitch(int k) {
    const SwitchRecord* record = SlotSwitch(kGpiMenu, k);
    return record ? static_cast<int>(record->id) : -1;
}

// A slot that names nothing has nothing to write, and fails nothing.
bool SetControl(int id, int value) {
    return id < 0 ||
           SetControlValue(static_cast<uint8_t>(id), static_cast<int16_t>(value)) == kLinkOk;
}

bool SetSwitch(int id, int value) {
    return id < 0 ||
           SetSwitchValue(static_cast<uint8_t>(id), static_cast<uint8_t>(value)) == kLinkOk;
}

// Asks the unit for switch id's state into value; 0 when the menu names no switch. False when
// the unit did not report it.
bool ReportedSwitch(int id, int32_t& value) {
    value = 0;
    if (id < 0) return true;
    const bool reported = SetSwitchValue(static_cast<uint8_t>(id), kReportSwitchState) == kLinkOk;
    value = g_menuDatabase.switches[id - kFirstSwitchId].value;
    return reported;
}

// Asks the unit for control id's value (a move by nothing); 0 when the menu names none.
bool ReportedControl(int id, int32_t& value) {
    value = 0;
    if (id < 0) return true;
    const bool reported = AdjustControl(static_cast<uint8_t>(id), 0) == kLinkOk;
    value = g_menuDatabase.controls[id].value;
    return reported;
}

}  // namespace

CGpiInputDlg::CGpiInputDlg(QWidget* panel)
    : CGpiDlg(panel, QSize(kGpiTemplateWidth, kGpiInputTemplateHeight)) {
    m_inputEnable = new QCheckBox(QStringLiteral("GPI Input Enable"), this);
    m_inputEnable->setObjectName(QString::number(kIdGpiInputEnable));
    m_inputEnable->setGeometry(DluRect(7, 212, 90, 16));
    m_highEnable = new QCheckBox(QStringLiteral("GPI High Enable"), this);
    m_highEnable->setObjectName(QString::number(kIdGpiHighEnable));
    m_highEnable->setGeometry(DluRect(104, 212, 90, 16));

    AddLabel(kStaticId, QStringLiteral("Input Dwell Time:"), DluRect(244, 215, 86, 10));
    m_dwellValue = AddLabel(kIdGpiDwellValue, QStringLiteral("0"), DluRect(332, 213, 26, 14), true);
    m_dwellValue->setAlignment(Qt::AlignCenter);
    m_dwell = new CUpDownCtrl(this);
    m_dwell->setObjectName(QString::number(kIdGpiDwellUpDown));
    m_dwell->setGeometry(DluRect(364, 209, 50, 22));
    m_dwell->SetRange(kGpiDwellMin, kGpiDwellMax);
    m_dwell->SetAccel({{0, 1}, {kGpiDwellFastAfterS, kGpiDwellFastStep}});
    m_dwell->aboutToMove = [this](int pos, int delta) { return OnDwellMove(pos, delta); };

    connect(m_inputEnable, &QCheckBox::clicked, this, [this](bool on) {
        if (CurrentTab() >= 0) m_inputs[CurrentTab()].inputEnable = on ? 1 : 0;
    });
    connect(m_highEnable, &QCheckBox::clicked, this, [this](bool on) {
        if (CurrentTab() >= 0) m_inputs[CurrentTab()].highEnable = on ? 1 : 0;
    });
}

int CGpiInputDlg::FirstTab() {
    const int select = GpiControl(kGpiSelectKnob);
    return select >= 0 ? g_menuDatabase.controls[select].value - 1 : 0;
}

void CGpiInputDlg::OnTabAdded(int tab) {
    InputSettings& input = m_inputs[tab];
    // A unit that failed to report one input is not asked about the rest, one failure at a time.
    if (m_saidUnread) return;
    // The unit shows the settings of the input its select control names.
    // Settings the unit did not report would be written back over the unit's own at close.
    input.reported = SetControl(GpiControl(kGpiSelectKnob), tab + 1) &&
                     ReportedSwitch(GpiSwitch(kGpiEnableItem), input.inputEnable) &&
                     ReportedSwitch(GpiSwitch(kGpiHighItem), input.highEnable) &&
                     ReportedControl(GpiControl(kGpiDwellKnob), input.dwellTime);
    if (!input.reported && !m_saidUnread) {
        m_saidUnread = true;
        Ask(kMsgGpiInputsUnread, PromptButtons::Ok, PromptIcon::Warning);
    }
}

void CGpiInputDlg::OnTabShown(int tab) {
    // Without a sequence there is no input whose settings a change would go to.
    // Nor are there settings to change that the unit did not report.
    const bool input = tab >= 0 && m_inputs[tab].reported;
    for (QWidget* w : std::initializer_list<QWidget*>{m_inputEnable, m_highEnable, m_dwell})
        w->setEnabled(input);
    if (tab < 0) return;
    m_inputEnable->setChecked(m_inputs[tab].inputEnable != 0);
    m_highEnable->setChecked(m_inputs[tab].highEnable != 0);
    m_dwell->SetPos(m_inputs[tab].dwellTime);
    ShowDwell(m_inputs[tab].dwellTime);
}

bool CGpiInputDlg::OnDwellMove(int pos, int delta) {
    const int tab = CurrentTab();
    if (tab < 0) return false;
    int value = pos + delta;
    if (value < kGpiDwellMin || value > kGpiDwellMax) {
        // At a limit the press ends, and with it the auto-repeat.
        value = std::clamp(value, kGpiDwellMin, kGpiDwellMax);
        m_dwell->ReleaseCapture();
    }
    m_inputs[tab].dwellTime = value;
    ShowDwell(value);
    return true;
}

void CGpiInputDlg::ShowDwell(int32_t dwell) {
    m_dwellValue->setText(QString::asprintf("%d", dwell));
}

void CGpiInputDlg::OnDestroyed() {
    if (!WriteBack()) Ask(kMsgGpiInputsUnwritten, PromptButtons::Ok, PromptIcon::Warning);
}

bool CGpiInputDlg::WriteBack() const {
    const int select = GpiControl(kGpiSelectKnob);
    bool wrote = false;
    // The writes stop at the first one the unit fails: a unit gone would fail each in turn.
    for (int i = 0; i < TabCount(); ++i) {
        const InputSettings& input = m_inputs[i];
        if (!input.reported) continue;
        wrote = true;
        if (!SetControl(select, i + 1) ||
            !SetSwitch(GpiSwitch(kGpiEnableItem), input.inputEnable) ||
            !SetSwitch(GpiSwitch(kGpiHighItem), input.highEnable) ||
            !SetControl(GpiControl(kGpiDwellKnob), input.dwellTime))
            return false;
    }
    // The unit is left on the input of the tab last shown; with nothing written (no tabs, or
    // none the unit reported) it is left alone.
    return !wrote || SetControl(select, CurrentTab() + 1);
}
