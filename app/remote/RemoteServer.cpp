#include "app/remote/RemoteServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimerEvent>
#include <algorithm>
#include <utility>

#include "app/panel/LinkWaitGuard.h"
#include "app/panel/MainPanelDlg.h"

namespace {

const auto kTouchEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
constexpr int kWorkMs = 5;              // one line of each client per tick at most
constexpr int kWatchMs = 100;           // how often a watched state is compared
constexpr int kQueuedLines = 16;        // lines read ahead of their turn; then the socket waits
constexpr int kReadBuffer = 4096;       // what the socket takes from a client ahead of the lines
constexpr qint64 kUnsentLimit = 65536;  // replies a client has not taken: it gets no more
constexpr int kTokenWaitMs = 10000;     // how long a connection may stay without its token

}  // namespace

struct CRemoteServer::Client {
    int id = 0;
    QTcpSocket* socket = nullptr;
    CRemoteLines input;
    RemoteSession session;
    bool waitingTouch = false;
    bool gone = false;  // hung up: what it sent before is still worked off, unanswered
    double credit = kRemoteLineBurst;  // lines it may send before the pace holds it back
    qint64 paidAt = 0;
};

CRemoteServer::CRemoteServer(RemoteSurface surface, std::string token)
    : m_commands(std::move(surface), std::move(token)) {
    m_since.start();
    // Its ticks and posted touches wait, like the panel's own, while the link waits.
    setProperty(kPanelSideProperty, true);
    // The watchers' pushes do not: the watch timer belongs to no one on the panel's side.
    connect(&m_watch, &QTimer::timeout, this, [this] { Watch(); });
}

CRemoteServer::~CRemoteServer() {
    m_clients.clear();
    m_server.reset();
}

bool CRemoteServer::Listen(const QHostAddress& host, uint16_t port, std::string* error) {
    m_server = std::make_unique<QTcpServer>();
    m_server->setMaxPendingConnections(kRemoteMaxClients + 1);
    if (!m_server->listen(host, port)) {
        *error = "remote control cannot listen on " + host.toString().toStdString() + ":" +
                 std::to_string(port) + ": " + m_server->errorString().toStdString();
        return false;
    }
    connect(m_server.get(), &QTcpServer::newConnection, this, [this] { Accept(); });
    return true;
}

uint16_t CRemoteServer::Port() const {
    return m_server ? m_server->serverPort() : 0;
}

bool CRemoteServer::ReadToken(const std::string& path, std::string* token, std::string* error) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        *error =
            "cannot read the remote token file " + path + ": " + file.errorString().toStdString();
        return false;
    }
    *token = file.readLine(kRemoteMaxLine + 2).trimmed().toStdString();
    if (token->empty()) {
        *error = "the remote token file " + path + " holds no token on its first line";
        return false;
    }
    return true;
}

bool CRemoteServer::ParseAddress(const std::string& text, QHostAddress* host, uint16_t* port,
                                 std::string* error) {
    const size_t colon = text.rfind(':');
    std::string hostText = colon == std::string::npos ? "127.0.0.1" : text.substr(0, colon);
    const std::string portText = colon == std::string::npos ? text : text.substr(colon + 1);
    if (hostText.size() > 2 && hostText.front() == '[' && hostText.back() == ']')
        hostText = hostText.substr(1, hostText.size() - 2);
    if (hostText == "localhost") hostText = "127.0.0.1";
    int value = 0;
    if (!RemoteNumber(portText, 1, 65535, &value)) {
        *error = "--remote needs [HOST:]PORT with a port from 1 to 65535";
        return false;
    }
    if (!host->setAddress(QString::fromStdString(hostText))) {
        *error = "--remote: '" + hostText + "' is not an IP address";
        return false;
    }
    *port = static_cast<uint16_t>(value);
    return true;
}

// ---- Connections -----------------------------------------------------------------------------

int CRemoteServer::ClientCount() const {
    return static_cast<int>(std::count_if(m_clients.begin(), m_clients.end(),
                                          [](const auto& client) { return !client->gone; }));
}

