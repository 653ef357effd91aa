// A client on loopback against the running panel on the simulator: it operates the panel as an
// operator would, watches it, and is held to the line's limits.

#include <QDialog>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include "app/CommandLine.h"
#include "app/panel/DialogFactory.h"
#include "app/panel/LinkWaitGuard.h"
#include "app/remote/RemoteServer.h"
#include "link/Commands.h"
#include "sim/SimScript.h"
#include "tests/app/PanelFixture.h"
#include "widgets/InfoPanel.h"

namespace {

class Remote : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        Start();
    }
    void TearDown() override {
        clients.clear();
        server.reset();
        PanelTest::TearDown();
    }
    void Serve(const std::string& token = {}, bool kiosk = false) {
        SimRig* r = rig.get();
        RemoteSurface surface{[r](int row, uint8_t keys) { r->Surface().PressKey(row, keys); },
                              [r](int knob, int steps) { r->Surface().TurnKnob(knob, steps); },
                              [r] { return r->Surface().InputPending(); },
                              [r](const std::vector<std::string>& w) { return RunSimStep(*r, w); },
                              kiosk};
        server = std::make_unique<CRemoteServer>(surface, token);
        std::string error;
        ASSERT_TRUE(server->Listen(QHostAddress::LocalHost, 0, &error)) << error;
    }
    QTcpSocket& Dial() {
        clients.push_back(std::make_unique<QTcpSocket>());
        QTcpSocket& socket = *clients.back();
        socket.connectToHost(QHostAddress::LocalHost, server->Port());
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; }));
        return socket;
    }
    // The next line from the panel; the panel's own timers run meanwhile.
    static std::string Line(QTcpSocket& socket, int ms = 5000) {
        if (!QTest::qWaitFor([&] { return socket.canReadLine(); }, ms)) return "(nothing)";
        return socket.readLine().chopped(1).toStdString();
    }
    // The reply to line; a state pushed to a watcher meanwhile is kept as the latest.
    std::string Ask(QTcpSocket& socket, const std::string& line) {
        socket.write((line + "\n").c_str());
        std::string reply = Line(socket);
        while (reply.rfind("STATE ", 0) == 0) {
            lastPushed =
                QJsonDocument::fromJson(QByteArray::fromStdString(reply.substr(6))).object();
            reply = Line(socket);
        }
        return reply;
    }
    QJsonObject State(QTcpSocket& socket) {
        const std::string reply = Ask(socket, "state");
        EXPECT_EQ(reply.substr(0, 3), "OK ");
        return QJsonDocument::fromJson(QByteArray::fromStdString(reply.substr(3))).object();
    }
    // The state pushed last or a later one that satisfies done, within a time limit; the unit
    // poll is driven on so that losses need no real seconds.
    QJsonObject Watched(QTcpSocket& socket, const std::function<bool(const QJsonObject&)>& done) {
        if (!lastPushed.isEmpty() && done(lastPushed)) return lastPushed;
        for (int i = 0; i < 200; ++i) {
            panel->OnTimer(kTimerUnitPoll);
            QTest::qWait(5);
            while (socket.canReadLine()) {
                const std::string line = socket.readLine().chopped(1).toStdString();
                EXPECT_EQ(line.substr(0, 6), "STATE ");
                const QJsonObject state =
                    QJsonDocument::fromJson(QByteArray::fromStdString(line.substr(6))).object();
                lastPushed = state;
                if (done(state)) return state;
            }
        }
        ADD_FAILURE() << "no such state pushed";
        return {};
    }

    std::unique_ptr<CRemoteServer> server;
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    QJsonObject lastPushed;
};

