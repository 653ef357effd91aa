#pragma once

// The panel's configuration: one small text file of sections and key/value pairs, read once at
// start-up and kept in memory for the rest of the run. Nothing is ever written back.
//
// File format (plain 8-bit text):
//   - a line feed ends a line; carriage returns are dropped wherever they occur; the last line
//     needs no line feed; an empty line is skipped;
//   - a line whose first character is '[' and whose last is ']' starts a section, named by the
//     line without every leading '[' and every trailing ']' (blanks inside stay);
//   - any other line is an entry: the key is the text before the first '=' with blanks (spaces
//     and tabs) removed at both ends, the value everything after that '=' exactly as written;
//     a line without '=' gives an empty key and the line without its first character as value;
//   - entries before the first section belong to the section with the empty name;
//   - no comments, no escaping; a later entry replaces an earlier one with the same key.
// Sections and keys match case-sensitively and exactly.
//
// The store is process-wide and used on the GUI thread only.

#include <cstddef>
#include <string>
#include <string_view>

// The most the loader reads of a file; bytes beyond it are ignored, so a huge or endless file
// cannot hold up start-up.
inline constexpr size_t kConfigReadLimit = size_t{1} << 20;
// Where the panel PC keeps the file unless the command line names another.
inline constexpr const char* kDefaultConfigPath = "/etc/kv4/KV4.ini";

// What GetConfigValue gives for a missing section or key: one byte 255. It never equals any
// value the panel tests for.
inline constexpr std::string_view kConfigMissing{"\xFF", 1};

// Sections and keys the panel reads.
inline constexpr const char* kConfigDisplay = "DISPLAY";
inline constexpr const char* kConfigStatus = "STATUS";  // "OFF" turns the status display off
inline constexpr const char* kConfigMouse = "MOUSE";
inline constexpr const char* kConfigVisible = "VISIBLE";  // "TRUE" shows the mouse cursor
inline constexpr const char* kConfigRouter = "ROUTER";
inline constexpr const char* kConfigEnabled = "ENABLED";           // ROUTER and TALLY_UNIT_SELECT
inline constexpr const char* kConfigPolarity = "POLARITY";         // "LOW": switch 214 = 0, else 1
inline constexpr const char* kConfigDwellFrames = "DWELL_FRAMES";  // control 114, ConfigNumber
inline constexpr const char* kConfigTallyUnitSelect = "TALLY_UNIT_SELECT";

// Values that mean something.
inline constexpr const char* kConfigTrue = "TRUE";
inline constexpr const char* kConfigOff = "OFF";
inline constexpr const char* kConfigLow = "LOW";

// Reads the file at path (at most kConfigReadLimit bytes) into the store, adding to what is
// there. True when the whole file was read; false when it could not be opened, is not a regular
// file, or a read failed. Entries of the lines completed before a failed read stay.
bool LoadConfigFile(const std::string& path);

// Applies the line rules to size bytes at data, starting in the section with the empty name.
// A NUL byte is an ordinary byte.
void LoadConfigText(const char* data, size_t size);

// The value stored for section/key, or kConfigMissing.
std::string GetConfigValue(const std::string& section, const std::string& key);

// Stores value under section/key. With create, a missing section or key is appended; without
// it, a missing section or key makes the call fail and nothing changes. True when stored.
bool AddConfigEntry(const std::string& section, const std::string& key, const std::string& value,
                    bool create);

// The position of the section in the order the store met it, or -1.
int FindConfigSection(const std::string& name);

// Empties the store.
void ResetConfig();

// A number from a config value the way the C library's atoi reads it: leading white space, an
// optional sign, decimal digits, anything after them ignored, 0 without digits. A value beyond
// the range of int gives INT_MIN or INT_MAX.
int ConfigNumber(const std::string& text);