void CRemoteServer::Accept() {
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        if (ClientCount() >= kRemoteMaxClients) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            socket->write("ERR too many clients (at most 4)\n");
            socket->disconnectFromHost();
            continue;
        }
        auto client = std::make_unique<Client>();
        client->id = m_nextId++;
        client->socket = socket;
        client->session.authorised = !m_commands.NeedsToken();
        client->paidAt = m_since.elapsed();
        socket->setReadBufferSize(kReadBuffer);
        const int id = client->id;
        connect(socket, &QTcpSocket::readyRead, this, [this, id] {
            if (Client* c = Find(id)) Read(*c);
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, id] { Hangup(id); });
        // Connections that never give the token would keep the places of those that do.
        if (!client->session.authorised)
            QTimer::singleShot(kTokenWaitMs, this, [this, id] {
                Client* c = Find(id);
                if (!c || c->session.authorised || c->session.closing || c->gone) return;
                Reply(*c, "ERR no token given in time");
                c->session.closing = true;
                StartWork();
            });
        m_clients.push_back(std::move(client));
    }
}

CRemoteServer::Client* CRemoteServer::Find(int id) {
    for (auto& client : m_clients)
        if (client->id == id) return client.get();
    return nullptr;
}

void CRemoteServer::Hangup(int id) {
    Client* client = Find(id);
    if (!client || client->gone) return;
    // "echo 'unit 2' | nc -N" hangs up right after its line: the line still counts.
    if (!client->session.closing) Read(*client, true);
    client->gone = true;
    client->session.watching = false;
    if (client->session.closing ||
        (client->input.lines.empty() && !client->session.press && !client->waitingTouch))
        Drop(id);
    else
        StartWork();
}

void CRemoteServer::Drop(int id) {
    auto at = std::find_if(m_clients.begin(), m_clients.end(),
                           [id](const auto& client) { return client->id == id; });
    if (at == m_clients.end()) return;
    QTcpSocket* socket = (*at)->socket;
    m_clients.erase(at);
    socket->disconnect(this);
    socket->deleteLater();
}

void CRemoteServer::Read(Client& client, bool all) {
    // A client that sends faster than its lines are worked off waits in its own socket: the
    // panel takes its lines at its own pace.
    char chunk[512];
    while (all || static_cast<int>(client.input.lines.size()) < kQueuedLines) {
        const qint64 n = client.socket->read(chunk, sizeof chunk);
        if (n <= 0) break;
        client.input.Take(chunk, n);
    }
    AnswerReads(client);
    StartWork();
}

void CRemoteServer::AnswerReads(Client& client) {
    const RemoteSession& session = client.session;
    while (!client.input.lines.empty() && session.authorised && !session.closing && !client.gone &&
           !session.press && !client.waitingTouch &&
           client.socket->bytesToWrite() <= kUnsentLimit) {
        const CRemoteLines::Line line = client.input.lines.front();
        if (line.overLong || !CRemoteCommands::OnlyReads(line.text) || !TakeCredit(client)) return;
        client.input.lines.pop_front();
        Execute(client, line.text);
    }
}

void CRemoteLines::Take(const char* bytes, qint64 count) {
    for (qint64 i = 0; i < count; ++i) {
        const char c = bytes[i];
        if (c == '\n') {
            if (m_discarding) {
                m_discarding = false;
            } else {
                QByteArray line = m_partial;
                if (line.endsWith('\r')) line.chop(1);
                if (line.size() > kRemoteMaxLine)
                    lines.push_back({{}, true});
                else if (!line.trimmed().isEmpty())
                    lines.push_back({line, false});
            }
            m_partial.clear();
            continue;
        }
        if (m_discarding) continue;
        m_partial.append(c);
        if (m_partial.size() > kRemoteMaxLine + 1) {
            lines.push_back({{}, true});
            m_partial.clear();
            m_discarding = true;
        }
    }
}

bool CRemoteServer::TakeCredit(Client& client) {
    const qint64 now = m_since.elapsed();
    client.credit = std::min<double>(
        kRemoteLineBurst,
        client.credit + static_cast<double>(now - client.paidAt) * kRemoteLinesPerSecond / 1000.0);
    client.paidAt = now;
    if (client.credit < 1) return false;
    client.credit -= 1;
    return true;
}

void CRemoteServer::Reply(Client& client, const std::string& line) {
    if (client.gone || client.socket->state() != QAbstractSocket::ConnectedState) return;
    client.socket->write(line.data(), static_cast<qint64>(line.size()));
    client.socket->write("\n", 1);
}

void CRemoteServer::StartWork() {
    if (!m_work.isActive()) m_work.start(kWorkMs, Qt::PreciseTimer, this);
}