TEST(RemoteOptions, AddressesAndTokenFiles) {
    std::string error;
    auto options = ParseCommandLine({"--remote", "9000", "--remote-token=/etc/kv4/token"}, &error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->remote, "9000");
    EXPECT_EQ(options->remoteToken, "/etc/kv4/token");
    EXPECT_FALSE(ParseCommandLine({"--remote-token", "/t"}, &error));
    EXPECT_EQ(error, "--remote-token works only with --remote");

    QHostAddress host;
    uint16_t port = 0;
    ASSERT_TRUE(CRemoteServer::ParseAddress("9000", &host, &port, &error));
    EXPECT_EQ(host, QHostAddress(QHostAddress::LocalHost)) << "loopback unless a host is named";
    EXPECT_EQ(port, 9000);
    ASSERT_TRUE(CRemoteServer::ParseAddress("[::1]:16759", &host, &port, &error));
    EXPECT_EQ(host, QHostAddress(QHostAddress::LocalHostIPv6));
    for (const char* bad : {"0", "70000", "kv4:9000", "9000x", ""})
        EXPECT_FALSE(CRemoteServer::ParseAddress(bad, &host, &port, &error)) << bad;

    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write("  s3cret \r\nsecond line\n");
    file.flush();
    std::string token;
    ASSERT_TRUE(CRemoteServer::ReadToken(file.fileName().toStdString(), &token, &error));
    EXPECT_EQ(token, "s3cret");
    file.resize(0);
    EXPECT_FALSE(CRemoteServer::ReadToken(file.fileName().toStdString(), &token, &error));
    EXPECT_FALSE(CRemoteServer::ReadToken("/nonexistent/token", &token, &error));
}

bool Has(const QJsonValue& list, int n) {
    return list.toArray().contains(n);
}

TEST_F(Remote, SelectsAUnitTurnsAKnobTouchesAFunctionAndReadsTheNewState) {
    Serve();
    QTcpSocket& client = Dial();
    EXPECT_EQ(State(client)["unit"].toInt(), 0);

    ASSERT_EQ(Ask(client, "unit 2"), "OK");
    QJsonObject state = State(client);
    EXPECT_EQ(state["unit"].toInt(), 2);
    EXPECT_EQ(state["title"].toString(), "Main Menu");
    EXPECT_EQ(state["functions"][0]["caption"].toString(), "Freeze\r\nOff");
    EXPECT_FALSE(state["functions"][0]["lit"].toBool());
    EXPECT_EQ(state["knobs"][0]["name"].toString(), "Screen\r\nRed");

    const int red = rig->Unit(2)->ControlValue(59);
    const QString shown = state["knobs"][0]["value"].toString();
    ASSERT_EQ(Ask(client, "knob 0 60"), "OK");
    EXPECT_GT(rig->Unit(2)->ControlValue(59), red) << "the turn reached the unit";
    EXPECT_NE(State(client)["knobs"][0]["value"].toString(), shown);

    ASSERT_EQ(Ask(client, "function 0"), "OK");
    EXPECT_EQ(rig->Unit(2)->SwitchValue(129), 1);
    state = State(client);
    EXPECT_EQ(state["functions"][0]["caption"].toString(), "Freeze\r\nOn");
    EXPECT_TRUE(state["functions"][0]["lit"].toBool());

    // A panel key: ALT, read by the next scan like a finger's.
    ASSERT_EQ(Ask(client, "key 0 0x10"), "OK");
    EXPECT_TRUE(State(client)["alt"].toBool());
    EXPECT_EQ(State(client)["lamps"][0].toInt() & 0x10, 0x10);

    // A spoiled answer provoked on the line shows in the unit's counters.
    ASSERT_EQ(Ask(client, "sim unit 2 fault wrong-code 1"), "OK");
    panel->OnTimer(kTimerUnitPoll);
    const std::string stats = Ask(client, "stats");
    const QJsonObject two = QJsonDocument::fromJson(QByteArray::fromStdString(stats.substr(3)))
                                .object()["slots"][2]
                                .toObject();
    EXPECT_EQ(two["badCode"].toInt(), 1);
    EXPECT_EQ(two["lastFailure"].toString(), "wrong code");
    EXPECT_EQ(two["menuDownloads"].toInt(), 1);
}

