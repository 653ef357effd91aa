#pragma once

// The command set of the remote control line: one line of a client in, its reply out, and the
// operator's action it stands for. A key press or a knob turn goes to the control surface and
// acts when the panel next reads it; a touch runs the button's or the knob display's own
// handler; state and stats read the panel. Nothing here powers off, ends the program or
// touches files. The connections, their pace and their order live in CRemoteServer.

#include <QByteArray>
#include <QElapsedTimer>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CMainPanelDlg;

// How the remote's presses and turns reach the control surface, and the scripted steps of the
// simulated rig (empty without --simulate).
struct RemoteSurface {
    std::function<void(int row, uint8_t keys)> pressKey;
    std::function<void(int knob, int steps)> turnKnob;
    // The surface holds a press or a movement the panel has not read yet.
    std::function<bool()> inputPending;
    std::function<std::string(const std::vector<std::string>& words)> simStep;
    // A fatal error powers the PC off (--kiosk): what would provoke one is refused.
    bool kiosk = false;
};

// The surface of real hardware: presses and turns join the next panel status read.
RemoteSurface LinkRemoteSurface();

inline constexpr const char* kRemoteBusyReply = "ERR busy: dialog open";

// A decimal number, or hexadecimal after 0x, within low..high.
bool RemoteNumber(const std::string& word, int low, int high, int* out);

enum class RemoteTouch { Menu, Function, DoubleClick };

// One client as the command set sees it.
struct RemoteSession {
    // A key press or a knob turn on its way to the panel.
    struct Press {
        bool knob = false;
        int index = 0;        // key row or knob
        int amount = 0;       // key bits or steps
        bool placed = false;  // on the surface, for the panel's next read
        QElapsedTimer since;
    };
    struct Touch {
        RemoteTouch touch;
        int index;
    };
    bool authorised = false;
    bool watching = false;
    bool closing = false;   // a wrong token: the connection ends once the reply is out
    std::string lastState;  // the state last pushed to a watcher
    std::optional<Press> press;
    std::optional<Touch> touch;  // asked for; the server runs it in its turn
};

class CRemoteCommands {
public:
    // token empty: no token is asked for.
    CRemoteCommands(RemoteSurface surface, std::string token);

    bool NeedsToken() const { return !m_token.empty(); }

    // The reply to one line (UTF-8, without its line end). Empty when the reply comes later:
    // for a press (see PressDone) or a touch (session.touch says which).
    std::string Execute(RemoteSession& session, const QByteArray& line);
    // Lines that only read the panel (state, stats, watch, unwatch, help): they touch no link
    // and change nothing.
    static bool OnlyReads(const QByteArray& line);

    // The press a session waits on: put on the surface once nothing else waits there,
    // answered once the panel has read it. Empty while it still waits, else the reply.
    std::string PressDone(RemoteSession& session);
    // Runs a touch's handler, which may open a dialog and run its loop. False when it was
    // refused (a dialog open, no panel).
    static bool RunTouch(const RemoteSession::Touch& touch);

    // What `state` answers after "OK ": one line of JSON.
    static std::string StateJson(const CMainPanelDlg& panel);
    // A modal dialog or message box of the panel's is open.
    static bool DialogOpen();

private:
    std::string Run(RemoteSession& session, const std::vector<std::string>& words);
    std::string Press(RemoteSession& session, const std::vector<std::string>& words);
    std::string QueueTouch(RemoteSession& session, RemoteTouch touch, int index);

    RemoteSurface m_surface;
    std::string m_token;
};
