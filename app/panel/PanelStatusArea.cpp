// The status area of the main panel: model logos, screen colour, the lamp image and the keys of
// the control surface.

#include <QLabel>

#include "app/panel/MainPanelDlg.h"
#include "app/panel/StatusArea.h"
#include "link/Commands.h"
#include "link/UnitOperations.h"
#include "widgets/InfoPanel.h"
#include "widgets/StatusStrip.h"

namespace {

constexpr uint8_t kKeyClearFile = 0x04;
constexpr uint8_t kKeyAlt = 0x10;
constexpr uint8_t kKeyCustomMenu = 0x20;
constexpr uint8_t kKeyUnit = 0x01;
constexpr uint8_t kKeyHold = 0x02;
constexpr std::array<uint32_t, 5> kHeldSwitchOfRow = {0, 0, 129, 130, 132};
// Direct-menu keys of rows 3 and 4, bits 0x04, 0x08 and 0x10.
constexpr std::array<std::array<int, 3>, 2> kMenuKeys = {{{0, 7, 11}, {26, 18, 15}}};

}  // namespace

void CMainPanelDlg::ShowModelLogo() {
    const int logo = ModelLogoId(g_unitIdentity.ModelCode);
    // The default logo goes for good; a model without a logo leaves the others as they are.
    ModelLogo(kDefaultLogo)->hide();
    if (logo == 0) return;
    for (int id : kModelLogoIds)
        if (id != kDefaultLogo) ModelLogo(id)->setVisible(id == logo);
}

void CMainPanelDlg::UpdateScreenColor(int unit) {
    std::array<int, 4> percent{};
    for (size_t i = 0; i < percent.size(); ++i)
        percent[i] = ScreenColorPercent(g_menuDatabase.controls[kScreenColorControls[i]]);
    m_infoPanel->SetScreenColor(percent[0], percent[1], percent[2], percent[3]);
    m_unitStrip->SetScreenColor(percent[0], percent[1], percent[2]);
    m_unitStrip->SetActiveUnit(static_cast<uint8_t>(unit));
}

void CMainPanelDlg::UpdateLamps(int keep) {
    const int u = UnitNumber(g_selectedUnit);
    m_heldFunction = RecomputeLamps(m_lamps, {u, m_savedMenu[u], keep});
    SetPanelLamps(m_lamps.data());
}

bool CMainPanelDlg::HandlePanelKeys() {
    m_keyHandled = false;
    for (int row = 0; row < kKeyRowCount; ++row) {
        const uint8_t keys = KeyRow(g_panelStatus, row);
        if (keys == 0) continue;
        // Only the first row with a key acts in one tick; every pressed key's lamp toggles.
        m_lamps[row] ^= keys;
        m_keyHandled = true;
        ActOnKey(row, keys);
        break;
    }
    if (m_keyHandled) SetPanelLamps(m_lamps.data());
    return m_keyHandled;
}

void CMainPanelDlg::ActOnKey(int row, uint8_t keys) {
    if (row == 0) {
        if (keys & kKeyClearFile)
            ClearFile(*this);
        else if (keys & kKeyAlt)
            return;  // the toggled lamp is the latch
        else if (keys & kKeyCustomMenu)
            CustomMenuKey(*this, 1);
        return;
    }
    if (keys & kKeyUnit) return SelectUnit(*this, row);
    if ((keys & kKeyHold) && row >= 2) return HoldFunction(*this, kHeldSwitchOfRow[row], row);
    if (row >= 3) {
        const auto& menus = kMenuKeys[row - 3];
        if (keys & 0x04) return SetMenuMode(*this, menus[0]);
        if (keys & 0x08) return SetMenuMode(*this, menus[1]);
        if (keys & 0x10) return SetMenuMode(*this, menus[2]);
    }
    if (keys & kKeyCustomMenu) CustomMenuKey(*this, row + 1);
}