TEST_F(Remote, WatchSeesTheSelectedUnitLostAndFound) {
    Serve();
    Connect(3);
    QTcpSocket& client = Dial();
    ASSERT_EQ(Ask(client, "watch"), "OK watching");
    EXPECT_EQ(Line(client).substr(0, 15), "STATE {\"alert\":");

    // A unit that is not selected goes off line after its unanswered scans; the selected one
    // is lost after its unanswered polls.
    ASSERT_EQ(Ask(client, "sim unit 1 offline"), "OK");
    ASSERT_EQ(Ask(client, "sim unit 3 offline"), "OK");
    Watched(client, [](const QJsonObject& s) {
        return s["alert"].toString() == "Lost communication with Main Unit!";
    });
    Watched(client, [](const QJsonObject& s) { return !Has(s["online"], 1); });
    const std::string stats = Ask(client, "stats");
    const QJsonArray bySlot =
        QJsonDocument::fromJson(QByteArray::fromStdString(stats.substr(3)))["slots"].toArray();
    EXPECT_GE(bySlot[3]["noAnswer"].toInt(), 3);
    EXPECT_EQ(bySlot[3]["lastFailure"].toString(), "no answer");
    EXPECT_EQ(bySlot[2]["noAnswer"].toInt(), 0);

    ASSERT_EQ(Ask(client, "sim unit 1 online"), "OK");
    ASSERT_EQ(Ask(client, "sim unit 3 online"), "OK");
    const QJsonObject back = Watched(client, [](const QJsonObject& s) {
        return Has(s["online"], 1) && s["alert"].toString().isEmpty() && s["menu"].toInt() >= 0;
    });
    EXPECT_EQ(back["unit"].toInt(), 3);
    EXPECT_EQ(back["title"].toString(), "Main Menu");

    ASSERT_EQ(Ask(client, "unwatch"), "OK");
    ASSERT_EQ(Ask(client, "sim unit 1 tally on"), "OK");
    for (int i = 0; i < 10; ++i)
        panel->OnTimer(kTimerUnitPoll);
    QTest::qWait(300);
    EXPECT_FALSE(client.canReadLine()) << "no pushes after unwatch";
}

TEST_F(Remote, BadAndOverLongLinesGetAnErrorAndTheConnectionStays) {
    Serve();
    QTcpSocket& client = Dial();
    EXPECT_EQ(Ask(client, "frobnicate"), "ERR unknown command 'frobnicate' (try help)");
    EXPECT_EQ(Ask(client, "knob 8 1"), "ERR usage: knob K (0-7) STEPS (-32768..32767, not 0)");
    EXPECT_EQ(Ask(client, "menu 1 2"), "ERR usage: menu B (0-9)");
    EXPECT_EQ(Ask(client, "key 2 0x"), "ERR usage: key ROW (0-4) MASK (1-255, e.g. 0x10)");
    EXPECT_EQ(Ask(client, "state\xff"), "ERR not UTF-8");
    // A sequence cut off by the line's end, leaving only a blank: once a crash of the panel.
    EXPECT_EQ(Ask(client, " \xf1"), "ERR not UTF-8");
    EXPECT_EQ(Ask(client, "sim unit 2 fault"),
              "ERR usage: sim unit N fault NAME [COUNT [COMMAND]]");

    client.write(QByteArray(10 * 1024, 'k') + "\nstate\r\n");
    EXPECT_EQ(Line(client), "ERR line too long (at most 1024 bytes)");
    EXPECT_EQ(Line(client).substr(0, 4), "OK {") << "CR LF ends a line too";
    EXPECT_EQ(Ask(client, "STATS").substr(0, 10), "OK {\"now\":");
    EXPECT_EQ(client.state(), QAbstractSocket::ConnectedState);

    // "echo 'unit 2' | nc -N": the client hangs up right after its line, which still acts.
    QTcpSocket& once = Dial();
    once.write("unit 2\n");
    once.disconnectFromHost();
    EXPECT_TRUE(QTest::qWaitFor([&] { return g_selectedUnit == AddressOfUnit(2); }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return server->ClientCount() == 1; }));
}

TEST_F(Remote, OnAKioskNoSimulatedFaultSwitchesThePcOff) {
    Serve({}, true);
    QTcpSocket& client = Dial();
    EXPECT_EQ(Ask(client, "sim fan fail"),
              "ERR sim fan fail would power the panel PC off (--kiosk)");
    EXPECT_EQ(Ask(client, "sim unit 2 tally on"), "OK");
}

