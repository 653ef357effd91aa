// Test main of every test program: a QApplication on the offscreen platform, and the recording
// seams installed fresh for each test.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>

#include "platform/Clock.h"
#include "platform/Launcher.h"
#include "platform/PortIo.h"
#include "platform/Power.h"
#include "platform/Prompter.h"
#include "tests/support/RecordingSeams.h"
#include "widgets/Resources.h"

namespace {

class SeamReset final : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override {
        TestPrompter().Reset();
        TestLauncher() = RecordingLauncher();
        TestPower() = RecordingPower();
        SetPrompter(&TestPrompter());
        SetLauncher(&TestLauncher());
        SetPower(&TestPower());
        SetPortIo(nullptr);
        SetClock(nullptr);
    }
    void OnTestEnd(const testing::TestInfo&) override { TestPrompter().ExpectDone(); }
};

}  // namespace

// Leaks of Qt itself that no test can avoid, for LeakSanitizer.
extern "C" const char* __lsan_default_suppressions() {
    // Qt 6.4: the flick recogniser QPdfView registers for its viewport is never freed.
    return "leak:QScroller::grabGesture\n";
}

// What a test program must set up before the application object exists; nothing by default.
__attribute__((weak)) void BeforeTestApplication() {}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    BeforeTestApplication();
    QApplication app(argc, argv);
    // The same face the program draws with, so rendered probes match it.
    UsePanelFaces();
    testing::InitGoogleTest(&argc, argv);
    // The seams are checked before the result printer reports the test, so a box that never
    // appeared shows up under the test that expected it.
    auto& listeners = testing::UnitTest::GetInstance()->listeners();
    auto* printer = listeners.Release(listeners.default_result_printer());
    listeners.Append(new SeamReset);
    if (printer) listeners.Append(printer);
    return RUN_ALL_TESTS();
}
