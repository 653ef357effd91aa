// The link's exchange over the ppdev backend, with a fake of the kernel's driver and the
// simulated rig behind it, against the same exchange over the in-process port: what the
// backend's system-call layer adds to an exchange (the driver's own time is not in it).

#include <benchmark/benchmark.h>

#include <memory>

#include "link/Commands.h"
#include "link/PanelState.h"
#include "platform/PortIo.h"
#include "platform/PpdevPort.h"
#include "sim/SimRig.h"
#include "tests/platform/FakePpdev.h"

namespace {

void BM_IdentifyOverTheInProcessPort(benchmark::State& state) {
    auto rig = SimRig::Standard();
    SetPortIo(&rig->Port());
    UnitIdentity identity{};
    for (auto _ : state)
        benchmark::DoNotOptimize(Identify(AddressOfUnit(3), identity));
    SetPortIo(nullptr);
}
BENCHMARK(BM_IdentifyOverTheInProcessPort);

void BM_IdentifyOverPpdev(benchmark::State& state) {
    auto rig = SimRig::Standard();
    FakePpdev driver(rig->Port(), "/dev/parport0");
    std::string error;
    auto port = OpenPpdevPort("/dev/parport0", driver, &error);
    if (!port) {
        state.SkipWithError(error.c_str());
        return;
    }
    SetPortIo(port.get());
    UnitIdentity identity{};
    for (auto _ : state)
        benchmark::DoNotOptimize(Identify(AddressOfUnit(3), identity));
    SetPortIo(nullptr);
}
BENCHMARK(BM_IdentifyOverPpdev);

}  // namespace
