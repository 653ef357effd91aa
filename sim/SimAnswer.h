#pragma once

#include <cstdint>
#include <vector>

// One long-form answer of a simulated unit before it goes on the wire.
struct SimAnswer {
    uint8_t type = 9;
    uint8_t code = 0;
    std::vector<uint8_t> data;
    // Bytes on the wire after the data that C does not count (set-value answers carry one).
    int trailer = 0;
};

// The answer on the wire: type, L low, L high, header byte, C, code, data, trailer.
std::vector<uint8_t> WireBytes(const SimAnswer& answer);
