// What the panel shows of the current menu: the title, the ten menu-button captions, the six
// function buttons and the controls bound to the eight knob displays.

#include <cstdio>

#include "app/panel/MainPanelDlg.h"
#include "link/MenuDatabase.h"
#include "link/UnitOperations.h"
#include "widgets/BitmapTextButton.h"
#include "widgets/ColorLabel.h"
#include "widgets/InfoPanel.h"
#include "widgets/KnobDisplay.h"

namespace {

constexpr int kEffectConfigureButton = 5;
constexpr int kEmptySwitch = 127;
constexpr uint32_t kAttrMomentary = 0x0001;
// Effect Menu function slots 2..5: Velocity Break, Insert and Delete Keyframe, Run.
constexpr std::array<int, 4> kEffectFixedSlots = {kSwitchVelocityBreak, kSwitchInsertKeyframe,
                                                  kSwitchDeleteKeyframe, kSwitchRun};

std::string Format(const char* format, int number) {
    char text[32];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

// A control id the tables can hold; anything else shows nothing (control 128 is never named).
int ControlOrNone(int id) {
    return id >= 0 && id < kControlCount ? id : kNoControl;
}

}  // namespace

int CMainPanelDlg::ShownMenu() const {
    const int m = m_currentMenu[UnitNumber(g_selectedUnit)];
    // No menus loaded (-1), or a number no menu has: nothing to show.
    return m >= 0 && m <= kLastCustomMenu ? m : -1;
}

void CMainPanelDlg::UpdateMenuCaptions() {
    const int m = ShownMenu();
    if (m < 0) return;
    // Every change of menu comes through here; the Effect Menu's keyframe line must go when
    // another menu is shown, and come when it is.
    m_infoPanel->MenuChanged();
    auto caption = [this](int b, const std::string& text) {
        m_menuButtons[b]->SetText(text);
        m_menuButtons[b]->show();
        m_menuButtons[b]->update();
    };
    auto title = [this](const std::string& text) {
        m_titleLabel->SetText(text);
        m_titleLabel->show();
    };
    const int customCount = IsModelGroupA() ? 3 : 4;
    if (m == kEffectMenu) {
        title("Effect Menu");
        caption(0, "Return");
        for (int b = 1; b <= 4; ++b)
            caption(b, "");
        caption(kEffectConfigureButton, "Configure");
    } else if (m == kCustomMenu) {
        title("Custom Menu");
        for (int c = 1; c <= customCount; ++c)
            caption(2 + c, Format("Custom %d", c));
        caption(0, "Return");
        caption(1, g_unitIdentity.ModelCode == kModelElm ? "By Pass" : "       ");
        caption(2, "       ");
    } else if (m > kCustomMenu) {
        const int shown = m - kCustomMenu;
        title(Format("Custom Menu %d", shown));
        for (int c = 1; c <= customCount; ++c)
            caption(2 + c, c == shown ? "         " : Format("Custom %d", c));
        caption(0, "Return");
        caption(1, "Configure");
        caption(2, "       ");
    } else {
        const MenuRecord& menu = g_menuDatabase.menus[m];
        title(menu.name);
        for (int b = 0; b < kMenuButtons; ++b) {
            const int item = menu.items[b];
            // Items from 65 up name no menu of the unit: they read blank like an empty slot.
            caption(b,
                    item >= 1 && item <= kEffectMenu ? g_menuDatabase.menus[item].title : "     ");
        }
        caption(0, IsSpecialMenu(m) ? "      " : "Return");
        if (IsModelGroupA()) {
            caption(6, "Effects");
            caption(7, "Files");
            caption(8, "Custom");
            caption(9, "User Files");
        }
    }
}

void CMainPanelDlg::UpdateFunctionCaptions() {
    const int m = ShownMenu();
    if (m < 0) return;
    const int u = UnitNumber(g_selectedUnit);
    for (int f = 0; f < kFunctionButtons; ++f) {
        int s;
        if (m == kEffectMenu)
            s = f < 2 ? g_effectButtonAssign[f] : kEffectFixedSlots[f - 2];
        else if (m >= kCustomMenu)
            s = g_customButtons[u][m - kCustomMenu][f];
        else
            s = g_menuDatabase.menus[m].items[m_functionOffset + f] - kFirstSwitchId;
        SetFunctionCaption(f, s);
    }
}

void CMainPanelDlg::SetFunctionCaption(int f, int s) {
    if (g_unitIdentity.ModelCode == kModelElm && s == 126) s = kEmptySwitch;
    // Slot 127 is the empty one; an index beyond the table is taken for it too.
    if (s < 1 || s >= kSwitchCount) s = kEmptySwitch;
    SwitchRecord& entry = g_menuDatabase.switches[s];
    std::string caption = s == kEmptySwitch ? " " : entry.name;
    // A momentary switch is back at 0 as soon as it has been pressed.
    if (entry.attributes & kAttrMomentary) entry.value = 0;
    CurrentStateLabel(s, caption);
    const int image = entry.value != 0 || entry.states >= 3 ? 1 : 0;

    CBitmapTextButton* button = m_functionButtons[f];
    const bool changed = button->m_nImage != image || button->Text() != caption;
    if (button->isVisible() && !changed) return;
    button->m_nImage = image;
    button->SetText(caption);
    button->show();
    button->update();
}

void CMainPanelDlg::BindKnobs() {
    const int m = ShownMenu();
    if (m < 0) return;
    const int u = UnitNumber(g_selectedUnit);
    auto& controls = g_menuDatabase.controls;
    if (m == kEffectMenu) {
        BindEffectKnobs();
    } else if (m >= kCustomMenu) {
        for (int k = 0; k < kKnobCount; ++k)
            m_knobs[k]->SetControl(&controls[ControlOrNone(g_customKnobs[u][m - kCustomMenu][k])]);
    } else {
        for (int k = 0; k < kKnobCount; ++k)
            m_knobs[k]->SetControl(&controls[ControlOrNone(g_menuDatabase.menus[m].knobs[k])]);
    }
    for (CKnobDisplay* knob : m_knobs)
        knob->repaint();
}

void CMainPanelDlg::BindEffectKnobs() {
    auto& controls = g_menuDatabase.controls;
    for (int k = 0; k < 4; ++k)
        m_knobs[k]->SetControl(&controls[ControlOrNone(g_effectKnobAssign[k])]);
    m_knobs[4]->SetControl(&m_frameTimeRec);
    m_knobs[5]->SetControl(&m_taperInRec);
    m_knobs[6]->SetControl(&m_taperOutRec);
    m_knobs[7]->SetControl(&m_keyFrameRec);

    // Knob 7 mirrors the current keyframe; knob 4 shows its frame time.
    if (g_currentEffect >= kMaxEffects) return;
    const EffectRecord& effect = g_effects[g_currentEffect];
    const uint32_t current = effect.currentKeyframe;
    if (static_cast<int32_t>(current) == m_keyFrameRec.value) return;
    m_keyFrameRec.value = static_cast<int16_t>(current);
    m_infoPanel->update();
    if (current >= 1 && current <= kMaxKeyframes)
        m_frameTimeRec.value = static_cast<int16_t>(effect.keyframes[current - 1].frameTime);
    m_knobs[4]->SetControl(&m_frameTimeRec);
}
