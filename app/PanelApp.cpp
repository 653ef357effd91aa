#include "app/PanelApp.h"

#include <QFont>

#include "app/MainPanelDlg.h"

CPanelApp::CPanelApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("kv4panel"));
    setApplicationVersion(QStringLiteral(KV4_VERSION));
    // The panel's face is drawn in Trebuchet MS; DejaVu Sans ships everywhere and keeps the
    // metrics the same on every machine.
    QFont::insertSubstitution(QStringLiteral("Trebuchet MS"), QStringLiteral("DejaVu Sans"));
}

int CPanelApp::Run() {
    m_exitStatus = 0;
    CMainPanelDlg panel;
    panel.exec();
    return m_exitStatus;
}

void CPanelApp::EndProgram(int status) {
    m_exitStatus = status;
    if (g_mainPanel) g_mainPanel->reject();
}
