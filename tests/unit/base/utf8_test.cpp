#include "base/utf8.h"

#include <gtest/gtest.h>

#include <string>

#include "base/control_symbols.h"

namespace {

const uint8_t* bytes_of(const std::string& text) { return reinterpret_cast<const uint8_t*>(text.data()); }

TEST(Utf8, SequenceLengthsAndIllFormedBytes) {
    const std::pair<std::string, uint32_t> cases[] = {
        {"a", 1}, {"\xC2\x80", 2}, {"\xDF\xBF", 2}, {"\xE0\xA0\x80", 3}, {"\xED\x9F\xBF", 3}, {"\xEF\xBF\xBD", 3},
        {"\xF0\x90\x80\x80", 4}, {"\xF4\x8F\xBF\xBF", 4},
        // Ill-formed: each byte stands alone.
        {"\x80", 0},                                      // a stray continuation
        {"\xC0\x80", 0}, {"\xC1\xBF", 0},                 // overlong leads
        {"\xE0\x9F\x80", 0}, {"\xF0\x8F\x80\x80", 0},     // overlong three- and four-byte forms
        {"\xED\xA0\x80", 0},                              // a surrogate
        {"\xF4\x90\x80\x80", 0}, {"\xF5\x80\x80\x80", 0}, // above U+10FFFF
        {"\xC3", 0}, {"\xE2\x82", 0},                     // running past the end
        {"\xC3\x41", 0},                                  // a second byte that is no continuation
    };
    for (const auto& [text, length] : cases)
        EXPECT_EQ(utf8_sequence_length(bytes_of(text), bytes_of(text) + text.size()), length) << text;
}

TEST(Utf8, CountsCharactersLikeColumns) {
    const std::pair<std::string, uint64_t> cases[] = {
        {"", 0}, {"abcdefghijkl", 12},  // crosses an 8-byte run
        {"abcdefg\xC3\xA9xyz", 11},     // é inside the first 8 bytes
        {"\xF0\x9F\x98\x80\t", 2}, {"\x80\x80\xC3", 3},  // each bad byte counts once
    };
    for (const auto& [text, count] : cases) EXPECT_EQ(utf8_count_chars(bytes_of(text), text.size()), count) << text;
}

TEST(Utf8, CutPointNeverSplitsASequence) {
    const std::string text = "a\xC3\xA9" "b\xF0\x9F\x98\x80";
    const std::pair<size_t, size_t> cuts[] = {{0, 0}, {1, 1}, {2, 1}, {3, 3}, {6, 4}, {7, 4}, {8, 8}};
    for (const auto& [limit, cut] : cuts) EXPECT_EQ(utf8_cut_point(bytes_of(text), text.size(), limit), cut) << limit;
    const std::string bad = "ab\x80\x80\x80";  // stray bytes may be cut anywhere
    EXPECT_EQ(utf8_cut_point(bytes_of(bad), bad.size(), 4), 4u);
}

TEST(Utf8, EncodesEveryLength) {
    const std::pair<uint32_t, std::string> cases[] = {
        {0x41, "A"}, {0xE9, "\xC3\xA9"}, {0xFFFD, "\xEF\xBF\xBD"}, {0x1F600, "\xF0\x9F\x98\x80"}};
    for (const auto& [code_point, expected] : cases) {
        uint8_t out[4];
        uint32_t length = utf8_encode(code_point, out);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(out), length), expected) << code_point;
    }
}

TEST(ControlSymbols, EveryControlByteHasAThreeByteSymbol) {
    const std::pair<uint8_t, std::string> cases[] = {
        {'\n', "\xE2\x8F\x8E"}, {'\t', "\xE2\x87\xA5"}, {0x7F, "\xE2\x90\xA1"},  // ⏎ ⇥ ␡
        {0x00, "\xE2\x90\x80"}, {0x1F, "\xE2\x90\x9F"},                          // ␀ ␟
    };
    for (const auto& [byte, symbol] : cases) {
        uint8_t out[3];
        visible_control_utf8(byte, out);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 3), symbol) << int(byte);
    }
    EXPECT_EQ(visible_control_symbol(' '), 0u);
    EXPECT_FALSE(is_control_byte(0x80));
}

}  // namespace
