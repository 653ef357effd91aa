#include "app/panel/DialogFactory.h"

namespace {

class NoDialogs final : public DialogFactory {
public:
    DialogResult Run(const DialogRequest&) override { return {}; }
};

NoDialogs g_noDialogs;
DialogFactory* g_factory = &g_noDialogs;

}  // namespace

std::string DialogName(PanelDialog dialog) {
    switch (dialog) {
        case PanelDialog::Files:
            return "Files";
        case PanelDialog::CustomMenu:
            return "Custom Menu";
        case PanelDialog::Attributes:
            return "Attributes";
        case PanelDialog::Bypass:
            return "Remote Bypass";
        case PanelDialog::EffectMenu:
            return "Effect Menu";
        case PanelDialog::Output:
            return "Output";
        case PanelDialog::Gpi:
            return "GPI";
        case PanelDialog::OnAirLockout:
            return "On Air Lock Out";
        case PanelDialog::Monitor:
            return "Monitor";
        case PanelDialog::Input:
            return "Input";
        case PanelDialog::About:
            return "About";
        case PanelDialog::Manual:
            return "Manual";
    }
    return "";
}

void SetDialogFactory(DialogFactory* factory) {
    g_factory = factory ? factory : &g_noDialogs;
}

DialogFactory& TheDialogFactory() {
    return *g_factory;
}
