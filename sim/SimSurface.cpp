#include "sim/SimSurface.h"

#include <algorithm>

namespace {

constexpr uint8_t kAnswerType = 1;
constexpr uint8_t kStatus = 3;
constexpr uint8_t kLampsCommand = 4;
constexpr uint8_t kConfigure = 5;
constexpr uint8_t kReset = 6;
constexpr uint8_t kVersion = 10;

std::vector<uint8_t> ShortAnswer(std::vector<uint8_t> data) {
    data.insert(data.begin(), {kAnswerType, static_cast<uint8_t>(data.size() + 2)});
    return data;
}

}  // namespace

std::optional<std::vector<uint8_t>> SimSurface::Handle(const std::vector<uint8_t>& packet) {
    if (m_silent || packet.size() < 2) return std::nullopt;
    switch (packet[0]) {
        case kStatus:
            return Status();
        case kLampsCommand:
            if (packet.size() >= 2 + kLamps)
                std::copy_n(packet.begin() + 2, kLamps, m_lamps.begin());
            return ShortAnswer({});
        case kConfigure:
            if (packet.size() >= 6) std::copy_n(packet.begin() + 2, 4, m_configuration.begin());
            return ShortAnswer({});
        case kReset:
            ++m_resets;
            return ShortAnswer({});
        case kVersion:
            return ShortAnswer({m_version.begin(), m_version.end()});
        default:
            return ShortAnswer({});
    }
}

std::vector<uint8_t> SimSurface::Status() {
    ++m_statusReads;
    std::vector<uint8_t> data(23, 0);
    std::copy(m_keys.begin(), m_keys.end(), data.begin());
    for (int k = 0; k < kKnobs; ++k) {
        const auto movement = static_cast<uint16_t>(static_cast<int16_t>(m_movement[k]));
        data[6 + 2 * k] = static_cast<uint8_t>(movement & 0xFF);
        data[7 + 2 * k] = static_cast<uint8_t>(movement >> 8);
    }
    data[22] = m_fanFailed ? 0 : 1;
    // Presses and movements are reported once.
    m_keys.fill(0);
    m_movement.fill(0);
    return ShortAnswer(data);
}

void SimSurface::TurnKnob(int knob, int steps) {
    if (knob < 0 || knob >= kKnobs) return;
    m_movement[knob] = std::clamp(m_movement[knob] + steps, -32768, 32767);
}

void SimSurface::PressKey(int row, uint8_t bit) {
    if (row >= 0 && row < kKeyRows) m_keys[row] |= bit;
}

bool SimSurface::InputPending() const {
    return std::any_of(m_keys.begin(), m_keys.end(), [](uint8_t k) { return k != 0; }) ||
           std::any_of(m_movement.begin(), m_movement.end(), [](int m) { return m != 0; });
}
