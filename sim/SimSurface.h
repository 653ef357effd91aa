#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The control surface's own hardware as the panel sees it over the link: eight knobs that
// count their movement, five rows of keys that remember presses, twelve lamp bytes, a fan.
class SimSurface {
public:
    static constexpr int kKnobs = 8;
    static constexpr int kKeyRows = 5;
    static constexpr int kLamps = 12;

    // A short-form request; the answer's bytes, or nothing when the surface stays silent.
    std::optional<std::vector<uint8_t>> Handle(const std::vector<uint8_t>& packet);

    // What an operator does at the surface.
    void TurnKnob(int knob, int steps);
    void PressKey(int row, uint8_t bit);
    void SetFanFailed(bool failed) { m_fanFailed = failed; }
    // Presses or movement the panel has not read yet.
    bool InputPending() const;
    // Failure mode: the surface answers nothing.
    void SetSilent(bool silent) { m_silent = silent; }

    const std::array<uint8_t, kLamps>& Lamps() const { return m_lamps; }
    const std::array<uint8_t, 4>& Configuration() const { return m_configuration; }
    int StatusReads() const { return m_statusReads; }
    int Resets() const { return m_resets; }

private:
    std::vector<uint8_t> Status();

    std::array<int, kKnobs> m_movement{};
    std::array<uint8_t, kKeyRows> m_keys{};
    std::array<uint8_t, kLamps> m_lamps{};
    std::array<uint8_t, 4> m_configuration{};
    std::string m_version = "1.07A";
    bool m_fanFailed = false;
    bool m_silent = false;
    int m_statusReads = 0;
    int m_resets = 0;
};
