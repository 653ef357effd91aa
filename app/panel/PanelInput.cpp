// The operator's touches: menu buttons, function buttons, knob double clicks, the Effect Menu's
// keyframe functions and the logos.

#include <QEvent>
#include <QLabel>
#include <cstdio>

#include "app/panel/MainPanelDlg.h"
#include "link/Commands.h"
#include "link/MenuDatabase.h"
#include "link/UnitOperations.h"
#include "widgets/BitmapTextButton.h"
#include "widgets/InfoPanel.h"
#include "widgets/KnobDisplay.h"

namespace {

constexpr int kReturnButton = 0;
constexpr int kConfigureEffectButton = 5;
constexpr int kEffectsButton = 6;
constexpr int kFilesButton = 7;
constexpr int kCustomButton = 8;
constexpr int kUserFilesButton = 9;
constexpr int kUpdateOnUnitMenu = 15;
constexpr int kGpiMenuGroupA = 33;
constexpr int kGpiMenu = 31;
constexpr int kGpiMenuAction = 32;
constexpr int kLockoutMenu = 37;
constexpr uint8_t kCmdGpiStatus = 159;
constexpr uint8_t kRespGpiStatus = 13;
constexpr int kGpiSequenceAt = 18;  // answer bytes: data 11 and 12
constexpr int kGpiEventAt = 19;
constexpr uint32_t kAttrMomentary = 0x0001;
constexpr int kPulseSwitch = 31;
constexpr int kMenuModeSwitch = 33;
constexpr int kAltAttributesPauseMs = 500;
constexpr int kPressPauseMs = 1000;
constexpr int kInsertKeyframeButton = 3;
constexpr int kDeleteKeyframeButton = 4;
constexpr int kRunEffectButton = 5;
constexpr uint8_t kCmdKeyframe = 178;
constexpr uint8_t kRespKeyframe = 94;
constexpr uint8_t kRespKeyframeTime = 51;
constexpr uint8_t kKeyframeInsert = 1;
constexpr uint8_t kKeyframeRead = 2;
constexpr uint8_t kKeyframeGoTo = 4;
constexpr uint8_t kKeyframeRemove = 0;

void ClearAltLatch(CPanelHost& panel) {
    panel.m_lamps[kLampAltByte] &= ~kLampAlt;
    SetPanelLamps(panel.m_lamps.data());
}

}  // namespace

void CMainPanelDlg::ConnectInput() {
    for (int b = 0; b < kMenuButtons; ++b)
        connect(m_menuButtons[b], &QAbstractButton::clicked, this, [this, b] { OnMenuButton(b); });
    for (int f = 0; f < kFunctionButtons; ++f)
        connect(m_functionButtons[f], &QAbstractButton::clicked, this,
                [this, f] { OnFunctionButton(f); });
    for (int k = 0; k < kKnobCount; ++k)
        connect(m_knobs[k], &CKnobDisplay::doubleClicked, this,
                [this, k] { OnKnobDoubleClick(k); });
    for (QLabel* logo : m_modelLogos) {
        logo->setAttribute(Qt::WA_TransparentForMouseEvents, false);
        logo->installEventFilter(this);
    }
}

bool CMainPanelDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease)
        for (QLabel* logo : m_modelLogos)
            if (watched == logo) {
                OnLogoClick();
                return true;
            }
    return QDialog::eventFilter(watched, event);
}

void CMainPanelDlg::OnMenuButton(int b) {
    if (g_unitIdentity.ModelCode == kModelNone) return;
    const int u = UnitNumber(g_selectedUnit);
    if (u < 1 || u > kUnitCount) return;
    const int m = m_currentMenu[u];
    if (m < 0) return;  // no menus loaded: there is nothing to navigate
    int32_t& current = m_currentMenu[u];

    if (b == kReturnButton) {
        // Return goes back to the menu left last, so it alternates between the last two.
        if (!IsSpecialMenu(m) && m_previousMenu[u] >= 0) current = m_previousMenu[u];
        ShowMessage("");
    } else if (b == kConfigureEffectButton && m == kEffectMenu) {
        RunAction(5, 0);
    } else if (b == kEffectsButton && IsModelGroupA()) {
        current = kEffectMenu;
    } else if (b == kFilesButton) {
        RunAction(1, 0);
    } else if (b == kCustomButton) {
        current = kCustomMenu;
    } else if (b == kUserFilesButton) {
        if (AltLatched()) {
            RunAction(4, 0);
            ClearAltLatch(*this);
        } else {
            RunAction(1, 1);
        }
    } else if (m >= kCustomMenu && m <= kLastCustomMenu) {
        if (b >= 3)
            current = kLastCustomMenu - 6 + b;
        else if (b == 1)
            RunAction(2, m - kCustomMenu);
    } else if (m >= kEffectMenu) {
        // The Effect Menu's other buttons are blank: it has no items of the unit's to follow.
    } else {
        const int item = g_menuDatabase.menus[m].items[b];
        // An empty slot keeps the menu; so does an item beyond the Effect Menu, which names no
        // menu the panel has.
        if (item != kEmptyItem && item <= kEffectMenu) current = item;
        const int n = current;
        if (g_menuDatabase.menus[n].attributes & kMenuAttrDialog) {
            RunAction(n, 0);
            current = m;
            UpdateFunctionCaptions();
            BindKnobs();
        } else if (n == kGpiMenuAction) {
            RunAction(n, 0);
            current = m;
        } else if (n == kLockoutMenu) {
            RunAction(n, 0);
            current = m;
            UpdateFunctionCaptions();
        }
    }

    if (current == m) {
        m_infoPanel->repaint();
        return;
    }
    m_menuButtons[b]->m_nImage = 1;
    m_menuButtons[b]->repaint();
    ReadValues();
    UpdateMenuCaptions();
    UpdateFunctionCaptions();
    BindKnobs();
    m_previousMenu[u] = m;
    if ((IsModelGroupA() && current == kGpiMenuGroupA) || current == kGpiMenu) {
        ResponseBuffer answer;
        if (SendSimpleCommand(kCmdGpiStatus, kRespGpiStatus, answer, kSpinNormal) == kLinkOk) {
            char text[64];
            std::snprintf(text, sizeof text, "GPI Sequence: %d        GPI Event: %d",
                          answer[kGpiSequenceAt], answer[kGpiEventAt]);
            ShowMessage(text);
        }
    } else {
        ShowMessage("");
    }
}

