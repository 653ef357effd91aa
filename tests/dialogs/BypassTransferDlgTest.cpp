// The bypass transfer opened with ALT and menu button 9 on the connected panel, its serial line
// a pseudo terminal: frames in, request packets to the selected unit, reply frames out.

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSocketNotifier>
#include <QTimer>

#include "dialogs/BypassTransferDlg.h"
#include "link/Commands.h"
#include "tests/dialogs/DialogFixture.h"
#include "tests/support/ImageProbes.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/RecordingSeams.h"
#include "tests/support/TapPort.h"

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kIdentifyFrame = {0x02, 0x01, 0xC0, 0xFF};
const Bytes kIdentifyPacket = {0x08, 0x06, 0x32, 0x01, 0xC0, 0xFF};  // to unit 3 (0x30)

class BypassDialog : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        SetSerialDevice(line.Device());
        ConnectTapped(3);
    }
    void TearDown() override {
        SetSerialDevice("");
        DialogTest::TearDown();
    }
    void Touch() {
        panel->m_lamps[kLampAltByte] |= kLampAlt;
        panel->OnMenuButton(9);
    }
    // Opens the dialog, enables the relay, runs steps, disables it again.
    void Relaying(const std::function<void(CBypassTransferDlg&)>& steps) {
        WhileOpen<CBypassTransferDlg>([&] { Touch(); },
                                      [&](CBypassTransferDlg& d) {
                                          Enable(d);
                                          steps(d);
                                          if (d.Relaying()) Enable(d);
                                      });
    }
    static void Enable(CBypassTransferDlg& d) { Control<QPushButton>(d, kIdBypassEnable)->click(); }
    static speed_t Speed(const termios& t) { return cfgetospeed(&t); }

    PseudoTerminal line;
};

TEST_F(BypassDialog, OpensOnAltAndMenuButton9AndRelaysAtTheRateChecked) {
    WhileOpen<CBypassTransferDlg>(
        [&] { Touch(); },
        [&](CBypassTransferDlg& d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Remote Bypass Menu"));
            EXPECT_EQ(d.size(), QSize(288, 245));  // 192 x 151 dialog units
            const QRect outer = d.frameGeometry();
            EXPECT_EQ(outer.topLeft(),
                      QPoint((800 - outer.width()) / 2, (600 - outer.height()) / 3));
            auto* rate38 = Control<QRadioButton>(d, kIdRate38400);
            EXPECT_TRUE(Control<QRadioButton>(d, kIdRate115200)->isChecked());
            auto* status = Control<QLabel>(d, kIdBypassStatus);
            auto* enable = Control<QPushButton>(d, kIdBypassEnable);
            auto* close = Control<QPushButton>(d, kIdBypassClose);
            EXPECT_EQ(status->text(), QStringLiteral(" Press \"Enable\" to start transfer."));

            Enable(d);
            EXPECT_EQ(enable->text(), QStringLiteral("Disable"));
            EXPECT_EQ(status->text(), QStringLiteral(" Waiting for data..."));
            EXPECT_FALSE(close->isEnabled());
            EXPECT_EQ(Speed(line.Line()), B115200);
            Enable(d);
            EXPECT_EQ(enable->text(), QStringLiteral("Enable"));
            EXPECT_EQ(status->text(), QStringLiteral(" Press \"Enable\" to start transfer."));
            EXPECT_TRUE(close->isEnabled());
            EXPECT_FALSE(d.Relaying());
            rate38->click();
            Enable(d);
            EXPECT_EQ(Speed(line.Line()), B38400);

            // The line across the dialog.
            const QImage image = Render(d);
            const QColor ink = image.pixelColor(100, 180);
            EXPECT_EQ(Matching(image, QRect(0, 170, 288, 20), [&](QColor c) { return c == ink; }),
                      Gdi(20, 180, 271, 181));
        });
}

TEST_F(BypassDialog, EachRequestGoesToTheSelectedUnitAndItsWholeAnswerComesBackInOrder) {
    Relaying([&](CBypassTransferDlg& d) {
        line.Send(kIdentifyFrame);
        d.OnTimer(kRelayTimer);
        ASSERT_FALSE(tap->packets.empty());
        EXPECT_EQ(tap->packets.back(), kIdentifyPacket);
        // The reply has the answer's own count, 10, though the request counted 1: 0x02, C,
        // the code '@', the 9 data bytes and the byte after them.
        const Bytes reply = line.Received(13);
        ResponseBuffer rx;
        ASSERT_EQ(SendSimpleCommand(0xC0, 0x40, rx, kSpinNormal), kLinkOk);
        Bytes expected = {0x02};
        expected.insert(expected.end(), rx.begin() + kRespCount, rx.begin() + kRespCount + 12);
        EXPECT_EQ(reply, expected);

        // Two at once (title, unit text): the second once the panel had its turn.
        const size_t before = tap->packets.size();
        line.Send({0x02, 0x01, 0xB6, 0xFF, 0x02, 0x01, 0xB5, 0xFF});
        d.OnTimer(kRelayTimer);
        QCoreApplication::processEvents();
        const Bytes replies = line.Received();
        ASSERT_EQ(tap->packets.size(), before + 2);
        EXPECT_EQ(tap->packets[before][4], 0xB6);
        EXPECT_EQ(tap->packets[before + 1][4], 0xB5);
        ASSERT_GT(replies.size(), 3u + replies[1] + 2);
        const size_t second = replies[1] + 3u;
        EXPECT_EQ(replies[2], 0x00) << "the title's answer first";
        EXPECT_EQ(replies[second + 2], 0x21) << "then the unit text's";
        EXPECT_EQ(replies.size(), second + replies[second + 1] + 3u);
    });
}

