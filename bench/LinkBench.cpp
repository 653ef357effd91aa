// How much the link adds to each register access. A real ISA/LPC port access costs about 1 us;
// the link's own share should stay below 20 ns.

#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "link/EppLink.h"
#include "platform/PortIo.h"

namespace {

// A port in memory that always has the same answer waiting.
class ReplayPort final : public PortIo {
public:
    explicit ReplayPort(std::vector<uint8_t> answer) : m_answer(std::move(answer)) {}
    uint8_t Read(uint16_t port) override {
        ++accesses;
        if (port == kStatusPort) return kStatusReady;  // an answer is waiting
        const uint8_t byte = m_answer[m_next];
        m_next = m_next + 1 == m_answer.size() ? 0 : m_next + 1;
        return byte;
    }
    void Write(uint16_t, uint8_t) override { ++accesses; }
    uint64_t accesses = 0;

private:
    std::vector<uint8_t> m_answer;
    size_t m_next = 0;
};

std::vector<uint8_t> FullAnswer() {
    // L = 261 (low byte first); C cannot count 255 data bytes and stays at 255.
    std::vector<uint8_t> bytes = {9, 0x05, 0x01, 0, 0xFF, 2};
    for (int i = 0; i < 255; ++i)
        bytes.push_back(static_cast<uint8_t>(i));
    return bytes;
}

void BM_ReceiveFullResponse(benchmark::State& state) {
    ReplayPort port(FullAnswer());
    SetPortIo(&port);
    std::array<uint8_t, kResponseSize> buffer;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReceiveResponse(buffer.data(), kSpinNormal));
        benchmark::ClobberMemory();
    }
    state.counters["time_per_access"] =
        benchmark::Counter(static_cast<double>(port.accesses),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["accesses_per_answer"] =
        static_cast<double>(port.accesses) / static_cast<double>(state.iterations());
    SetPortIo(nullptr);
}
BENCHMARK(BM_ReceiveFullResponse);

}  // namespace

BENCHMARK_MAIN();
