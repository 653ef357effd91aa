#include <gtest/gtest.h>

#include <vector>

#include "platform/Power.h"

namespace {

struct Started {
    QString program;
    QStringList arguments;
};

TEST(SystemPower, OnlyAKioskIsSwitchedOffAndEitherWayTheProgramEndsWithStatusOne) {
    std::vector<Started> started;
    std::vector<int> ended;
    auto start = [&started](const QString& program, const QStringList& arguments) {
        started.push_back({program, arguments});
        return true;
    };
    auto end = [&ended](int status) { ended.push_back(status); };

    SystemPower desktop(false, end, start);
    testing::internal::CaptureStderr();
    desktop.PowerOff();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kv4panel: not a kiosk (no --kiosk): the PC stays on; ending with status 1\n");
    EXPECT_TRUE(started.empty()) << "a desktop never runs systemctl";
    EXPECT_EQ(ended, std::vector<int>{1});

    SystemPower kiosk(true, end, start);
    testing::internal::CaptureStderr();
    kiosk.PowerOff();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kv4panel: powering the panel PC off (systemctl poweroff)\n");
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].program, QStringLiteral("systemctl"));
    EXPECT_EQ(started[0].arguments, QStringList{QStringLiteral("poweroff")});
    EXPECT_EQ(ended, (std::vector<int>{1, 1}));

    // A refused power-off (no session, no rule for the user) is in the journal too.
    SystemPower refused(true, end, [](const QString&, const QStringList&) { return false; });
    testing::internal::CaptureStderr();
    refused.PowerOff();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kv4panel: powering the panel PC off (systemctl poweroff)\n"
              "kv4panel: the power-off failed (systemctl poweroff); ending with status 1\n");
    EXPECT_EQ(ended, (std::vector<int>{1, 1, 1}));
}

}  // namespace
