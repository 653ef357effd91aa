// Parse time of menu blobs. A 64 KB blob takes about 130 ms to cross a real EPP link; the
// parse should add well under 1% to that.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

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

void ParseBlob(benchmark::State& state, const std::vector<uint8_t>& blob) {
    static ZeroPort port;
    SetPortIo(&port);
    auto block = std::make_unique<MenuBlock>();
    std::memcpy(block->bytes, blob.data(), std::min(blob.size(), sizeof block->bytes));
    g_selectedUnit = 0x10;
    for (auto _ : state) {
        g_unitIdentity.ModelCode = 11;
        ParseMenuBlob(*block, 20);
    }
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

}  // namespace
