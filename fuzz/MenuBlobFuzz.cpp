// Feeds arbitrary bytes to the menu-blob parser. Byte 0 is the unit's model code, bytes 1-2
// (low byte first) the length of the answers that follow them; the unit plays those answers
// to the identify and the lock-table reads the parse makes. The rest is the block, up to its
// full 64 KB.

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/FuzzPort.h"
#include "link/MenuDatabase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzPort port;
    static auto block = std::make_unique<MenuBlock>();
    if (size < 3) return 0;
    const size_t answers = std::min<size_t>(data[1] | data[2] << 8, size - 3);
    const uint8_t* blob = data + 3 + answers;
    const size_t blobSize = std::min(size - 3 - answers, sizeof block->bytes);
    InstallFuzzFarEnd(port);
    ResetPanelState();
    g_selectedUnit = 0x10;
    g_unitIdentity.ModelCode = data[0];
    port.Play(data + 3, answers);
    std::memset(block->bytes, 0, sizeof block->bytes);
    std::memcpy(block->bytes, blob, blobSize);
    ParseMenuBlob(*block, IsModelGroupA(data[0]) ? 12 : 20);
    // The state labels the panel shows for a switch come from its parsed records.
    for (int s = 0; s < kSwitchCount; s += 17) {
        std::string text = "one,two,three";
        CurrentStateLabel(s, text);
    }
    return 0;
}
