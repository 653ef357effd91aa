#include "app/PanelApp.h"

#include <QFont>

#include "app/MainPanelDlg.h"
#include "dialogs/DialogStyle.h"
#include "widgets/Resources.h"

CPanelApp::CPanelApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("kv4panel"));
    setApplicationVersion(QStringLiteral(KV4_VERSION));
    UsePanelFaces();
    setStyleSheet(DialogStyleSheet());
}

int CPanelApp::Run(const std::string& configPath) {
    m_exitStatus = 0;
    CMainPanelDlg panel(configPath);
    panel.exec();
    return m_exitStatus;
}

void CPanelApp::EndProgram(int status) {
    m_exitStatus = status;
    if (g_mainPanel) g_mainPanel->reject();
}