TEST_F(BypassDialog, AWholeFrameIsRelayedTheMomentItsLastByteArrives) {
    Relaying([&](CBypassTransferDlg&) {
        // No relay tick (100 ms) comes in these few turns of the event loop: the line's own
        // readiness starts the step.
        line.Send(kIdentifyFrame);
        for (int turn = 0; turn < 5; ++turn)
            QCoreApplication::processEvents();
        const Bytes reply = line.Received();
        ASSERT_EQ(reply.size(), 13u);
        EXPECT_EQ(reply[2], 0x40) << "the identify's answer";
    });
}

TEST_F(BypassDialog, ALineThatHangsUpIsLeftToTheTickInsteadOfWakingThePanelForEver) {
    Relaying([&](CBypassTransferDlg& d) {
        ASSERT_EQ(d.findChildren<QSocketNotifier*>().size(), 1);
        line.HangUp();
        for (int turn = 0; turn < 20; ++turn)
            QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(d.findChildren<QSocketNotifier*>().isEmpty()) << "still watching a dead line";
        EXPECT_TRUE(d.Relaying());
    });
}

TEST_F(BypassDialog, BrokenFramesNeverReachTheUnitAndAStalledOneIsDropped) {
    Relaying([&](CBypassTransferDlg& d) {
        const size_t before = tap->packets.size();
        line.Send({0x05, 0x01, 0xC0, 0xFF});  // no start byte
        line.Send({0x02, 0x00, 0xC0, 0xFF});  // a count of 0
        d.OnTimer(kRelayTimer);
        EXPECT_EQ(tap->packets.size(), before);
        EXPECT_TRUE(line.Received().empty());

        // A sender that stops half-way does not take the next request into its frame.
        line.Send({0x02, 0x03, 0xAB});
        d.OnTimer(kRelayTimer);
        clock.Advance(kFrameGapMs);
        d.OnTimer(kRelayTimer);
        line.Send(kIdentifyFrame);
        d.OnTimer(kRelayTimer);
        ASSERT_EQ(tap->packets.size(), before + 1);
        EXPECT_EQ(tap->packets.back(), kIdentifyPacket);
    });
}

TEST_F(BypassDialog, AnAnswerLeftOnTheLinkIsResetAwaySoTheNextIsNotOneBehind) {
    // One over-long answer: the link gives up after its header and leaves the rest waiting.
    rig->Unit(3)->Faults().corruption = SimCorruption::Oversize;
    rig->Unit(3)->Faults().corruptCount = 1;
    Relaying([&](CBypassTransferDlg& d) {
        line.Send(kIdentifyFrame);
        d.OnTimer(kRelayTimer);
        line.Received();
        EXPECT_EQ(rig->Port().PendingBytes(), 0u) << "the rest of the answer was reset away";
        // The next request gets its own answer: the title's, code 0x00 (not the identify's '@').
        line.Send({0x02, 0x01, 0xB6, 0xFF});
        d.OnTimer(kRelayTimer);
        const Bytes reply = line.Received();
        ASSERT_GT(reply.size(), 3u);
        EXPECT_EQ(reply[2], 0x00);
    });
}

TEST_F(BypassDialog, BytesSentWhileIdleWaitForEnableAndASilentUnitGivesACountOfZero) {
    rig->Unit(3)->Faults().answersLeft = 0;
    WhileOpen<CBypassTransferDlg>([&] { Touch(); },
                                  [&](CBypassTransferDlg& d) {
                                      line.Send(kIdentifyFrame);
                                      const size_t before = tap->packets.size();
                                      d.OnTimer(kRelayTimer);
                                      EXPECT_EQ(tap->packets.size(), before)
                                          << "idle: the relay does not run";
                                      Enable(d);
                                      d.OnTimer(kRelayTimer);
                                      // The request, then the two link resets after it
                                      // failed.
                                      ASSERT_EQ(tap->packets.size(), before + 3);
                                      EXPECT_EQ(tap->packets[before], kIdentifyPacket);
                                      EXPECT_EQ(line.Received(3), (Bytes{0x02, 0x00, 0x00}));
                                      Enable(d);
                                  });
}

TEST_F(BypassDialog, ALineThatCannotBeUsedEndsTheDialogAfterTheFailureBox) {
    SetSerialDevice("/nonexistent/ttyS0");
    TestPrompter().Expect(kMsgSerialFailure);
    QTimer guard;
    guard.setSingleShot(true);
    guard.callOnTimeout([] {
        if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            ADD_FAILURE() << "the dialog stayed open";
            open->reject();
        }
    });
    guard.start(3000);
    Touch();  // returns once the dialog has closed itself
    ASSERT_EQ(TestPrompter().shown.size(), 1u);
    EXPECT_EQ(TestPrompter().shown[0].caption, "Error");
    EXPECT_EQ(TestPrompter().shown[0].icon, PromptIcon::Stop);

    // Not a serial line at all: it opens, and Enable finds out.
    SetSerialDevice("/dev/null");
    WhileOpen<CBypassTransferDlg>([&] { Touch(); },
                                  [&](CBypassTransferDlg& d) {
                                      TestPrompter().Expect(kMsgGetCommState);
                                      TestPrompter().Expect(kMsgSerialFailure);
                                      Enable(d);
                                      QCoreApplication::processEvents();
                                      EXPECT_FALSE(d.isVisible());
                                  });
}

}  // namespace
