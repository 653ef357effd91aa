// Writes the fuzzers' seed corpora: the blob of every shipped profile (behind its model code)
// and a few configuration files.
// Usage: kv4_fuzz_seeds DIR  (creates DIR/menu and DIR/config)

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "sim/BlobEncoder.h"
#include "sim/SimProfile.h"

namespace {

void Write(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kv4_fuzz_seeds DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir / "menu");
    std::filesystem::create_directories(dir / "config");
    for (const std::string& name : ShippedProfileNames()) {
        const SimProfile profile = ShippedProfile(name);
        const auto blob = EncodeMenuBlob(profile);
        std::string bytes(1, static_cast<char>(profile.model));
        bytes.append(blob.begin(), blob.end());
        Write(dir / "menu" / name, bytes);
    }
    Write(dir / "config" / "full",
          "[DISPLAY]\r\nSTATUS=OFF\r\n[MOUSE]\r\nVISIBLE=TRUE\r\n[ROUTER]\r\nENABLED=TRUE\r\n"
          "POLARITY=LOW\r\nDWELL_FRAMES=  25 frames\r\n[TALLY_UNIT_SELECT]\r\nENABLED=TRUE");
    Write(dir / "config" / "odd", "x\n[[ROUTER]]\nENABLED = TRUE\n[ ROUTER ]\n=\n[]\n[tally]\n");
    return 0;
}
