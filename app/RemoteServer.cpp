#include "app/RemoteServer.h"

#include <QApplication>
#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QTimerEvent>
#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>

#include "app/LinkWaitGuard.h"
#include "app/MainPanelDlg.h"
#include "dialogs/TouchKeyboard.h"
#include "link/Commands.h"
#include "link/LinkStats.h"
#include "platform/Clock.h"
#include "widgets/BitmapTextButton.h"
#include "widgets/ColorLabel.h"
#include "widgets/InfoPanel.h"
#include "widgets/KnobDisplay.h"
#include "widgets/KnobGeometry.h"

namespace {

const auto kTouchEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
constexpr int kWorkMs = 5;              // one line of each client per tick at most
constexpr int kWatchMs = 100;           // how often a watched state is compared
constexpr int kQueuedLines = 16;        // lines read ahead of their turn; then the socket waits
constexpr int kReadBuffer = 4096;       // what the socket takes from a client ahead of the lines
constexpr qint64 kUnsentLimit = 65536;  // replies a client has not taken: it gets no more
constexpr int kSurfaceWaitMs = 3000;    // how long a press waits for the panel to read it
constexpr int kTokenWaitMs = 10000;     // how long a connection may stay without its token
constexpr uint8_t kUnitKey = 0x01;

const char* const kHelp =
    "OK commands: token SECRET | key ROW(0-4) MASK | knob K(0-7) STEPS | unit N(1-4) | "
    "menu B(0-9) | function F(0-5) | dblclick K(0-7) | state | watch | unwatch | stats | "
    "sim ... (with --simulate; sim alone lists its steps)";

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    size_t at = 0;
    while (at < line.size()) {
        at = line.find_first_not_of(" \t", at);
        if (at == std::string::npos) break;
        const size_t end = std::min(line.find_first_of(" \t", at), line.size());
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

// A decimal number, or hexadecimal after 0x, within low..high.
bool Number(const std::string& word, int low, int high, int* out) {
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    const char* begin = word.data() + (hex ? 2 : 0);
    const char* end = word.data() + word.size();
    int value = 0;
    const auto [at, error] = std::from_chars(begin, end, value, hex ? 16 : 10);
    if (begin == end || error != std::errc() || at != end || value < low || value > high)
        return false;
    *out = value;
    return true;
}

bool SameToken(const std::string& given, const std::string& token) {
    // Every byte is compared, so the time taken tells nothing of where they differ.
    unsigned differ = given.size() != token.size();
    for (size_t i = 0; i < given.size(); ++i)
        differ |= static_cast<unsigned>(given[i] ^ token[i % token.size()]);
    return differ == 0;
}

// Commands that only read the panel: they touch no link and change nothing.
bool OnlyReads(const QByteArray& line) {
    std::vector<std::string> words = Words(line.toStdString());
    if (words.empty()) return false;
    std::string& verb = words[0];
    std::transform(verb.begin(), verb.end(), verb.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return verb == "state" || verb == "stats" || verb == "watch" || verb == "unwatch" ||
           verb == "help";
}

// A modal dialog or message box of the panel's is open.
bool DialogOpen() {
    QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != g_mainPanel;
}

QString Latin(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QJsonArray Buttons(const CBitmapTextButton* const* buttons, int count) {
    QJsonArray out;
    for (int i = 0; i < count; ++i)
        out.append(QJsonObject{{"caption", Latin(buttons[i]->Text())},
                               {"lit", buttons[i]->m_nImage != 0}});
    return out;
}

}  // namespace

struct CRemoteServer::Client {
    struct Line {
        QByteArray text;
        bool overLong = false;
    };
    // A key press or a knob turn on its way to the panel.
    struct Press {
        bool knob = false;
        int index = 0;        // key row or knob
        int amount = 0;       // key bits or steps
        bool placed = false;  // on the surface, for the panel's next read
    };
    int id = 0;
    QTcpSocket* socket = nullptr;
    QByteArray partial;
    std::deque<Line> lines;
    bool discarding = false;  // the rest of an over-long line
    bool authorised = false;
    bool watching = false;
    bool waitingTouch = false;
    std::optional<Press> press;
    QElapsedTimer pressSince;
    bool closing = false;  // a wrong token: the connection ends once the reply is out
    bool gone = false;     // hung up: what it sent before is still worked off, unanswered
    double credit = kRemoteLineBurst;  // lines it may send before the pace holds it back
    qint64 paidAt = 0;
    std::string lastState;
};

RemoteSurface LinkRemoteSurface() {
    return {QueuePanelKeys, QueueKnobMovement, PanelInputQueued, {}};
}

CRemoteServer::CRemoteServer(RemoteSurface surface, std::string token)
    : m_surface(std::move(surface)), m_token(std::move(token)) {
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
    if (!Number(portText, 1, 65535, &value)) {
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
        client->authorised = m_token.empty();
        client->paidAt = m_since.elapsed();
        socket->setReadBufferSize(kReadBuffer);
        const int id = client->id;
        connect(socket, &QTcpSocket::readyRead, this, [this, id] {
            if (Client* c = Find(id)) Read(*c);
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, id] { Hangup(id); });
        // Connections that never give the token would keep the places of those that do.
        if (!client->authorised)
            QTimer::singleShot(kTokenWaitMs, this, [this, id] {
                Client* c = Find(id);
                if (!c || c->authorised || c->closing || c->gone) return;
                Reply(*c, "ERR no token given in time");
                c->closing = true;
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
    if (!client->closing) Read(*client, true);
    client->gone = true;
    client->watching = false;
    if (client->closing || (client->lines.empty() && !client->press && !client->waitingTouch))
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
    while (all || static_cast<int>(client.lines.size()) < kQueuedLines) {
        const qint64 n = client.socket->read(chunk, sizeof chunk);
        if (n <= 0) break;
        for (qint64 i = 0; i < n; ++i) {
            const char c = chunk[i];
            if (c == '\n') {
                if (client.discarding) {
                    client.discarding = false;
                } else {
                    QByteArray line = client.partial;
                    if (line.endsWith('\r')) line.chop(1);
                    if (line.size() > kRemoteMaxLine)
                        client.lines.push_back({{}, true});
                    else if (!line.trimmed().isEmpty())
                        client.lines.push_back({line, false});
                }
                client.partial.clear();
                continue;
            }
            if (client.discarding) continue;
            client.partial.append(c);
            if (client.partial.size() > kRemoteMaxLine + 1) {
                client.lines.push_back({{}, true});
                client.partial.clear();
                client.discarding = true;
            }
        }
    }
    AnswerReads(client);
    StartWork();
}

void CRemoteServer::AnswerReads(Client& client) {
    while (!client.lines.empty() && client.authorised && !client.closing && !client.gone &&
           !client.press && !client.waitingTouch && client.socket->bytesToWrite() <= kUnsentLimit) {
        const Client::Line line = client.lines.front();
        if (line.overLong || !OnlyReads(line.text) || !TakeCredit(client)) return;
        client.lines.pop_front();
        Execute(client, line.text);
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
        if (!client || client->closing) continue;
        if (client->waitingTouch) {
            // A touch that opened a dialog has done what the finger asked: the client hears so
            // while the dialog is open, and may read the state meanwhile.
            if (m_running && m_running->client == id && !m_running->answered && DialogOpen()) {
                m_running->answered = true;
                client->waitingTouch = false;
                Reply(*client, "OK");
            }
            more = true;
            continue;
        }
        if (client->press && !PressDone(*client)) {
            more = true;
            continue;
        }
        if (!client->gone && client->socket->bytesToWrite() > kUnsentLimit) {
            more = true;
            continue;
        }
        if (client->lines.empty()) Read(*client);
        client = Find(id);
        if (!client) continue;
        if (client->lines.empty()) {
            if (client->gone && !client->press) Drop(id);
            continue;
        }
        if (!TakeCredit(*client)) {
            more = true;
            continue;
        }
        const Client::Line line = client->lines.front();
        client->lines.pop_front();
        if (line.overLong)
            Reply(*client, "ERR line too long (at most 1024 bytes)");
        else
            Execute(*client, line.text);
        client = Find(id);
        if (!client) continue;
        Read(*client);
        more =
            more || !client->lines.empty() || client->press || client->waitingTouch || client->gone;
    }
    // A wrong token's reply goes out before the connection ends.
    std::vector<int> closing;
    for (const auto& client : m_clients)
        if (client->closing) closing.push_back(client->id);
    for (int id : closing)
        if (Client* client = Find(id)) client->socket->disconnectFromHost();
    if (!more) m_work.stop();
}

void CRemoteServer::Execute(Client& client, const QByteArray& line) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(line);
    if (utf8.hasError()) {
        Reply(client, "ERR not UTF-8");
        return;
    }
    const std::string command = text.toStdString();
    std::vector<std::string> words = Words(command);
    std::string& verb = words[0];
    std::transform(verb.begin(), verb.end(), verb.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });

    if (verb == "token") {
        const size_t at = command.find_first_not_of(" \t", command.find_first_of(" \t"));
        const std::string given =
            at == std::string::npos
                ? std::string()
                : QString::fromStdString(command.substr(at)).trimmed().toStdString();
        if (m_token.empty() || SameToken(given, m_token)) {
            client.authorised = true;
            Reply(client, "OK");
        } else {
            // A wrong token ends the connection: guesses cost a new one each.
            Reply(client, "ERR wrong token");
            client.closing = true;
        }
        return;
    }
    if (!client.authorised) {
        Reply(client, "ERR token required: send token SECRET first");
        return;
    }
    const std::string reply = Run(client, words);
    if (!reply.empty()) Reply(client, reply);
}

std::string CRemoteServer::Run(Client& client, const std::vector<std::string>& w) {
    const std::string& verb = w[0];
    if (verb == "help") return kHelp;
    if (verb == "stats") {
        if (w.size() != 1) return "ERR usage: stats";
        return "OK {\"now\":" + std::to_string(TheClock().TickMs()) +
               ",\"slots\":" + LinkStatsJson() + "}";
    }
    const bool watch = verb == "watch";
    if (verb == "state" || watch || verb == "unwatch") {
        if (w.size() != 1) return "ERR usage: " + verb;
        if (verb == "unwatch") {
            client.watching = false;
            return "OK";
        }
        if (!g_mainPanel) return "ERR the panel is not running";
        const std::string state = StateJson(*g_mainPanel);
        if (!watch) return "OK " + state;
        client.watching = true;
        client.lastState = state;
        if (!m_watch.isActive()) m_watch.start(kWatchMs);
        return "OK watching\nSTATE " + state;
    }

    const bool known = verb == "key" || verb == "knob" || verb == "unit" || verb == "menu" ||
                       verb == "function" || verb == "dblclick" || verb == "sim";
    if (!known) return "ERR unknown command '" + verb + "' (try help)";
    if (!g_mainPanel) return "ERR the panel is not running";
    if (DialogOpen()) return kRemoteBusyReply;

    if (verb == "sim") {
        if (!m_surface.simStep) return "ERR sim needs --simulate";
        const std::vector<std::string> step(w.begin() + 1, w.end());
        // A failed fan is a fatal error, and on a kiosk that switches the PC off.
        if (m_surface.kiosk && step.size() == 2 && step[0] == "fan" && step[1] == "fail")
            return "ERR sim fan fail would power the panel PC off (--kiosk)";
        return m_surface.simStep(step);
    }
    if (verb == "key" || verb == "knob" || verb == "unit") return Press(client, w);

    int index = 0;
    if (verb == "menu") {
        if (w.size() != 2 || !Number(w[1], 0, kMenuButtons - 1, &index))
            return "ERR usage: menu B (0-9)";
        return QueueTouch(client, Touch::Menu, index);
    }
    if (verb == "function") {
        if (w.size() != 2 || !Number(w[1], 0, kFunctionButtons - 1, &index))
            return "ERR usage: function F (0-5)";
        return QueueTouch(client, Touch::Function, index);
    }
    if (w.size() != 2 || !Number(w[1], 0, kKnobCount - 1, &index))
        return "ERR usage: dblclick K (0-7)";
    return QueueTouch(client, Touch::DoubleClick, index);
}

std::string CRemoteServer::Press(Client& client, const std::vector<std::string>& w) {
    Client::Press press;
    const std::string& verb = w[0];
    if (verb == "key") {
        if (w.size() != 3 || !Number(w[1], 0, kKeyRowCount - 1, &press.index) ||
            !Number(w[2], 1, 255, &press.amount))
            return "ERR usage: key ROW (0-4) MASK (1-255, e.g. 0x10)";
    } else if (verb == "unit") {
        if (w.size() != 2 || !Number(w[1], 1, kUnitCount, &press.index))
            return "ERR usage: unit N (1-4)";
        press.amount = kUnitKey;
    } else {
        press.knob = true;
        if (w.size() != 3 || !Number(w[1], 0, kKnobCount - 1, &press.index) ||
            !Number(w[2], INT16_MIN, INT16_MAX, &press.amount) || press.amount == 0)
            return "ERR usage: knob K (0-7) STEPS (-32768..32767, not 0)";
    }
    client.press = press;
    client.pressSince.start();
    PressDone(client);
    return {};
}

bool CRemoteServer::PressDone(Client& client) {
    Client::Press& press = *client.press;
    const bool unread = m_surface.inputPending && m_surface.inputPending();
    const bool late = client.pressSince.elapsed() >= kSurfaceWaitMs;
    if (!press.placed) {
        // One press at a time, as one finger: the next waits until the panel has read this one.
        if (unread && !late) return false;
        if (unread) {
            Reply(client, "ERR the panel has not read the surface");
        } else if (DialogOpen()) {
            Reply(client, kRemoteBusyReply);
        } else {
            if (press.knob)
                m_surface.turnKnob(press.index, press.amount);
            else
                m_surface.pressKey(press.index, static_cast<uint8_t>(press.amount));
            press.placed = true;
            client.pressSince.restart();
            return false;
        }
    } else {
        if (unread && !late) return false;
        // The panel reads the surface every 20 ms while it runs: one that has not read it for
        // this long has stopped (the surface does not answer); the press stays where it is.
        Reply(client, unread ? "ERR the panel has not read the surface" : "OK");
    }
    client.press.reset();
    return true;
}

std::string CRemoteServer::QueueTouch(Client& client, Touch touch, int index) {
    const CMainPanelDlg& panel = *g_mainPanel;
    const QWidget* target = touch == Touch::Menu ? static_cast<QWidget*>(panel.m_menuButtons[index])
                            : touch == Touch::Function
                                ? static_cast<QWidget*>(panel.m_functionButtons[index])
                                : static_cast<QWidget*>(panel.m_knobs[index]);
    // What a finger cannot reach, the remote cannot either.
    if (target->isHidden() || !target->isEnabled()) return "ERR that control is not shown";
    m_touches.push_back({client.id, touch, index});
    client.waitingTouch = true;
    QCoreApplication::postEvent(this, new QEvent(kTouchEvent));
    return {};
}

void CRemoteServer::RunTouch() {
    if (m_touches.empty()) return;
    const PendingTouch touch = m_touches.front();
    m_touches.pop_front();
    const bool refused = !g_mainPanel || DialogOpen();
    RunningTouch running{touch.client, false};
    if (!refused) {
        // The handler may open a dialog and run its loop: other clients are served meanwhile.
        RunningTouch* outer = std::exchange(m_running, &running);
        CMainPanelDlg& panel = *g_mainPanel;
        switch (touch.touch) {
            case Touch::Menu:
                panel.m_menuButtons[touch.index]->click();
                break;
            case Touch::Function:
                panel.m_functionButtons[touch.index]->click();
                break;
            case Touch::DoubleClick:
                emit panel.m_knobs[touch.index]->doubleClicked();
                break;
        }
        m_running = outer;
    }
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
                                    [](const auto& client) { return client->watching; });
    if (!anyone) {
        m_watch.stop();
        return;
    }
    if (!g_mainPanel) return;
    const std::string state = StateJson(*g_mainPanel);
    for (auto& client : m_clients) {
        if (!client->watching || client->lastState == state) continue;
        // A watcher that does not take its lines misses states, never the newest one.
        if (client->socket->bytesToWrite() > kUnsentLimit) continue;
        client->lastState = state;
        Reply(*client, "STATE " + state);
    }
}

std::string CRemoteServer::StateJson(const CMainPanelDlg& panel) {
    const int unit = UnitNumber(g_selectedUnit);
    QJsonArray online, onAir, lamps, knobs, info;
    for (int n = 1; n <= kUnitCount; ++n) {
        if (panel.m_lamps[n] & kLampOnline) online.append(n);
        if (panel.m_lamps[kLampTallyByte] & (1u << n)) onAir.append(n);
    }
    for (uint8_t lamp : panel.m_lamps)
        lamps.append(lamp);
    for (const CKnobDisplay* knob : panel.m_knobs) {
        const ControlRecord* control = knob->Control();
        // A display without a control is hidden: it shows nothing.
        knobs.append(
            control && !control->name.empty()
                ? QJsonObject{{"name", Latin(control->name)}, {"value", KnobValueText(*control)}}
                : QJsonObject{{"name", ""}, {"value", ""}});
    }
    for (const InfoLine& line : BuildInfoOverlay(panel.m_infoPanel->Content()).lines)
        info.append(line.text);
    const bool selected = unit >= 1 && unit <= kUnitCount;
    // What is open over the panel, as the operator sees it: its caption, and the keyboard.
    const QWidget* over = QApplication::activeModalWidget();
    if (over == &panel) over = nullptr;
    const QWidget* keyboard = TouchKeyboardIn(over);
    const QJsonObject state{
        {"unit", selected ? unit : 0},
        {"online", online},
        {"onAir", onAir},
        {"menu", selected ? panel.m_currentMenu[unit] : -1},
        {"title", Latin(panel.m_titleLabel->Text())},
        {"menus", Buttons(panel.m_menuButtons.data(), kMenuButtons)},
        {"functions", Buttons(panel.m_functionButtons.data(), kFunctionButtons)},
        {"knobs", knobs},
        {"info", info},
        {"message", Latin(panel.m_infoPanel->Message())},
        {"alert", Latin(panel.m_infoPanel->Alert())},
        {"alt", panel.AltLatched()},
        {"lamps", lamps},
        {"dialog", over ? over->windowTitle() : QString()},
        {"keyboard", keyboard && keyboard->isVisible()},
    };
    return QJsonDocument(state).toJson(QJsonDocument::Compact).toStdString();
}