void CRemoteServer::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_work.timerId())
        Work();
    else
        QObject::timerEvent(event);
}

bool CRemoteServer::event(QEvent* event) {
    if (event->type() != kTouchEvent) return QObject::event(event);
    RunTouch();
    return true;
}

// ---- Lines -----------------------------------------------------------------------------------

void CRemoteServer::Work() {
    bool more = false;
    std::vector<int> ids;
    for (const auto& client : m_clients)
        ids.push_back(client->id);
    for (int id : ids) {
        Client* client = Find(id);
        if (!client || client->session.closing) continue;
        if (client->waitingTouch) {
            // A touch that opened a dialog has done what the finger asked: the client hears so
            // while the dialog is open, and may read the state meanwhile.
            if (m_running && m_running->client == id && !m_running->answered &&
                CRemoteCommands::DialogOpen()) {
                m_running->answered = true;
                client->waitingTouch = false;
                Reply(*client, "OK");
            }
            more = true;
            continue;
        }
        if (client->session.press && !PressDone(*client)) {
            more = true;
            continue;
        }
        if (!client->gone && client->socket->bytesToWrite() > kUnsentLimit) {
            more = true;
            continue;
        }
        if (client->input.lines.empty()) Read(*client);
        client = Find(id);
        if (!client) continue;
        if (client->input.lines.empty()) {
            if (client->gone && !client->session.press) Drop(id);
            continue;
        }
        if (!TakeCredit(*client)) {
            more = true;
            continue;
        }
        const CRemoteLines::Line line = client->input.lines.front();
        client->input.lines.pop_front();
        if (line.overLong)
            Reply(*client, "ERR line too long (at most 1024 bytes)");
        else
            Execute(*client, line.text);
        client = Find(id);
        if (!client) continue;
        Read(*client);
        more = more || !client->input.lines.empty() || client->session.press ||
               client->waitingTouch || client->gone;
    }
    // A wrong token's reply goes out before the connection ends.
    std::vector<int> closing;
    for (const auto& client : m_clients)
        if (client->session.closing) closing.push_back(client->id);
    for (int id : closing)
        if (Client* client = Find(id)) client->socket->disconnectFromHost();
    if (!more) m_work.stop();
}

void CRemoteServer::Execute(Client& client, const QByteArray& line) {
    RemoteSession& session = client.session;
    const std::string reply = m_commands.Execute(session, line);
    if (!reply.empty()) Reply(client, reply);
    if (session.watching && !m_watch.isActive()) m_watch.start(kWatchMs);
    if (session.touch) {
        m_touches.push_back({client.id, *session.touch});
        session.touch.reset();
        client.waitingTouch = true;
        QCoreApplication::postEvent(this, new QEvent(kTouchEvent));
    }
}

bool CRemoteServer::PressDone(Client& client) {
    const std::string reply = m_commands.PressDone(client.session);
    if (reply.empty()) return false;
    Reply(client, reply);
    return true;
}

void CRemoteServer::RunTouch() {
    if (m_touches.empty()) return;
    const PendingTouch touch = m_touches.front();
    m_touches.pop_front();
    RunningTouch running{touch.client, false};
    // The handler may open a dialog and run its loop: other clients are served meanwhile.
    RunningTouch* outer = std::exchange(m_running, &running);
    const bool refused = !CRemoteCommands::RunTouch(touch.touch);
    m_running = outer;
    Client* client = Find(touch.client);
    if (!client) return;
    if (!running.answered) {
        client->waitingTouch = false;
        Reply(*client, refused ? kRemoteBusyReply : "OK");
    }
    StartWork();
}

// ---- State -----------------------------------------------------------------------------------

void CRemoteServer::Watch() {
    const bool anyone = std::any_of(m_clients.begin(), m_clients.end(),
                                    [](const auto& client) { return client->session.watching; });
    if (!anyone) {
        m_watch.stop();
        return;
    }
    if (!g_mainPanel) return;
    const std::string state = CRemoteCommands::StateJson(*g_mainPanel);
    for (auto& client : m_clients) {
        RemoteSession& session = client->session;
        if (!session.watching || session.lastState == state) continue;
        // A watcher that does not take its lines misses states, never the newest one.
        if (client->socket->bytesToWrite() > kUnsentLimit) continue;
        session.lastState = state;
        Reply(*client, "STATE " + state);
    }
}
