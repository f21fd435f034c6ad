#include "base/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const uint8_t* bytes_of(const std::string& text) { return reinterpret_cast<const uint8_t*>(text.data()); }

TEST(Utf8, SequenceLengthsAndIllFormedBytes) {
    const std::pair<std::string, uint32_t> cases[] = {
        {"a", 1}, {"\xC2\x80", 2}, {"\xE0\xA0\x80", 3}, {"\xED\x9F\xBF", 3}, {"\xF4\x8F\xBF\xBF", 4},
        // Ill-formed: each byte stands alone.
        {"\x80", 0},                                      // a stray continuation
        {"\xC1\xBF", 0},                                  // an overlong lead
        {"\xE0\x9F\x80", 0}, {"\xF0\x8F\x80\x80", 0},     // overlong three- and four-byte forms
        {"\xED\xA0\x80", 0},                              // a surrogate
        {"\xF4\x90\x80\x80", 0}, {"\xF5\x80\x80\x80", 0}, // above U+10FFFF
        {"\xE2\x82", 0},                                  // running past the end
        {"\xC3\x41", 0},                                  // a second byte that is no continuation
    };
    for (const auto& [text, length] : cases)
        EXPECT_EQ(utf8_sequence_length(bytes_of(text), bytes_of(text) + text.size()), length) << text;
}

}  // namespace
