#pragma once

// The About box's text: the program's identity alone, or message 0 of the unit's message table
// with its markers filled from the unit-information answer.

#include <array>
#include <cstdint>
#include <string>

// The program identity the units know the panel by.
inline constexpr const char* kProgramVersion = "2.0.5.3";
inline constexpr const char* kReleaseDate = "July 20, 2011";
inline constexpr int kUnitInfoBytes = 255;

using UnitInfoBuffer = std::array<uint8_t, kUnitInfoBytes>;

// With no unit selected.
std::string ProgramAboutText();

// With a unit of this model: template is message 0 of the unit, info its information answer.
// Whatever the buffer and the template hold, nothing is read or written outside them.
std::string UnitAboutText(const UnitInfoBuffer& info, const std::string& templateText,
                          uint8_t model, bool altMenus);
