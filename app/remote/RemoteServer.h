#pragma once

// The remote control line: automation (a button box through Companion, a show-control system,
// nc) operates and watches the panel over TCP, one command per line, one reply line per
// command. This is the connection side: clients and their limits, lines cut from their bytes,
// their pace, the order of their replies and the pushes to watchers. What a line does is
// CRemoteCommands'.
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

#include "app/remote/RemoteCommands.h"

class QHostAddress;
class QTcpServer;
class QTcpSocket;
class CMainPanelDlg;

inline constexpr int kRemoteMaxClients = 4;
inline constexpr int kRemoteMaxLine = 1024;  // bytes of a line, its LF or CR LF not counted
// A client's lines are worked off at this pace once its burst is spent; the rest wait in its
// socket.
inline constexpr int kRemoteLinesPerSecond = 50;
inline constexpr int kRemoteLineBurst = 16;

// A client's bytes cut into lines: LF or CR LF ends one, empty lines are skipped, and a line
// longer than kRemoteMaxLine is kept as over-long without its text (the rest of it up to its
// end is dropped).
class CRemoteLines {
public:
    struct Line {
        QByteArray text;
        bool overLong = false;
    };
    void Take(const char* bytes, qint64 count);
    std::deque<Line> lines;

private:
    QByteArray m_partial;
    bool m_discarding = false;  // the rest of an over-long line
};

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

protected:
    void timerEvent(QTimerEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Client;
    struct PendingTouch {
        int client;
        RemoteSession::Touch touch;
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
    // The press a client waits on; false while it still waits.
    bool PressDone(Client& client);
    void RunTouch();
    void Reply(Client& client, const std::string& line);
    void StartWork();

    CRemoteCommands m_commands;
    std::unique_ptr<QTcpServer> m_server;
    std::vector<std::unique_ptr<Client>> m_clients;
    std::deque<PendingTouch> m_touches;
    QBasicTimer m_work;
    QTimer m_watch;         // no parent: its ticks are not held while the link waits
    QElapsedTimer m_since;  // the pace of the clients' lines
    RunningTouch* m_running = nullptr;
    int m_nextId = 1;
};
