// TextBuilder failure, caps and repair, and copy_out's cut.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/text_builder.h"

namespace {

std::string text_of(const TextBuilder& builder) {
    return builder.data ? std::string(reinterpret_cast<const char*>(builder.data), builder.length) : "";
}

TEST(TextBuilder, CapCutsBeforeACharacterAndStopsThere) {
    TextBuilder builder = tb_growable(5);
    tb_append_text(&builder, "abc");
    tb_append_text(&builder, "d\xE2\x82\xAC");  // "d€" passes the cap inside the euro sign
    tb_append_text(&builder, "e");              // would fit, but must not land after the gap
    EXPECT_TRUE(builder.truncated);
    EXPECT_EQ(text_of(builder), "abcd");
    tb_free(&builder);
}

TEST(TextBuilder, RepairAndCopyOut) {
    const std::string fffd = "\xEF\xBF\xBD";
    const std::string repairs[][2] = {
        {"caf\xC3\xA9 \xF0\x9F\x98\x80", "caf\xC3\xA9 \xF0\x9F\x98\x80"}, {"a\xFF" "b", "a" + fffd + "b"},
        {"\xC0\xAF", fffd + fffd},             // overlong lead, then a stray continuation
        {"x\xE2\x82", "x" + fffd + fffd},      // a sequence cut by the end
        {"\xED\xA0\x80", fffd + fffd + fffd},  // an encoded surrogate
    };
    for (const auto& c : repairs) {
        TextBuilder builder = tb_growable();
        tb_append_repaired(&builder, reinterpret_cast<const uint8_t*>(c[0].data()), c[0].size());
        EXPECT_EQ(text_of(builder), c[1]);
        tb_free(&builder);
    }
    // copy_out never splits a character and returns the full length.
    const struct { const char* text; uint64_t size; const char* stored; } cuts[] = {
        {"a\xC3\xA9", 3, "a"}, {"a\xC3\xA9", 4, "a\xC3\xA9"}, {"\xF0\x9F\x98\x80!", 5, "\xF0\x9F\x98\x80"},
        {"\xFF\xFF\xFF", 3, "\xFF\xFF"},
    };
    for (const auto& c : cuts) {
        char out[16];
        std::memset(out, 'X', sizeof out);
        EXPECT_EQ(copy_out(c.text, std::strlen(c.text), out, c.size), std::strlen(c.text));
        EXPECT_STREQ(out, c.stored) << c.text << " into " << c.size;
    }
    char untouched = 'X';
    EXPECT_EQ(copy_out("abc", 3, &untouched, 0), 3u);
    EXPECT_EQ(untouched, 'X');
}

}  // namespace
