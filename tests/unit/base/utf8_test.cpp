#include "base/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

uint32_t seq(const std::string& bytes) {
    auto p = reinterpret_cast<const uint8_t*>(bytes.data());
    return utf8_sequence_length(p, p + bytes.size());
}

TEST(Utf8, WellFormedSequences) {
    EXPECT_EQ(seq("a"), 1u);
    EXPECT_EQ(seq("\xC2\x80"), 2u);
    EXPECT_EQ(seq("\xDF\xBF"), 2u);
    EXPECT_EQ(seq("\xE0\xA0\x80"), 3u);
    EXPECT_EQ(seq("\xED\x9F\xBF"), 3u);
    EXPECT_EQ(seq("\xEF\xBF\xBD"), 3u);
    EXPECT_EQ(seq("\xF0\x90\x80\x80"), 4u);
    EXPECT_EQ(seq("\xF4\x8F\xBF\xBF"), 4u);
}

TEST(Utf8, IllFormedSequencesAreSingleBytes) {
    EXPECT_EQ(seq("\x80"), 0u);            // stray continuation
    EXPECT_EQ(seq("\xC0\x80"), 0u);        // overlong lead
    EXPECT_EQ(seq("\xC1\xBF"), 0u);
    EXPECT_EQ(seq("\xE0\x9F\x80"), 0u);    // overlong three-byte form
    EXPECT_EQ(seq("\xED\xA0\x80"), 0u);    // surrogate
    EXPECT_EQ(seq("\xF0\x8F\x80\x80"), 0u);  // overlong four-byte form
    EXPECT_EQ(seq("\xF4\x90\x80\x80"), 0u);  // above U+10FFFF
    EXPECT_EQ(seq("\xF5\x80\x80\x80"), 0u);
    EXPECT_EQ(seq("\xC3"), 0u);            // runs past the end
    EXPECT_EQ(seq("\xE2\x82"), 0u);
    EXPECT_EQ(seq("\xC3\x41"), 0u);        // second byte not a continuation
}

TEST(Utf8, CountsCharactersLikeColumns) {
    auto count = [](const std::string& s) {
        return utf8_count_chars(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    };
    EXPECT_EQ(count(""), 0u);
    EXPECT_EQ(count("abcdefghijkl"), 12u);            // crosses an 8-byte run
    EXPECT_EQ(count("abcdefg\xC3\xA9xyz"), 11u);      // é inside the first 8 bytes
    EXPECT_EQ(count("\xF0\x9F\x98\x80\t"), 2u);       // emoji, tab
    EXPECT_EQ(count("\x80\x80\xC3"), 3u);             // each bad byte counts once
}

TEST(Utf8, CutPointNeverSplitsASequence) {
    std::string text = "a\xC3\xA9" "b\xF0\x9F\x98\x80";
    auto p = reinterpret_cast<const uint8_t*>(text.data());
    EXPECT_EQ(utf8_cut_point(p, text.size(), 0), 0u);
    EXPECT_EQ(utf8_cut_point(p, text.size(), 1), 1u);
    EXPECT_EQ(utf8_cut_point(p, text.size(), 2), 1u);   // inside é
    EXPECT_EQ(utf8_cut_point(p, text.size(), 3), 3u);
    EXPECT_EQ(utf8_cut_point(p, text.size(), 6), 4u);   // inside the emoji
    EXPECT_EQ(utf8_cut_point(p, text.size(), 7), 4u);
    EXPECT_EQ(utf8_cut_point(p, text.size(), 8), 8u);
    std::string bad = "ab\x80\x80\x80";                 // stray bytes may be cut anywhere
    EXPECT_EQ(utf8_cut_point(reinterpret_cast<const uint8_t*>(bad.data()), bad.size(), 4), 4u);
}

TEST(Utf8, EncodesEveryLength) {
    uint8_t out[4];
    EXPECT_EQ(utf8_encode(0x41, out), 1u);
    EXPECT_EQ(utf8_encode(0xE9, out), 2u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 2), "\xC3\xA9");
    EXPECT_EQ(utf8_encode(0xFFFD, out), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 3), "\xEF\xBF\xBD");
    EXPECT_EQ(utf8_encode(0x1F600, out), 4u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 4), "\xF0\x9F\x98\x80");
}

}  // namespace

#include "base/control_symbols.h"

namespace {

TEST(ControlSymbols, EveryControlByteHasAThreeByteSymbol) {
    uint8_t out[3];
    visible_control_utf8('\n', out);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 3), "\xE2\x8F\x8E");  // ⏎
    visible_control_utf8('\t', out);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 3), "\xE2\x87\xA5");  // ⇥
    visible_control_utf8(0x7F, out);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 3), "\xE2\x90\xA1");  // ␡
    visible_control_utf8(0x00, out);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 3), "\xE2\x90\x80");  // ␀
    visible_control_utf8(0x1F, out);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 3), "\xE2\x90\x9F");  // ␟
    EXPECT_EQ(visible_control_symbol(' '), 0u);
    EXPECT_FALSE(is_control_byte(0x80));
}

}  // namespace
