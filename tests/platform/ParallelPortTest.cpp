#include <gtest/gtest.h>

#include "platform/ParallelPort.h"

namespace {

TEST(PortLocation, AcceptsPpdevDevicesAndIoBaseAddresses) {
    std::string error;
    auto ppdev = ParsePortLocation("ppdev:/dev/parport1", &error);
    ASSERT_TRUE(ppdev);
    EXPECT_EQ(ppdev->kind, PortLocation::Kind::Ppdev);
    EXPECT_EQ(ppdev->device, "/dev/parport1");

    auto io = ParsePortLocation("io:0x278", &error);
    ASSERT_TRUE(io);
    EXPECT_EQ(io->kind, PortLocation::Kind::IoPorts);
    EXPECT_EQ(io->base, 0x278);

    auto byDefault = ParsePortLocation(kDefaultPort, &error);
    ASSERT_TRUE(byDefault);
    EXPECT_EQ(byDefault->device, "/dev/parport0");
}

TEST(PortLocation, RefusesUnusableValuesWithAReason) {
    for (const char* bad : {"", "lpt1", "ppdev:", "ppdev:parport0", "io:", "io:0x", "io:zz",
                            "io:0x378x", "io:0", "io:0x10000", "io:-1"}) {
        std::string error;
        EXPECT_FALSE(ParsePortLocation(bad, &error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
        EXPECT_EQ(error.find('\n'), std::string::npos) << bad;
    }
}

TEST(ParallelPort, AMissingDeviceIsReportedNotFatal) {
    std::string error;
    PortLocation location;
    location.device = "/dev/no-such-parport";
    EXPECT_EQ(OpenParallelPort(location, &error), nullptr);
    EXPECT_NE(error.find("/dev/no-such-parport"), std::string::npos) << error;
}

}  // namespace
