#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "link/Commands.h"
#include "platform/Clock.h"
#include "tests/support/ScriptedPort.h"

// Unit 2 is selected; every test starts from the panel's start-up state with a scripted port
// and a virtual clock.
class CommandTest : public testing::Test {
protected:
    void SetUp() override {
        ResetPanelState();
        g_selectedUnit = kUnit;
        SetClock(&clock);
    }
    void TearDown() override {
        port.ExpectDone();
        SetClock(nullptr);
    }

    static constexpr UnitAddress kUnit = 0x20;
    static constexpr uint8_t kWireAddress = 0x22;

    ScriptedPort port;
    VirtualClock clock;
};

// A long-form request as the unit expects it: 0x08, N + 5, address + 2, N, code, params, 0xFF.
inline std::vector<uint8_t> Request(uint8_t wireAddress, uint8_t code,
                                    std::vector<uint8_t> params = {}) {
    const auto n = static_cast<uint8_t>(params.size() + 1);
    std::vector<uint8_t> bytes = {0x08, static_cast<uint8_t>(n + 5), wireAddress, n, code};
    bytes.insert(bytes.end(), params.begin(), params.end());
    bytes.push_back(0xFF);
    return bytes;
}

inline std::vector<uint8_t> Bytes(int count, uint8_t first = 0) {
    std::vector<uint8_t> bytes(count);
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(first + i);
    return bytes;
}

// A 28-byte list entry: word, second word, 24-byte zero-padded name.
inline std::vector<uint8_t> ListEntry(uint16_t id, uint16_t word2, const std::string& name) {
    std::vector<uint8_t> bytes = {static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id),
                                  static_cast<uint8_t>(word2 >> 8), static_cast<uint8_t>(word2)};
    std::vector<uint8_t> field(24, 0);
    std::copy(name.begin(), name.end(), field.begin());
    bytes.insert(bytes.end(), field.begin(), field.end());
    return bytes;
}
