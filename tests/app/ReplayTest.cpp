// A field fault recorded with the link trace and played back on the simulator: the panel,
// which cannot tell the replay from the units, shows the same alert and the same screen at the
// same point.

#include <QImage>
#include <QTemporaryDir>
#include <functional>

#include "app/remote/RemoteCommands.h"
#include "link/LinkTrace.h"
#include "link/MenuDatabase.h"
#include "tests/app/PanelFixture.h"
#include "tests/support/RecordingSeams.h"
#include "widgets/InfoPanel.h"

namespace {

constexpr uint8_t kCmdMenuBlob = 193;

class Replay : public PanelTest {
protected:
    struct Seen {
        std::vector<std::string> states;  // what the remote line reports after each step
        std::vector<std::string> alerts;
        QImage screen;
    };

    // The operator's session: the idle scan, the panel's key scan, then the poll loop.
    // betweenSteps(n) runs before step n: the recording presses the Cedar's key on the live
    // surface and injects its faults there; in the replay the trace carries all of it.
    Seen Session(const std::function<void(int)>& betweenSteps) {
        static constexpr int kTimers[] = {1, 3, 2, 2, 2, 2, 2};
        Seen seen;
        CMainPanelDlg& p = Start();
        for (int step = 0; step < static_cast<int>(std::size(kTimers)); ++step) {
            betweenSteps(step);
            p.OnTimer(kTimers[step]);
            seen.states.push_back(CRemoteCommands::StateJson(p));
            seen.alerts.push_back(p.m_infoPanel->Alert());
            betweenSteps(step);
        }
        seen.screen = p.grab().toImage();
        return seen;
    }

    // Back to a panel just started, on a fresh rig that answers from the trace at path.
    void StartReplaying(const std::string& path) {
        panel.reset();
        ResetPanelState();
        ResetConfig();
        clock.Set(0);
        rig = SimRig::Standard();
        std::string error;
        ASSERT_TRUE(rig->Replay(path, &error)) << error;
        SetPortIo(&rig->Port());
    }
};

TEST_F(Replay, ACorruptedMenuBlobAndThenSilenceLookTheSameFromTheTrace) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("fault.pcapng").toStdString();
    CLinkTrace trace;
    std::string error;
    ASSERT_TRUE(trace.Open(path, kTraceDefaultMaxBytes, &error)) << error;
    g_linkTrace = &trace;
    SimUnit& cedar = *rig->Unit(3);
    cedar.Faults().corruption = SimCorruption::WrongType;
    cedar.Faults().corruptCommand = kCmdMenuBlob;
    cedar.Faults().corruptCount = kMenuDownloadAttempts;  // one whole download fails
    const Seen recorded = Session([this, &cedar](int step) {
        if (step == 0 || step == 1) Press(3, 0x01);  // selects, then tries again
        if (step == 3) cedar.Faults().answersLeft = 0;
    });
    g_linkTrace = nullptr;
    trace.Close();

    // What the operator saw: the menus could not be read, then the unit was lost.
    ASSERT_EQ(recorded.alerts.front(), "Error retrieving menus!");
    ASSERT_EQ(recorded.alerts[2], "");
    ASSERT_EQ(recorded.alerts.back(), "Lost communication with Main Unit!");

    // The fresh rig has no fault: whatever goes wrong now comes from the trace.
    StartReplaying(path);
    const Seen replayed = Session([](int) {});
    for (size_t step = 0; step < recorded.states.size(); ++step) {
        EXPECT_EQ(replayed.alerts[step], recorded.alerts[step]) << "after step " << step;
        EXPECT_EQ(replayed.states[step], recorded.states[step]) << "after step " << step;
    }
    EXPECT_TRUE(replayed.screen == recorded.screen) << "the same screen, pixel for pixel";
    EXPECT_TRUE(TestPrompter().shown.empty());
}

}  // namespace
