#include "sim/SimAnswer.h"

#include <cstddef>

namespace {
constexpr uint8_t kHeaderByte = 0x5A;
constexpr uint8_t kTrailerByte = 0xFF;
}  // namespace

std::vector<uint8_t> WireBytes(const SimAnswer& answer) {
    const std::size_t length = 6 + answer.data.size() + static_cast<std::size_t>(answer.trailer);
    std::vector<uint8_t> bytes;
    bytes.reserve(length);
    for (uint8_t byte : {answer.type, static_cast<uint8_t>(length & 0xFF),
                         static_cast<uint8_t>(length >> 8), kHeaderByte,
                         static_cast<uint8_t>(answer.data.size() + 1), answer.code})
        bytes.push_back(byte);
    bytes.insert(bytes.end(), answer.data.begin(), answer.data.end());
    bytes.insert(bytes.end(), static_cast<std::size_t>(answer.trailer), kTrailerByte);
    return bytes;
}
