#include "sim/BlobEncoder.h"

std::vector<uint8_t> EncodeMenuBlob(const SimProfile&) {
    return {};  // being written
}
