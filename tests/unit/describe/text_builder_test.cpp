// TextBuilder failure, caps and repair, and copy_out's cut.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/memory.h"
#include "describe/text_builder.h"

namespace {

std::string text_of(const TextBuilder& builder) {
    return builder.data ? std::string(reinterpret_cast<const char*>(builder.data), builder.length) : "";
}

TEST(TextBuilder, FailureKeepsWhatWasThereAndStoresNothingMore) {
    TextBuilder huge = tb_growable();
    EXPECT_FALSE(tb_reserve(&huge, 1ull << 62));
    EXPECT_TRUE(huge.failed);

    TextBuilder starved = tb_growable();
    tb_append_text(&starved, "abc");
    mem_test_fail_at(1);
    tb_append(&starved, std::string(300, 'z').data(), 300);
    mem_test_fail_at(0);
    tb_append_text(&starved, "d");
    EXPECT_TRUE(starved.failed);
    EXPECT_EQ(text_of(starved), "abc");
    char out[8] = "XXXXXXX";
    EXPECT_EQ(tb_copy_out(&starved, out, sizeof out), 0u);  // a failed builder gives an empty text
    EXPECT_STREQ(out, "");
    tb_free(&starved);

    char storage[4];
    TextBuilder fixed = tb_fixed(storage, sizeof storage);
    tb_append_text(&fixed, "123");
    tb_append_text(&fixed, "4");
    EXPECT_TRUE(fixed.failed);
    EXPECT_STREQ(storage, "123");
}

TEST(TextBuilder, CapCutsBeforeACharacterAndStopsThere) {
    TextBuilder builder = tb_growable(5);
    tb_append_text(&builder, "abc");
    tb_append_text(&builder, "d\xE2\x82\xAC");  // "d€" passes the cap inside the euro sign
    tb_append_text(&builder, "e");              // would fit, but must not land after the gap
    EXPECT_TRUE(builder.truncated);
    EXPECT_EQ(text_of(builder), "abcd");
    tb_free(&builder);
    TextBuilder spaces = tb_growable(130);
    tb_append_spaces(&spaces, 129);
    tb_append_spaces(&spaces, 2);
    EXPECT_EQ(text_of(spaces), std::string(130, ' '));
    tb_free(&spaces);
}

TEST(TextBuilder, RepairAndCopyOut) {
    const std::string fffd = "\xEF\xBF\xBD";
    const std::string repairs[][2] = {
        {"plain ascii text longer than eight", "plain ascii text longer than eight"},
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
