#include "app/PanelApp.h"

#include <QFont>

#include "app/panel/MainPanelDlg.h"
#include "dialogs/DialogKit.h"
#include "dialogs/DialogStyle.h"
#include "link/LinkStats.h"
#include "platform/Clock.h"
#include "platform/Report.h"
#include "widgets/Resources.h"

CPanelApp::CPanelApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("kv4panel"));
    setApplicationVersion(QStringLiteral(KV4_VERSION));
    UsePanelFaces();
    ApplyPanelStyle(*this);
}

int CPanelApp::Run(const std::string& configPath, bool kiosk) {
    m_exitStatus = 0;
    // A kiosk shows no title bars: the dialogs draw their captions themselves.
    SetDialogCaptions(kiosk);
    CMainPanelDlg panel(configPath);
    panel.SetKiosk(kiosk);
    panel.exec();
    ReportLinkCounters();
    return m_exitStatus;
}

void CPanelApp::ReportLinkCounters() {
    const uint32_t now = TheClock().TickMs();
    for (int slot = 0; slot < kLinkSlots; ++slot)
        ReportLine(LinkStatsLine(slot, now));
}

void CPanelApp::EndProgram(int status) {
    m_exitStatus = status;
    if (!g_mainPanel) return;
    if (status == 0)
        g_mainPanel->reject();
    else
        g_mainPanel->EndAfterFatalError();
}

void CPanelApp::EndOnSignal(const char* name) {
    ReportLine(std::string(name) + " received: ending with status 0, as Escape would");
    m_exitStatus = 0;
    if (g_mainPanel) g_mainPanel->RequestStop();
}
