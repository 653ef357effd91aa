// The ppdev backend against a fake of the kernel's driver (tests/platform/FakePpdev.h) with the
// simulated rig behind it: the link's exchanges give the same register conversation as over
// the in-process port, a unit that falls silent in the middle of an answer gives the link's
// result code and never a hang in the driver, and a port without EPP is refused in words.

#include <gtest/gtest.h>

#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <cstring>
#include <memory>
#include <tuple>
#include <vector>

#include "link/Commands.h"
#include "link/PanelHost.h"
#include "link/PanelState.h"
#include "link/UnitOperations.h"
#include "platform/ParallelPort.h"
#include "platform/PpdevPort.h"
#include "sim/SimRig.h"
#include "tests/platform/FakePpdev.h"

namespace {

constexpr const char* kDevice = "/dev/parport0";

// Every register access, in order: (port, value, written).
using Conversation = std::vector<std::tuple<uint16_t, uint8_t, bool>>;

class RecordingPort final : public PortIo {
public:
    explicit RecordingPort(PortIo& inner) : m_inner(inner) {}
    uint8_t Read(uint16_t port) override {
        const uint8_t value = m_inner.Read(port);
        log.emplace_back(port, value, false);
        return value;
    }
    void Write(uint16_t port, uint8_t value) override {
        m_inner.Write(port, value);
        log.emplace_back(port, value, true);
    }
    Conversation log;

private:
    PortIo& m_inner;
};

// What the panel's link start, scan and selection send: the surface configured, its lamps
// cleared and read, the four units, the selected unit's values, menu blob and file list.
std::vector<LinkStatus> Exchanges() {
    std::vector<LinkStatus> results;
    results.push_back(ConfigurePanel(17, 16, 8, 4));
    uint8_t lamps[kLampBytes];
    DarkLamps(lamps);
    results.push_back(SetPanelLamps(lamps));
    uint8_t version[kPanelVersionLength] = {};
    results.push_back(ReadPanelVersion(version));
    results.push_back(ReadPanelStatus());
    for (int unit = 1; unit <= kUnitCount; ++unit) {
        UnitIdentity identity;
        results.push_back(Identify(AddressOfUnit(unit), identity));
    }
    g_selectedUnit = AddressOfUnit(3);
    results.push_back(ReadValues());
    auto block = std::make_unique<MenuBlock>();
    results.push_back(DownloadMenuBlob(*block));
    results.push_back(ReadFileList(FileList::Files));
    return results;
}

struct LinkRun {
    std::vector<LinkStatus> results;
    Conversation conversation;
};

LinkRun OverPort(PortIo& port) {
    ResetPanelState();
    RecordingPort recording(port);
    SetPortIo(&recording);
    LinkRun run;
    run.results = Exchanges();
    SetPortIo(nullptr);
    run.conversation = std::move(recording.log);
    return run;
}

TEST(PpdevContract, TheLinkSaysTheSameOverTheDriverAsOverTheInProcessPort) {
    auto direct = SimRig::Standard();
    const LinkRun expected = OverPort(direct->Port());

    auto rig = SimRig::Standard();
    FakePpdev driver(rig->Port(), kDevice);
    std::string error;
    auto port = OpenPpdevPort(kDevice, driver, &error);
    ASSERT_NE(port, nullptr) << error;
    EXPECT_TRUE(driver.nonBlocking());
    EXPECT_TRUE(driver.closeOnExec()) << "a program the panel starts must not keep the port";
    EXPECT_TRUE(driver.exclusive());
    EXPECT_TRUE(driver.claimed());
    EXPECT_EQ(driver.mode(), IEEE1284_MODE_EPP);
    // Asked alone before the claim (afterwards the driver refuses), the mode set once claimed.
    const std::vector<unsigned long> order = {PPGETMODES, PPEXCL, PPCLAIM, PPSETMODE};
    EXPECT_EQ(driver.requests, order);

    const LinkRun got = OverPort(*port);
    EXPECT_EQ(got.results, expected.results);
    ASSERT_EQ(got.results.size(), 11u);
    EXPECT_EQ(got.results[0], kLinkOk);
    EXPECT_EQ(got.results.back(), kLinkOk);
    EXPECT_GT(got.conversation.size(), 10000u) << "the blob download is a long read";
    EXPECT_TRUE(got.conversation == expected.conversation) << "the register conversation differs";

    // The panel puts the data lines forward as it starts (bit 5 of the control register): the
    // driver takes the direction by its own call, the four control lines by another.
    port->Write(kLegacyPortBase + 2, 0x24);
    EXPECT_TRUE(driver.reverse());
    port->Write(kLegacyPortBase + 2, port->Read(kLegacyPortBase + 2) & ~0x20);
    EXPECT_FALSE(driver.reverse());
    EXPECT_EQ(port->Read(kLegacyPortBase + 2), 0x04);

    port.reset();
    EXPECT_FALSE(driver.claimed()) << "released";
    EXPECT_FALSE(driver.open()) << "closed";
}

TEST(PpdevContract, AUnitSilentInTheMiddleOfAnAnswerGivesTheLinksResultNeverAHang) {
    auto rig = SimRig::Standard();
    rig->Unit(3)->Faults().corruption = SimCorruption::CutShort;
    FakePpdev driver(rig->Port(), kDevice);
    std::string error;
    auto port = OpenPpdevPort(kDevice, driver, &error);
    ASSERT_NE(port, nullptr) << error;
    SetPortIo(port.get());
    UnitIdentity identity;
    const LinkStatus status = Identify(AddressOfUnit(3), identity);
    SetPortIo(nullptr);
    EXPECT_FALSE(driver.hung()) << "an EPP read waited in the driver";

    // The same as over the in-process port, whose cycle without a byte reads 0xFF.
    auto direct = SimRig::Standard();
    direct->Unit(3)->Faults().corruption = SimCorruption::CutShort;
    SetPortIo(&direct->Port());
    UnitIdentity directIdentity;
    EXPECT_EQ(status, Identify(AddressOfUnit(3), directIdentity));
    // An answer cut after its header cannot be told on the link: the missing bytes read as
    // the floating bus on both, and the identity is the same.
    EXPECT_EQ(std::memcmp(&identity, &directIdentity, sizeof identity), 0);
    EXPECT_EQ(identity.ModelCode, 0xFF) << "the bytes that never came";
    SetPortIo(nullptr);
}

TEST(PpdevContract, APortThatCannotBeUsedIsRefusedInWordsAndLeftAsItWas) {
    auto rig = SimRig::Standard();
    std::string error;

    FakePpdev noEpp(rig->Port(), kDevice);
    noEpp.modes = PARPORT_MODE_PCSPP | PARPORT_MODE_TRISTATE;
    EXPECT_EQ(OpenPpdevPort(kDevice, noEpp, &error), nullptr);
    EXPECT_EQ(error,
              std::string("the parallel port ") + kDevice + " cannot do EPP: " + kNoEppAdvice);
    EXPECT_FALSE(noEpp.open());

    FakePpdev printer(rig->Port(), kDevice);
    printer.heldByOtherDriver = true;
    EXPECT_EQ(OpenPpdevPort(kDevice, printer, &error), nullptr);
    EXPECT_NE(error.find("another driver, such as lp"), std::string::npos) << error;
    EXPECT_FALSE(printer.open());

    EXPECT_EQ(OpenPpdevPort("/dev/parport9", printer, &error), nullptr);
    EXPECT_NE(error.find("/dev/parport9"), std::string::npos) << error;

    // A signal while the claim waits for the port is no failure: the claim is made again.
    FakePpdev interrupted(rig->Port(), kDevice);
    interrupted.interruptNext = 2;
    EXPECT_NE(OpenPpdevPort(kDevice, interrupted, &error), nullptr) << error;
    EXPECT_EQ(interrupted.interruptNext, 0);
}

}  // namespace