int CMainPanelDlg::FunctionSwitchIndex(int m, int f) const {
    const int u = UnitNumber(g_selectedUnit);
    int s;
    if (m >= kCustomMenu && m <= kLastCustomMenu)
        s = g_customButtons[u][m - kCustomMenu][f];
    else if (m >= 0 && m < kMenuCount)
        s = g_menuDatabase.menus[m].items[m_functionOffset + f] - kFirstSwitchId;
    else
        return -1;
    // The empty slot, an item that is no switch, and an index beyond the table press nothing.
    return s >= 1 && s != kNoSwitch && s < kSwitchCount ? s : -1;
}

void CMainPanelDlg::StepSwitch(int s) {
    SwitchRecord& entry = g_menuDatabase.switches[s];
    int value = entry.value + 1;
    if (value > entry.maxValue) value = entry.minValue;
    entry.value = static_cast<uint16_t>(value);
    SetSwitchValue(static_cast<uint8_t>(s + kFirstSwitchId), static_cast<uint8_t>(value));
}

void CMainPanelDlg::OnFunctionButton(int f) {
    if (g_unitIdentity.ModelCode == kModelNone) return;
    const int u = UnitNumber(g_selectedUnit);
    if (u < 1 || u > kUnitCount) return;
    const int m = m_currentMenu[u];

    if (AltLatched()) {
        DelayMs(kAltAttributesPauseMs);
        const int s = FunctionSwitchIndex(m, f);
        if (s >= 0) RunAttributes(nullptr, &g_menuDatabase.switches[s]);
        ClearAltLatch(*this);
        return;
    }
    if (m == kEffectMenu) {
        if (f == kInsertKeyframeButton)
            InsertKeyframe();
        else if (f == kDeleteKeyframeButton)
            DeleteKeyframe();
        else if (f == kRunEffectButton && g_currentEffect < kMaxEffects)
            // The unit knows the effect by its own number, not by its place in the list.
            SelectEffect(static_cast<uint8_t>(g_effects[g_currentEffect].effectId & 0xFF));
        return;
    }
    const int s = FunctionSwitchIndex(m, f);
    if (s < 0) return;
    const bool momentary = g_menuDatabase.switches[s].attributes & kAttrMomentary;
    if (momentary || s == kPulseSwitch) {
        // Green while the press lasts.
        m_functionButtons[f]->m_nImage = 1;
        m_functionButtons[f]->repaint();
    }
    StepSwitch(s);
    if (s == kMenuModeSwitch && IsModelGroupA())
        m_currentMenu[u] = g_menuDatabase.switches[kMenuModeSwitch].value != 0 ? 30
                           : g_altMenus                                        ? 41
                                                                               : 11;
    if (momentary) {
        DelayMs(kPressPauseMs);
    } else if (s == kPulseSwitch) {
        DelayMs(kPressPauseMs);
        StepSwitch(s);
    }
    if (PollSelectedUnit(*this)) return;
    UpdateLamps(1);
    UpdateMenuCaptions();
    UpdateFunctionCaptions();
    BindKnobs();
    // The answer's value updates may have moved the screen colour (a switch linked to it).
    UpdateScreenColor(u);
}

