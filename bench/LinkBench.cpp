// How much the link adds to each register access. A real ISA/LPC port access costs about 1 us;
// the link's own share should stay below 20 ns, and an exchange should not allocate.

#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <vector>

#include "link/Commands.h"
#include "link/LinkTrace.h"
#include "platform/PortIo.h"

namespace {

std::atomic<uint64_t> g_allocations{0};

// A port in memory that always has an answer waiting: it plays the given answers in turn.
class ReplayPort final : public PortIo {
public:
    explicit ReplayPort(std::vector<std::vector<uint8_t>> answers)
        : m_answers(std::move(answers)) {}
    uint8_t Read(uint16_t port) override {
        ++accesses;
        if (port == kStatusPort) return kStatusReady;
        const auto& answer = m_answers[m_answer];
        const uint8_t byte = answer[m_next];
        if (++m_next == answer.size()) {
            m_next = 0;
            m_answer = (m_answer + 1) % m_answers.size();
        }
        return byte;
    }
    void Write(uint16_t, uint8_t) override { ++accesses; }
    uint64_t accesses = 0;

private:
    std::vector<std::vector<uint8_t>> m_answers;
    size_t m_answer = 0;
    size_t m_next = 0;
};

std::vector<uint8_t> WireAnswer(uint8_t code, uint8_t count, int dataBytes) {
    const int length = dataBytes + 6;
    std::vector<uint8_t> bytes = {
        9, static_cast<uint8_t>(length & 0xFF), static_cast<uint8_t>(length >> 8), 0, count, code};
    for (int i = 0; i < dataBytes; ++i)
        bytes.push_back(static_cast<uint8_t>(i));
    return bytes;
}

void ReportPerAccess(benchmark::State& state, const ReplayPort& port, uint64_t allocations) {
    state.counters["time_per_access"] =
        benchmark::Counter(static_cast<double>(port.accesses),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    const double iterations = static_cast<double>(state.iterations());
    state.counters["accesses"] = static_cast<double>(port.accesses) / iterations;
    state.counters["allocs"] = static_cast<double>(allocations) / iterations;
}

void BM_ReceiveFullResponse(benchmark::State& state) {
    // L = 261: 255 data bytes (C cannot count that many and stays at 255).
    ReplayPort port({WireAnswer(2, 255, 255)});
    SetPortIo(&port);
    std::array<uint8_t, kResponseSize> buffer;
    const uint64_t before = g_allocations;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReceiveResponse(buffer.data(), kSpinNormal));
        benchmark::ClobberMemory();
    }
    ReportPerAccess(state, port, g_allocations - before);
    SetPortIo(nullptr);
}
BENCHMARK(BM_ReceiveFullResponse);

// One whole value read: two requests, two answers, all controls and switches stored.
void BM_ReadValues(benchmark::State& state) {
    ReplayPort port({WireAnswer(2, 255, 254), WireAnswer('%', 131, 130)});
    SetPortIo(&port);
    g_selectedUnit = 0x10;
    const uint64_t before = g_allocations;
    for (auto _ : state) {
        if (ReadValues() != kLinkOk) state.SkipWithError("ReadValues failed");
    }
    ReportPerAccess(state, port, g_allocations - before);
    SetPortIo(nullptr);
}
BENCHMARK(BM_ReadValues);

// One identify exchange without and with the link trace (--trace), which writes one packet per
// exchange to a file that starts again past 64 MiB. The trace should add at most 2 us and no
// allocation.
void BM_IdentifyTraced(benchmark::State& state) {
    const bool traced = state.range(0) != 0;
    ReplayPort port({WireAnswer('@', 10, 9)});
    SetPortIo(&port);
    CLinkTrace trace;
    const std::string path =
        (std::filesystem::temp_directory_path() / "kv4-bench-trace.pcapng").string();
    std::string error;
    if (traced) {
        if (!trace.Open(path, 64ull << 20, &error)) state.SkipWithError(error.c_str());
        g_linkTrace = &trace;
    }
    UnitIdentity identity{};
    const uint64_t before = g_allocations;
    for (auto _ : state) {
        if (Identify(0x10, identity) != kLinkOk) state.SkipWithError("Identify failed");
    }
    ReportPerAccess(state, port, g_allocations - before);
    g_linkTrace = nullptr;
    trace.Close();
    std::filesystem::remove(path);
    std::filesystem::remove(path + ".1");
    SetPortIo(nullptr);
}
BENCHMARK(BM_IdentifyTraced)->ArgName("traced")->Arg(0)->Arg(1);

}  // namespace

// Counts every allocation the benchmarks make.
void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

BENCHMARK_MAIN();
