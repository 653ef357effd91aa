// Builds the About box's text from arbitrary bytes: byte 0 is the unit's model code, byte 1 says
// whether it has alternative menus, byte 2 how many of the following bytes are message 0 (the
// template); the rest is played as the unit's answer to the unit-information read.

#include <algorithm>
#include <string>

#include "dialogs/AboutText.h"
#include "fuzz/FuzzPort.h"
#include "link/Commands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzPort port;
    if (size < 3) return 0;
    InstallFuzzFarEnd(port);
    g_selectedUnit = 0x10;
    const size_t templateLength = std::min<size_t>(data[2], size - 3);
    const std::string templateText(reinterpret_cast<const char*>(data + 3), templateLength);
    port.Play(data + 3 + templateLength, size - 3 - templateLength);
    UnitInfoBuffer info{};
    ReadUnitInfo(info);
    UnitAboutText(info, templateText, data[0], data[1] & 1);
    return 0;
}
