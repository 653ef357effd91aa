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
    desktop.PowerOff();
    EXPECT_TRUE(started.empty()) << "a desktop never runs systemctl";
    EXPECT_EQ(ended, std::vector<int>{1});

    SystemPower kiosk(true, end, start);
    kiosk.PowerOff();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].program, QStringLiteral("systemctl"));
    EXPECT_EQ(started[0].arguments, QStringList{QStringLiteral("poweroff")});
    EXPECT_EQ(ended, (std::vector<int>{1, 1}));
}

}  // namespace
