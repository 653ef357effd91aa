#pragma once

#include <QApplication>
#include <string>

// The application object: it runs the one main panel and ends the program when it closes.
class CPanelApp : public QApplication {
    Q_OBJECT
public:
    CPanelApp(int& argc, char** argv);

    // Runs the main panel modally; returns the program's exit status.
    int Run(const std::string& configPath, bool kiosk = false);
    // Ends the program with status: closes the main panel if it is open.
    void EndProgram(int status);
    // SIGTERM or SIGINT (name): the program ends cleanly with status 0, as on Escape.
    void EndOnSignal(const char* name);

private:
    // One journal line per slot of the link, as the program ends.
    static void ReportLinkCounters();

    int m_exitStatus = 0;
};
