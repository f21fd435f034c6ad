// The settings text: parsing with its tolerance for bad lines, formatting, and
// the recent-files list. Random garbage is the settings fuzz target's.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "files/settings.h"
#include "settings_checks.h"

namespace {

// Records are 10 KB; tests keep them off the stack.
std::unique_ptr<Settings> parsed(const std::string& text) {
    auto settings = std::make_unique<Settings>();
    parse_settings(settings.get(), reinterpret_cast<const uint8_t*>(text.data()), text.size());
    return settings;
}

std::vector<std::string> recent_of(const Settings& settings) {
    return std::vector<std::string>(settings.recent, settings.recent + settings.recent_count);
}

TEST(SettingsParse, ValuesAreCheckedClampedOrSkipped) {
    struct Case { const char* text; int32_t Settings::*field; int32_t expected; };
    const Case cases[] = {
        {"font_size=99", &Settings::font_size, 24}, {"font_size=-3", &Settings::font_size, 9},
        {"font_size=1x", &Settings::font_size, 0}, {"font_size=+12", &Settings::font_size, 0},
        {"inspector_width=99999999999999999999", &Settings::inspector_width, 1200},
        {"inspector_width=99999999999999999999x", &Settings::inspector_width, 360}, {"theme=3", &Settings::theme, 0},
        {"THEME=1\ntheme =1", &Settings::theme, 0}, {"theme=1\r\n", &Settings::theme, 1},
        {"theme=1\ntheme=2\ntheme=7", &Settings::theme, 2}, {"no equals sign\n=1\ntheme=1", &Settings::theme, 1},
        {"path_style=JQ\npath_style=python ", &Settings::path_style, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(parsed(c.text).get()->*c.field, c.expected) << c.text;
    EXPECT_EQ(font_size_or_default(parsed("font_size=0").get()), 10);

    auto flags = parsed("inspector=yes\nsearch_case=1\nsearch_regex=1=1\nindent_guides=0");
    EXPECT_EQ((std::vector<int>{flags->inspector, flags->search_case, flags->search_regex, flags->indent_guides}),
              (std::vector<int>{0, 1, 0, 0}));
}

TEST(SettingsParse, RecentKeepsTheFirstTenDistinctValidPaths) {
    std::string text = "recent=b\n";
    for (int i = 0; i < 11; i++) text += "recent=" + std::to_string(i) + "\nrecent=b\n";
    EXPECT_EQ(recent_of(*parsed(text)), (std::vector<std::string>{"b", "0", "1", "2", "3", "4", "5", "6", "7", "8"}));

    // Byte-level UTF-8 edges are the Utf8 tests'.
    const std::string invalid[] = {"", "a\tb", "a\x7f", "\xED\xA0\x80", std::string(1024, 'x')};
    for (const std::string& value : invalid) EXPECT_EQ(parsed("recent=" + value)->recent_count, 0) << value;
    const std::string valid[] = {"a=b", "\xF0\x9F\x98\x80", std::string(1023, 'x')};
    for (const std::string& value : valid) EXPECT_EQ(recent_of(*parsed("recent=" + value)), std::vector{value});
}

TEST(SettingsFormat, WritesDefaultsAndRepairsValuesOutOfRange) {
    auto settings = parsed("");
    EXPECT_EQ(formatted_settings(*settings),
              "theme=0\nfont_size=0\npath_style=jsonpath\ninspector=0\ninspector_width=360\nsearch_case=0\n"
              "search_regex=0\nsearch_scope=all\nindent_guides=1\nwindow=0 0 0 0\n");

    *settings = Settings{7, 3, 9, 5, 10, 2, 3, -1, 0, {-5, 6, -7, 8}, 12, {"one", "bad\n", "two"}};
    std::string text = formatted_settings(*settings);
    EXPECT_EQ(text, "theme=0\nfont_size=9\npath_style=jsonpath\ninspector=1\ninspector_width=200\nsearch_case=1\n"
                    "search_regex=1\nsearch_scope=all\nindent_guides=0\nwindow=-5 6 0 8\nrecent=one\nrecent=two\n");
    char small[8] = "ZZZZZZZ";
    EXPECT_EQ(format_settings(settings.get(), small, 5), text.size());
    EXPECT_STREQ(small, "them");
    EXPECT_EQ(format_settings(settings.get(), small, 0), text.size());
    EXPECT_STREQ(small, "them");
}

TEST(SettingsFormat, ParsingTheFormattedTextGivesTheRecordBack) {
    static const char* const PIECES[] = {"a", "\\", " ", "=", ".json", "é", "€", "ключ", "\xF0\x9F\x98\x80"};
    std::mt19937 random(8);
    auto between = [&](int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(random); };
    for (int round = 0; round < 300; round++) {
        auto settings = parsed("");
        *settings = Settings{between(0, 2), between(0, 1) ? 0 : between(9, 24), between(0, 4),
                             uint8_t(between(0, 1)), between(200, 1200), uint8_t(between(0, 1)),
                             uint8_t(between(0, 1)), between(0, 2), uint8_t(between(0, 1)),
                             {between(-1000000000, 1000000000), between(-1000000000, 1000000000),
                              between(0, 1000000000), between(0, 1000000000)},
                             0, {}};
        for (int32_t i = between(0, 12); i > 0; i--) {
            std::string path;
            for (int32_t length = between(1, 1023); path.size() < size_t(length);) path += PIECES[random() % 9];
            while (!is_valid_recent_path(reinterpret_cast<const uint8_t*>(path.data()), path.size())) path.pop_back();
            add_recent(settings.get(), path.c_str());
        }
        ASSERT_EQ(check_settings_invariants(*settings), "");
        EXPECT_TRUE(same_settings(*parsed(formatted_settings(*settings)), *settings)) << formatted_settings(*settings);
    }
}

}  // namespace
