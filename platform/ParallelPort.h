#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/PortIo.h"

// Where the real parallel port is reached:
//   ppdev:/dev/parport0  through the kernel's ppdev driver in EPP mode (no root needed)
//   io:0x378             by direct port I/O at that base address (root only, x86 only)
struct PortLocation {
    enum class Kind { Ppdev, IoPorts };
    Kind kind = Kind::Ppdev;
    std::string device;     // ppdev: the device node
    uint16_t base = 0x378;  // io: the base address of the port's registers
};

inline constexpr const char* kDefaultPort = "ppdev:/dev/parport0";

// The link addresses the registers of the first parallel port (0x378 + offset); a port with
// another base address gets the same offsets from its own base.
inline constexpr uint16_t kLegacyPortBase = 0x378;

// Parses a --port value; nullopt with a one-line reason in *error when it is unusable.
std::optional<PortLocation> ParsePortLocation(const std::string& text, std::string* error);

// Opens the port; nullptr with a plain-words reason in *error when that fails.
std::unique_ptr<PortIo> OpenParallelPort(const PortLocation& location, std::string* error);