TEST_F(Remote, AtMostFourClientsAndATokenFirst) {
    Serve("s3cret");
    std::vector<QTcpSocket*> four;
    for (int i = 0; i < kRemoteMaxClients; ++i)
        four.push_back(&Dial());
    QTcpSocket& fifth = Dial();
    EXPECT_EQ(Line(fifth), "ERR too many clients (at most 4)");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return fifth.state() == QAbstractSocket::UnconnectedState; }));

    EXPECT_EQ(Ask(*four[0], "state"), "ERR token required: send token SECRET first");
    EXPECT_EQ(Ask(*four[0], "token s3cret"), "OK");
    EXPECT_EQ(Ask(*four[0], "state").substr(0, 4), "OK {");
    EXPECT_EQ(Ask(*four[1], "token s3cre"), "ERR wrong token");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return four[1]->state() == QAbstractSocket::UnconnectedState; }));

    // The place it left is free again.
    QTcpSocket& another = Dial();
    EXPECT_EQ(Ask(another, "token s3cret"), "OK");
    EXPECT_EQ(server->ClientCount(), kRemoteMaxClients);
}

// A dialog the panel opens, run modally until its steps are done.
class ModalDialogs final : public DialogFactory {
public:
    DialogResult Run(const DialogRequest&) override {
        QDialog dialog(g_mainPanel);
        QTimer::singleShot(0, &dialog, [&] {
            if (whileOpen) whileOpen();
            dialog.reject();
        });
        dialog.exec();
        ++runs;
        return {true, kDialogCancel, {}, false};
    }
    std::function<void()> whileOpen;
    int runs = 0;
};

TEST_F(Remote, ATouchThatOpensADialogIsAnsweredAndOnlyReadingGoesOnWhileItIsOpen) {
    Serve();
    Connect(1);  // a group-A unit: menu button 7 opens its files
    QTcpSocket& client = Dial();
    QTcpSocket& other = Dial();
    ModalDialogs dialogs;
    dialogs.whileOpen = [&] {
        EXPECT_EQ(Line(client), "OK") << "answered while the dialog is open";
        EXPECT_EQ(State(client)["unit"].toInt(), 1);
        EXPECT_EQ(Ask(other, "stats").substr(0, 4), "OK {");
        EXPECT_EQ(Ask(other, "key 0 0x10"), kRemoteBusyReply);
        EXPECT_EQ(Ask(other, "function 0"), kRemoteBusyReply);
        EXPECT_EQ(Ask(client, "sim unit 2 offline"), kRemoteBusyReply);
        EXPECT_FALSE(rig->Surface().InputPending());
    };
    SetDialogFactory(&dialogs);
    client.write("menu 7\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialogs.runs == 1; }));
    SetDialogFactory(nullptr);
    EXPECT_TRUE(rig->Online(2));
    EXPECT_EQ(Ask(other, "key 0 0x10"), "OK");
    EXPECT_TRUE(panel->AltLatched());
}

TEST_F(Remote, AFloodIsPacedAndTheOthersAreServedMeanwhile) {
    Serve();
    QTcpSocket& flood = Dial();
    QTcpSocket& other = Dial();
    constexpr int kLines = 80;
    QByteArray lines;
    for (int i = 0; i < kLines; ++i)
        lines += "help\n";
    QElapsedTimer since;
    since.start();
    flood.write(lines);
    EXPECT_TRUE(QTest::qWaitFor([&] { return flood.canReadLine(); }));
    EXPECT_EQ(State(other)["unit"].toInt(), 0);
    int replies = 0;
    auto count = [&] {
        while (flood.canReadLine())
            replies += flood.readLine().startsWith("OK commands:");
    };
    count();
    EXPECT_LT(replies, kLines / 2) << "the others are served while the flood is still paced";
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            count();
            return replies == kLines;
        },
        10000));
    const int paced = (kLines - kRemoteLineBurst) * 1000 / kRemoteLinesPerSecond;
    EXPECT_GE(since.elapsed(), paced * 8 / 10);
}

