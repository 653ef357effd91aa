// Parse time of menu blobs. A 64 KB blob takes about 130 ms to cross a real EPP link; the
// parse should add well under 1% to that.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "link/MenuDatabase.h"
#include "platform/PortIo.h"
#include "sim/BlobEncoder.h"
#include "sim/SimProfile.h"

namespace {

// Every exchange of the parse (identify, lock tables) fails at once, so only parsing counts.
class ZeroPort final : public PortIo {
public:
    uint8_t Read(uint16_t port) override { return port == 889 ? 0x80 : 0; }
    void Write(uint16_t, uint8_t) override {}
};

// A unit that fills every table: its blob comes close to the 64 KB block.
SimProfile FullProfile() {
    SimProfile p;
    p.model = 11;
    for (int id = 0; id <= 128; ++id) {
        SimControl c;
        c.id = id;
        c.name = "Control " + std::to_string(id) + "#C" + std::to_string(id);
        c.extra = "extra text";
        c.maxValue = 255;
        c.maxDisplay = 100;
        c.labels = {{"Low end", "High end"}, {"Left", "Right"}, {"Soft", "Hard"}};
        p.controls.push_back(c);
    }
    for (int id = 128; id < 255; ++id) {
        SimSwitch s;
        s.id = id;
        s.maxValue = 3;
        s.states = {"State zero#Z", "State one", "State two", "State three"};
        p.switches.push_back(s);
    }
    for (int id = 0; id < 64; ++id) {
        SimMenu m;
        m.id = id;
        m.items.assign(20, 255);
        m.name = "Menu " + std::to_string(id);
        m.title = "Title of menu " + std::to_string(id);
        p.menus.push_back(m);
    }
    for (int id = 0; id < 200; ++id)
        p.messages.push_back({id, 0, "Message " + std::to_string(id),
                              std::string(120, 'm') + " " + std::to_string(id)});
    return p;
}

// The message that tops a blob up to its size; FullProfile's last message is left out for it.
constexpr int kPaddingMessageId = 199;
const std::string kPaddingText = "Padding";

struct SizedBlob {
    std::vector<uint8_t> bytes;  // empty when no blob of the size could be made
    size_t entries = 0;          // of FullProfile, the padding message not counted
    size_t paddingBytes = 0;     // the body of the padding message
};

// A blob of exactly `bytes` bytes made of FullProfile's entries: the first ones of each section
// in an even mix, so every size holds controls, switches, menus and messages in the proportions
// of the full block, then one message whose body fills what is left: tens of bytes, a few
// hundred at 64 KB, where every entry of FullProfile is in.
SizedBlob BlobOfSize(size_t bytes) {
    SimProfile full = FullProfile();
    std::erase_if(full.messages, [](const SimMessage& m) { return m.id == kPaddingMessageId; });

    // Every entry by its relative place in its own section (entry i of n at (i + 0.5) / n), so
    // any prefix of this order takes about the same share of each section.
    struct Slot {
        double place;
        int section;
    };
    const std::array<size_t, 4> sizes = {full.controls.size(), full.switches.size(),
                                         full.menus.size(), full.messages.size()};
    std::vector<Slot> order;
    for (int section = 0; section < 4; ++section)
        for (size_t i = 0; i < sizes[section]; ++i)
            order.push_back({(i + 0.5) / static_cast<double>(sizes[section]), section});
    std::stable_sort(order.begin(), order.end(),
                     [](const Slot& a, const Slot& b) { return a.place < b.place; });

    // The profile of the first `entries` of that order, with a padding message of bodyLength.
    const auto profileOf = [&](size_t entries, size_t bodyLength) {
        std::array<size_t, 4> taken{};
        for (size_t e = 0; e < entries; ++e)
            ++taken[order[e].section];
        SimProfile p = full;
        p.controls.resize(taken[0]);
        p.switches.resize(taken[1]);
        p.menus.resize(taken[2]);
        p.messages.resize(taken[3]);
        p.messages.push_back({kPaddingMessageId, 0, kPaddingText, std::string(bodyLength, 'p')});
        return p;
    };

    // The most entries that leave room for the padding message with an empty body.
    size_t low = 0;
    size_t high = order.size();
    if (EncodeMenuBlob(profileOf(0, 0)).size() > bytes) return {};
    while (low < high) {
        const size_t mid = (low + high + 1) / 2;
        if (EncodeMenuBlob(profileOf(mid, 0)).size() <= bytes)
            low = mid;
        else
            high = mid - 1;
    }
    const size_t rest = bytes - EncodeMenuBlob(profileOf(low, 0)).size();
    SizedBlob blob{EncodeMenuBlob(profileOf(low, rest)), low, rest};
    if (blob.bytes.size() != bytes) return {};
    return blob;
}

void ParseBlob(benchmark::State& state, const std::vector<uint8_t>& blob) {
    static ZeroPort port;
    ResetPanelState();
    SetPortIo(&port);
    auto block = std::make_unique<MenuBlock>();
    std::memcpy(block->bytes, blob.data(), std::min(blob.size(), sizeof block->bytes));
    g_selectedUnit = 0x10;
    for (auto _ : state) {
        g_unitIdentity.ModelCode = 11;
        ParseMenuBlob(*block, 20);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * blob.size()));
    state.counters["blob_bytes"] = static_cast<double>(blob.size());
    SetPortIo(nullptr);
}

void BM_ParseLargestShippedProfile(benchmark::State& state) {
    size_t largest = 0;
    std::vector<uint8_t> blob;
    for (const std::string& name : ShippedProfileNames()) {
        auto encoded = EncodeMenuBlob(ShippedProfile(name));
        if (encoded.size() > largest) {
            largest = encoded.size();
            blob = std::move(encoded);
        }
    }
    ParseBlob(state, blob);
}
BENCHMARK(BM_ParseLargestShippedProfile)->Unit(benchmark::kMicrosecond);

void BM_ParseFullBlock(benchmark::State& state) {
    ParseBlob(state, EncodeMenuBlob(FullProfile()));
}
BENCHMARK(BM_ParseFullBlock)->Unit(benchmark::kMicrosecond);

// Parse time against blob size, 4 KB to the full 64 KB block: it should grow with the size and
// no faster.
void BM_ParseBlobOfSize(benchmark::State& state) {
    const SizedBlob blob = BlobOfSize(static_cast<size_t>(state.range(0)));
    if (blob.bytes.empty()) {
        state.SkipWithError("no blob of that size");
        return;
    }
    ParseBlob(state, blob.bytes);
    state.SetComplexityN(static_cast<int64_t>(blob.bytes.size()));
    state.counters["entries"] = static_cast<double>(blob.entries);
    state.counters["padding_bytes"] = static_cast<double>(blob.paddingBytes);
}
BENCHMARK(BM_ParseBlobOfSize)
    ->RangeMultiplier(2)
    ->Range(4 << 10, 64 << 10)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
