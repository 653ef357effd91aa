// The link's waits on the machine's own clock: the windows keep running, the panel's own input
// and messages wait their turn, and the link traffic is the same as with a pause that sleeps.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <thread>

#include "app/panel/CursorHider.h"
#include "app/panel/LinkWaitGuard.h"
#include "link/Commands.h"
#include "link/EppLink.h"
#include "link/UnitOperations.h"
#include "tests/app/PanelFixture.h"
#include "tests/support/TapPort.h"

namespace {

// A window of the panel's and one that stands in for hardware, each counting what reaches it.
class Counting : public QWidget {
public:
    explicit Counting(bool hardware) {
        if (hardware) setProperty(kKeepsCursorProperty, true);
        resize(100, 100);
        show();
    }
    int presses = 0;
    int ticks = 0;
    int messages = 0;
    std::vector<int> keys;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
    void keyPressEvent(QKeyEvent* e) override { keys.push_back(e->key()); }
    void timerEvent(QTimerEvent*) override { ++ticks; }
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            ++messages;
            return true;
        }
        return QWidget::event(e);
    }
};

// Real time, with the guard in place.
class LinkWait : public testing::Test {
protected:
    void SetUp() override { SetClock(nullptr); }
    void TearDown() override { SetClock(nullptr); }
    CLinkWaitGuard guard;
};

TEST_F(LinkWait, HardwareActsDuringAWaitThePanelAfterItInOrderAndOnce) {
    Counting panel(false), console(true);
    QTimer::singleShot(20, [&] {
        QTest::mouseClick(&panel, Qt::LeftButton);
        QTest::keyClick(&panel, Qt::Key_A);
        QTest::keyClick(&panel, Qt::Key_B);
        QCoreApplication::postEvent(&panel, new QEvent(QEvent::User));
        QTest::mouseClick(&console, Qt::LeftButton);
    });
    DelayMs(80);
    EXPECT_EQ(console.presses, 1) << "the console takes input during the wait";
    EXPECT_EQ(panel.presses, 0);
    EXPECT_TRUE(panel.keys.empty());
    EXPECT_EQ(panel.messages, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(panel.presses, 1);
    EXPECT_EQ(panel.keys, (std::vector<int>{Qt::Key_A, Qt::Key_B}));
    EXPECT_EQ(panel.messages, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(panel.presses, 1) << "exactly once";
}

TEST_F(LinkWait, APanelTickThatFallsDueDuringAWaitIsSkipped) {
    Counting panel(false), console(true);
    panel.startTimer(10);
    console.startTimer(10);
    DelayMs(100);
    EXPECT_EQ(panel.ticks, 0);
    EXPECT_GE(console.ticks, 5);
    QTest::qWait(50);  // an event loop of the test's own: no wait of the link's
    EXPECT_GE(panel.ticks, 3);
}

TEST_F(LinkWait, AModalBoxFromASequenceThatWaitsWorksAndKeepsItsOwnTurn) {
    // A handler waits, then shows a box; the box's own handler waits while its button is
    // touched: the touch closes the box only after that wait.
    Counting panel(false);
    QDialog box(&panel);
    auto* ok = new QPushButton("OK", &box);
    QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
    bool closedDuringWait = false;
    QTimer::singleShot(30, [&] {
        QTimer::singleShot(20, [&] { QTest::mouseClick(ok, Qt::LeftButton); });
        DelayMs(60);
        closedDuringWait = !box.isVisible();
    });
    DelayMs(10);
    EXPECT_EQ(box.exec(), QDialog::Accepted);
    EXPECT_FALSE(closedDuringWait);
}

// A port whose far side never answers, each status read taking a while as on real hardware.
class SilentSlowPort final : public PortIo {
public:
    uint8_t Read(uint16_t) override {
        std::this_thread::sleep_for(std::chrono::microseconds(50));
        return kStatusReady | kStatusNoAnswer;
    }
    void Write(uint16_t, uint8_t) override {}
};

TEST_F(LinkWait, TheConsoleTakesInputDuringALongSpinOnTheStatusPort) {
    SilentSlowPort port;
    SetPortIo(&port);
    Counting panel(false), console(true);
    QTimer::singleShot(30, [&] {
        QTest::mouseClick(&console, Qt::LeftButton);
        QTest::mouseClick(&panel, Qt::LeftButton);
    });
    ResponseBuffer answer{};
    EXPECT_EQ(SendSimpleCommand(kCmdIdentify, kRespIdentify, answer, kSpinNormal), kLinkNoResponse);
    SetPortIo(nullptr);
    EXPECT_EQ(console.presses, 1) << "within the half second of reads";
    EXPECT_EQ(panel.presses, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(panel.presses, 1);
}

TEST(LinkWaitPanel, EscapeDuringAWaitEndsThePanelAfterTheWait) {
    SetClock(nullptr);
    auto rig = SimRig::Standard();
    SetPortIo(&rig->Port());
    {
        CLinkWaitGuard guard;
        CMainPanelDlg panel("/nonexistent/KV4.ini");
        panel.OnInitDialog();
        panel.show();
        QTimer::singleShot(20, [&] { QTest::keyClick(&panel, Qt::Key_Escape); });
        DelayMs(60);
        EXPECT_TRUE(panel.isVisible()) << "nothing of the panel's runs in a wait";
        QCoreApplication::processEvents();
        EXPECT_FALSE(panel.isVisible());
    }
    SetPortIo(nullptr);
}

// Connect, three missed polls, reconnect, a file-system update and a file copied: every
// packet the panel sends, on the machine's clock.
std::vector<std::vector<uint8_t>> Scenario(bool guarded) {
    ResetPanelState();
    ResetConfig();
    SetClock(nullptr);
    auto rig = SimRig::Standard();
    TapPort tap(rig->Port());
    SetPortIo(&tap);
    std::unique_ptr<CLinkWaitGuard> guard;
    if (guarded) guard = std::make_unique<CLinkWaitGuard>();
    {
        CMainPanelDlg panel("/nonexistent/KV4.ini");
        panel.OnInitDialog();
        rig->Surface().PressKey(3, 0x01);
        panel.OnTimer(1);
        rig->SetOnline(3, false);
        for (int i = 0; i < 3; ++i)
            panel.OnTimer(2);
        rig->SetOnline(3, true);
        panel.OnTimer(1);
        panel.OnTimer(2);
        panel.OnFileSystemUpdate();
        ReadFileList(FileList::Files);
        ReadFileData(static_cast<uint8_t>(g_files[0].fileId & 0xFF));
        WriteFileData(AddressOfUnit(3));
    }
    SetPortIo(nullptr);
    return tap.packets;
}

TEST(LinkWaitPanel, TheLinkTrafficIsTheSameAsWithAPauseThatSleeps) {
    const auto sleeping = Scenario(false);
    const auto guarded = Scenario(true);
    EXPECT_GT(sleeping.size(), 50u);
    EXPECT_EQ(sleeping, guarded);
}

}  // namespace
