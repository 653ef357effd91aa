// Feeds arbitrary bytes to the menu-blob parser: the first byte is the unit's model code, the
// rest is the block. The unit behind the port answers nothing useful, as a broken one would.

#include <cstring>
#include <memory>

#include "link/MenuDatabase.h"
#include "platform/PortIo.h"

namespace {

// An answer is always waiting and reads as zeros: every exchange fails at once.
class ZeroPort final : public PortIo {
public:
    uint8_t Read(uint16_t port) override { return port == 889 ? 0x80 : 0; }
    void Write(uint16_t, uint8_t) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ZeroPort port;
    static auto block = std::make_unique<MenuBlock>();
    if (size == 0) return 0;
    SetPortIo(&port);
    ResetPanelState();
    g_selectedUnit = 0x10;
    g_unitIdentity.ModelCode = data[0];
    std::memset(block->bytes, 0, sizeof block->bytes);
    std::memcpy(block->bytes, data + 1, std::min(size - 1, sizeof block->bytes));
    ParseMenuBlob(*block, IsModelGroupA(data[0]) ? 12 : 20);
    return 0;
}
