#pragma once

// The remote control line: automation (a button box through Companion, a show-control system,
// nc) operates and watches the panel over TCP, one command per line, one reply line per
// command. A command does what an operator does, through the same paths: a key press or a knob
// turn goes to the control surface and acts when the panel next reads it; a touch runs the
// button's or the knob display's own handler. Nothing here powers off, ends the program or
// touches files.
//
// The server's work runs on its own timer and posted messages, which count as the panel's:
// while the link waits they are held back like the operator's touches, so a remote command
// never lands between an exchange and its wait. Commands that only read the panel (state,
// stats, watch and its pushes) touch no link and are answered at once, also during a wait.

#include <QBasicTimer>
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QHostAddress;
class QTcpServer;
class QTcpSocket;
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

inline constexpr int kRemoteMaxClients = 4;
inline constexpr int kRemoteMaxLine = 1024;  // bytes of a line, its LF or CR LF not counted
inline constexpr const char* kRemoteBusyReply = "ERR busy: dialog open";
// A client's lines are worked off at this pace once its burst is spent; the rest wait in its
// socket.
inline constexpr int kRemoteLinesPerSecond = 50;
inline constexpr int kRemoteLineBurst = 16;

class CRemoteServer final : public QObject {
public:
    // token empty: no token is asked for.
    CRemoteServer(RemoteSurface surface, std::string token);
    ~CRemoteServer() override;

    // Listens on host:port (port 0: one the system chooses). False and the reason on failure.
    bool Listen(const QHostAddress& host, uint16_t port, std::string* error);
    uint16_t Port() const;
    // Clients connected now (one that hung up is not counted while its last lines are worked off).
    int ClientCount() const;

    // The token file: its first line, without the line end. False and the reason when it
    // cannot be read or holds no token.
    static bool ReadToken(const std::string& path, std::string* token, std::string* error);
    // "HOST:PORT" or "PORT"; the host defaults to 127.0.0.1, "localhost" is 127.0.0.1.
    static bool ParseAddress(const std::string& text, QHostAddress* host, uint16_t* port,
                             std::string* error);

    // What `state` answers after "OK ": one line of JSON.
    static std::string StateJson(const CMainPanelDlg& panel);

protected:
    void timerEvent(QTimerEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Client;
    enum class Touch { Menu, Function, DoubleClick };
    struct PendingTouch {
        int client;
        Touch touch;
        int index;
    };
    // The touch whose handler runs; a dialog it opens answers it before the handler returns.
    struct RunningTouch {
        int client;
        bool answered;
    };

    void Accept();
    void Read(Client& client, bool all = false);
    // Answers the client's lines that only read the panel as they come, also while the link
    // waits, unless an earlier line of its own is still waiting: its replies keep its order.
    void AnswerReads(Client& client);
    // A line's share of the client's pace; false when it must wait.
    bool TakeCredit(Client& client);
    void Hangup(int id);
    void Drop(int id);
    Client* Find(int id);
    void Work();
    void Watch();
    void Execute(Client& client, const QByteArray& line);
    std::string Run(Client& client, const std::vector<std::string>& words);
    std::string Press(Client& client, const std::vector<std::string>& words);
    // The press a client waits on: put on the surface once nothing else waits there, answered
    // once the panel has read it. False while it still waits.
    bool PressDone(Client& client);
    std::string QueueTouch(Client& client, Touch touch, int index);
    void RunTouch();
    void Reply(Client& client, const std::string& line);
    void StartWork();

    RemoteSurface m_surface;
    std::string m_token;
    std::unique_ptr<QTcpServer> m_server;
    std::vector<std::unique_ptr<Client>> m_clients;
    std::deque<PendingTouch> m_touches;
    QBasicTimer m_work;
    QTimer m_watch;         // no parent: its ticks are not held while the link waits
    QElapsedTimer m_since;  // the pace of the clients' lines
    RunningTouch* m_running = nullptr;
    int m_nextId = 1;
};