void CMainPanelDlg::OnKnobDoubleClick(int k) {
    if (g_unitIdentity.ModelCode == kModelNone) return;
    const int u = UnitNumber(g_selectedUnit);
    if (u < 1 || u > kUnitCount) return;
    CKnobDisplay* knob = m_knobs[k];
    if (AltLatched()) {
        // The record on the knob is a control's (the panel's local records included).
        if (knob->Control()) RunAttributes(knob->Control(), nullptr);
        ClearAltLatch(*this);
        return;
    }
    UnitIdentity& identity = m_units.UnitIdentityOf(u);
    Identify(g_selectedUnit, identity);
    if (m_currentMenu[u] == kUpdateOnUnitMenu && identity.ModelCode != kModelElm) {
        knob->SendValue();
        ShowMessage("");
        PollSelectedUnit(*this);
        UpdateScreenColor(u);
        return;
    }
    knob->SendReset();
    BindKnobs();
    PollSelectedUnit(*this);
    UpdateScreenColor(u);
}

// ---- Keyframes of the current effect ----------------------------------------------------------

void CMainPanelDlg::ReadKeyframesBack(EffectRecord& effect) {
    const auto id = static_cast<uint8_t>(effect.effectId & 0xFF);
    const uint32_t count = std::min<uint32_t>(effect.keyframeCount, kMaxKeyframes);
    for (uint32_t i = 0; i < count; ++i) {
        ResponseBuffer a{};
        SendCommand3(kCmdKeyframe, kRespKeyframe, id, static_cast<uint8_t>(i), kKeyframeRead, a);
        Keyframe& frame = effect.keyframes[i];
        frame.frameTime = static_cast<uint32_t>(a[10] << 8 | a[11]);
        frame.bytes[0] = a[12];
        frame.bytes[1] = a[13];
        frame.bytes[2] = a[14];
    }
}

void CMainPanelDlg::ShowCurrentKeyframe(const EffectRecord& effect) {
    m_keyFrameRec.value = static_cast<int16_t>(effect.currentKeyframe);
    m_keyFrameRec.minValue = m_keyFrameRec.minDisplay = 1;
    m_keyFrameRec.maxValue = m_keyFrameRec.maxDisplay = static_cast<int16_t>(effect.keyframeCount);
    m_knobs[7]->Redraw();
    m_infoPanel->update();
    if (effect.currentKeyframe >= 1 && effect.currentKeyframe <= kMaxKeyframes)
        m_frameTimeRec.value =
            static_cast<int16_t>(effect.keyframes[effect.currentKeyframe - 1].frameTime);
    m_knobs[4]->SetControl(&m_frameTimeRec);
}

void CMainPanelDlg::InsertKeyframe() {
    if (g_currentEffect >= kMaxEffects) return;
    EffectRecord& effect = g_effects[g_currentEffect];
    // The panel keeps 32 keyframes of an effect; one more would have nowhere to go.
    if (effect.keyframeCount >= kMaxKeyframes) return;
    const uint32_t count = ++effect.keyframeCount;
    effect.currentKeyframe = count;
    const auto time = static_cast<uint16_t>(m_frameTimeRec.value);
    const uint8_t bytes[] = {static_cast<uint8_t>(effect.effectId & 0xFF),
                             static_cast<uint8_t>(count & 0xFF),
                             kKeyframeInsert,
                             static_cast<uint8_t>(time >> 8),
                             static_cast<uint8_t>(time & 0xFF),
                             0,
                             0,
                             0};
    ResponseBuffer a{};
    SendCommandBytes(kCmdKeyframe, kRespKeyframe, sizeof bytes, bytes, a);
    ReadKeyframesBack(effect);
    ShowCurrentKeyframe(effect);
}

void CMainPanelDlg::DeleteKeyframe() {
    if (g_currentEffect >= kMaxEffects) return;
    EffectRecord& effect = g_effects[g_currentEffect];
    const int k = m_keyFrameRec.value;
    if (effect.keyframeCount == 0 || k < 1 || k > static_cast<int>(effect.keyframeCount) ||
        k > kMaxKeyframes)
        return;
    const auto id = static_cast<uint8_t>(effect.effectId & 0xFF);
    const auto time = static_cast<uint16_t>(effect.keyframes[k - 1].frameTime);
    ResponseBuffer a{};
    const uint8_t goTo[] = {id, static_cast<uint8_t>(k - 1), kKeyframeGoTo};
    SendCommandBytes(kCmdKeyframe, kRespKeyframe, sizeof goTo, goTo, a);
    DelayMs(100);
    const uint8_t remove[] = {id, static_cast<uint8_t>(k - 1), kKeyframeRemove,
                              static_cast<uint8_t>(time >> 8), static_cast<uint8_t>(time & 0xFF)};
    SendCommandBytes(kCmdKeyframe, kRespKeyframeTime, sizeof remove, remove, a);
    DelayMs(200);
    const uint8_t back[] = {id, static_cast<uint8_t>(k - 2), kKeyframeGoTo};
    SendCommandBytes(kCmdKeyframe, kRespKeyframe, sizeof back, back, a);
    DelayMs(100);
    --effect.keyframeCount;
    effect.currentKeyframe = std::max(k - 1, 1);
    ReadKeyframesBack(effect);
    ShowCurrentKeyframe(effect);
}