// On the machine's clock with the guard in place: a remote press that arrives while the link
// waits is not worked on until the wait is over, like a touch of the panel's.
TEST_F(Remote, APressThatArrivesDuringALinkWaitWaitsForItsEnd) {
    Serve();
    Connect(2);
    SetClock(nullptr);
    CLinkWaitGuard guard;
    QTcpSocket& client = Dial();
    bool pressedDuringWait = true;
    bool repliedDuringWait = true;
    QTimer::singleShot(100, [&] {
        pressedDuringWait = rig->Surface().InputPending() || panel->AltLatched();
        repliedDuringWait = client.canReadLine();
    });
    client.write("key 0 0x10\n");
    client.flush();
    DelayMs(200);
    EXPECT_FALSE(pressedDuringWait);
    EXPECT_FALSE(repliedDuringWait);
    EXPECT_EQ(Line(client), "OK");
    EXPECT_TRUE(panel->AltLatched());
}

// A client that only watches is never made to wait: while the panel waits on the link for a
// lost unit (its missed polls, then the two link resets with their pauses), state is answered
// within 50 ms and a watcher hears of the loss before the panel's handler returns.
TEST_F(Remote, ReadingNeverWaitsForTheLink) {
    Serve();
    Connect(3);
    SetClock(nullptr);
    CLinkWaitGuard guard;
    QTcpSocket& reader = Dial();
    QTcpSocket& watcher = Dial();
    ASSERT_EQ(Ask(watcher, "watch").substr(0, 11), "OK watching");
    ASSERT_EQ(Line(watcher).substr(0, 6), "STATE ");

    // The reader asks again as soon as it has its answer, and notes how long each took.
    QElapsedTimer asked;
    qint64 longest = 0;
    int answered = 0;
    bool inWait = false;
    int answeredInWait = 0;
    const auto ask = [&] {
        reader.write("state\n");
        reader.flush();
        asked.start();
    };
    QObject::connect(&reader, &QTcpSocket::readyRead, [&] {
        while (reader.canReadLine()) {
            reader.readLine();
            longest = std::max(longest, asked.elapsed());
            ++answered;
            answeredInWait += inWait;
            ask();
        }
    });
    bool lostPushedInWait = false;
    QObject::connect(&watcher, &QTcpSocket::readyRead, [&] {
        while (watcher.canReadLine())
            if (watcher.readLine().contains("Lost communication with Main Unit!"))
                lostPushedInWait = lostPushedInWait || inWait;
    });
    // A client whose line acts, then reads: both wait for the wait's end, in their order.
    QTcpSocket& actor = Dial();
    QStringList actorReplies;
    bool actorHeardInWait = false;
    QObject::connect(&actor, &QTcpSocket::readyRead, [&] {
        while (actor.canReadLine()) {
            actorReplies.append(QString::fromUtf8(actor.readLine()).left(4));
            actorHeardInWait = actorHeardInWait || inWait;
        }
    });
    QTimer::singleShot(20, [&] {
        actor.write("knob 0 5\nstate\n");
        actor.flush();
    });
    ask();
    rig->SetOnline(3, false);
    QElapsedTimer handlers;
    handlers.start();
    inWait = true;
    for (int i = 0; i < 3; ++i)
        panel->OnTimer(kTimerUnitPoll);
    inWait = false;
    ASSERT_EQ(panel->m_infoPanel->Alert(), "Lost communication with Main Unit!");
    EXPECT_GE(handlers.elapsed(), 200) << "two link resets, 100 ms apart";
    EXPECT_GE(answeredInWait, 4) << answered;
    EXPECT_LT(longest, 50);
    EXPECT_TRUE(lostPushedInWait);
    QObject::disconnect(&reader, nullptr, nullptr, nullptr);
    EXPECT_FALSE(actorHeardInWait);
    EXPECT_TRUE(QTest::qWaitFor([&] { return actorReplies.size() == 2; }));
    EXPECT_EQ(actorReplies, (QStringList{"OK\n", "OK {"}));
}

}  // namespace
