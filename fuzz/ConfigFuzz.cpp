// Feeds arbitrary bytes, up to the reader's 1 MiB, to the configuration reader and looks up what
// the panel looks up.

#include "link/ConfigFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ResetConfig();
    LoadConfigText(reinterpret_cast<const char*>(data), size);
    GetConfigValue("DISPLAY", "STATUS");
    GetConfigValue("ROUTER", "ENABLED");
    ConfigNumber(GetConfigValue("ROUTER", "DWELL_FRAMES"));
    FindConfigSection("ROUTER");
    AddConfigEntry("TALLY_UNIT_SELECT", "ENABLED", "TRUE", false);
    return 0;
}
