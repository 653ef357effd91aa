#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <string>

#include "link/ConfigFile.h"

namespace {

using namespace std::string_literals;

void Load(const std::string& text) {
    LoadConfigText(text.data(), text.size());
}

std::filesystem::path WriteTempFile(const std::string& name, const std::string& bytes) {
    std::filesystem::path path = std::filesystem::path(testing::TempDir()) / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

TEST(ConfigFile, LineRules) {
    ResetConfig();
    Load(
        "lead=before any section\n"
        "[ROUTER]\r\n"
        "ENABLED = TRUE\r\n"
        "POLARITY=LOW\n"
        "\n"
        "\r\n"
        "DWELL_FRAMES==7 =\n"
        "\t KEY WITH BLANKS \t=x\n"
        "noequals\n"
        "[[MOUSE]]\n"
        "[NOT A SECTION\n"
        "VISIBLE=TRUE\n"
        "NUL=a\0b\n"
        "[ DISPLAY ]\n"
        "STATUS=OFF\n"
        "[tally_unit_select]\n"
        "ENABLED=TRUE\n"
        "[ROUTER]\n"
        "POLARITY=HIGH\n"
        "[TALLY_UNIT_SELECT]\n"
        "ENA\rBLED=TR\rUE"s);

    EXPECT_EQ(GetConfigValue("", "lead"), "before any section");
    EXPECT_EQ(FindConfigSection(""), 0);
    EXPECT_EQ(FindConfigSection(kConfigRouter), 1);

    // Blanks after '=' stay in the value, and CR LF reads like LF.
    EXPECT_EQ(GetConfigValue(kConfigRouter, kConfigEnabled), " TRUE");
    // A section met again takes further entries; a later entry replaces the earlier one.
    EXPECT_EQ(GetConfigValue(kConfigRouter, kConfigPolarity), "HIGH");
    EXPECT_EQ(GetConfigValue(kConfigRouter, kConfigDwellFrames), "=7 =");
    EXPECT_EQ(GetConfigValue(kConfigRouter, "KEY WITH BLANKS"), "x");
    EXPECT_EQ(GetConfigValue(kConfigRouter, ""), "oequals");

    // Doubled brackets are all stripped; a line missing its ']' is an entry, not a section.
    EXPECT_EQ(GetConfigValue(kConfigMouse, kConfigVisible), kConfigTrue);
    EXPECT_EQ(GetConfigValue(kConfigMouse, ""), "NOT A SECTION");
    EXPECT_EQ(FindConfigSection("NOT A SECTION"), -1);
    EXPECT_EQ(GetConfigValue(kConfigMouse, "NUL"), std::string("a\0b", 3));

    // Blanks inside the brackets are part of the name.
    EXPECT_EQ(FindConfigSection(kConfigDisplay), -1);
    EXPECT_EQ(GetConfigValue(kConfigDisplay, kConfigStatus), kConfigMissing);
    EXPECT_EQ(GetConfigValue(" DISPLAY ", kConfigStatus), kConfigOff);

    // Case matters; CR inside a line is dropped; the last line needs no LF.
    EXPECT_EQ(GetConfigValue("tally_unit_select", kConfigEnabled), kConfigTrue);
    EXPECT_EQ(GetConfigValue(kConfigTallyUnitSelect, kConfigEnabled), kConfigTrue);
    EXPECT_EQ(GetConfigValue(kConfigTallyUnitSelect, "enabled"), kConfigMissing);
}

TEST(ConfigFile, StoreLookupsAndAdding) {
    ResetConfig();
    EXPECT_EQ(GetConfigValue(kConfigRouter, kConfigEnabled), std::string(1, '\xFF'));

    EXPECT_FALSE(AddConfigEntry("A", "k", "v", false));
    EXPECT_EQ(FindConfigSection("A"), -1);
    EXPECT_TRUE(AddConfigEntry("A", "k", "v", true));
    EXPECT_TRUE(AddConfigEntry("B", "k", "w", true));
    EXPECT_FALSE(AddConfigEntry("A", "other", "x", false));
    EXPECT_EQ(GetConfigValue("A", "other"), kConfigMissing);
    EXPECT_TRUE(AddConfigEntry("A", "k", "replaced", false));
    EXPECT_EQ(GetConfigValue("A", "k"), "replaced");
    EXPECT_EQ(GetConfigValue("B", "k"), "w");
    EXPECT_EQ(FindConfigSection("B"), 1);

    ResetConfig();
    EXPECT_EQ(FindConfigSection("A"), -1);
    EXPECT_EQ(GetConfigValue("A", "k"), kConfigMissing);
}

TEST(ConfigFile, LoadsAFileUpToTheReadLimit) {
    ResetConfig();
    std::string text = "[ROUTER]\r\nENABLED=TRUE\r\n";
    text += std::string(kConfigReadLimit - text.size() - 3, 'x') + "\nAB=CD";
    std::filesystem::path path = WriteTempFile("kv4_config_test.ini", text);

    EXPECT_TRUE(LoadConfigFile(path.string()));
    EXPECT_EQ(GetConfigValue(kConfigRouter, kConfigEnabled), kConfigTrue);
    // Only "AB" of the last line lies within the limit: a line without '='.
    EXPECT_EQ(GetConfigValue(kConfigRouter, "AB"), kConfigMissing);
    EXPECT_EQ(GetConfigValue(kConfigRouter, ""), "B");
    std::filesystem::remove(path);

    ResetConfig();
    EXPECT_FALSE(LoadConfigFile(path.string()));
    EXPECT_FALSE(LoadConfigFile(testing::TempDir()));
    EXPECT_EQ(FindConfigSection(""), -1);
    EXPECT_EQ(FindConfigSection(kConfigRouter), -1);
}

TEST(ConfigNumber, ReadsLikeAtoiAndSaturates) {
    EXPECT_EQ(ConfigNumber("  42abc"), 42);
    EXPECT_EQ(ConfigNumber("\t\n+15"), 15);
    EXPECT_EQ(ConfigNumber("-7"), -7);
    EXPECT_EQ(ConfigNumber("abc"), 0);
    EXPECT_EQ(ConfigNumber("- 5"), 0);
    EXPECT_EQ(ConfigNumber(std::string(1, '\xFF')), 0);
    EXPECT_EQ(ConfigNumber("2147483647"), INT_MAX);
    EXPECT_EQ(ConfigNumber("-2147483648"), INT_MIN);
    EXPECT_EQ(ConfigNumber("99999999999"), INT_MAX);
    EXPECT_EQ(ConfigNumber("-99999999999999999999999"), INT_MIN);
}

}  // namespace
