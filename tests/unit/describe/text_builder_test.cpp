// TextBuilder growth, caps, fixed buffers, repair, and copy_out's cut.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/memory.h"
#include "describe/text_builder.h"

namespace {

std::string text_of(const TextBuilder& builder) {
    return builder.data ? std::string(reinterpret_cast<const char*>(builder.data), builder.length) : "";
}

TEST(TextBuilder, GrowsFrom256Or512ThenDoubles) {
    struct Case { uint64_t first, second, capacity_after_first, capacity_after_second; };
    const Case cases[] = {
        {10, 0, 256, 256},       // 11 bytes fit the first 256
        {255, 1, 256, 512},      // 256 fit exactly; one more doubles
        {256, 0, 512, 512},      // 257 bytes need the 512 start
        {1500, 0, 2048, 2048},   // doubling from 512
        {10, 1000, 256, 1024},   // an existing block doubles until 1,011 bytes fit
        {10, 1014, 256, 2048},   // 1,025 bytes: one more doubling
    };
    for (const Case& c : cases) {
        TextBuilder builder = tb_growable();
        std::string first(c.first, 'a');
        tb_append(&builder, first.data(), first.size());
        EXPECT_EQ(builder.capacity, c.capacity_after_first) << c.first;
        std::string second(c.second, 'b');
        tb_append(&builder, second.data(), second.size());
        EXPECT_EQ(builder.capacity, c.capacity_after_second) << c.first << "+" << c.second;
        EXPECT_EQ(text_of(builder), first + second);
        EXPECT_EQ(builder.data[builder.length], 0);
        tb_free(&builder);
    }
}

TEST(TextBuilder, HugeRequestsAndExhaustedMemoryFail) {
    TextBuilder builder = tb_growable();
    EXPECT_FALSE(tb_reserve(&builder, 1ull << 62));
    EXPECT_TRUE(builder.failed);
    tb_append(&builder, "x", 1);
    EXPECT_EQ(builder.length, 0u);

    TextBuilder starved = tb_growable();
    tb_append(&starved, "abc", 3);
    mem_test_fail_at(1);
    tb_append(&starved, std::string(300, 'z').data(), 300);
    mem_test_fail_at(0);
    EXPECT_TRUE(starved.failed);
    EXPECT_EQ(text_of(starved), "abc");  // what was there stays, nothing is added
    char out[8];
    EXPECT_EQ(tb_copy_out(&starved, out, sizeof out), 0u);
    EXPECT_STREQ(out, "");
    tb_free(&starved);
}

TEST(TextBuilder, FixedBufferNeverGrows) {
    char storage[8];
    TextBuilder builder = tb_fixed(storage, sizeof storage);
    EXPECT_STREQ(storage, "");
    tb_append_text(&builder, "1234567");
    EXPECT_FALSE(builder.failed);
    EXPECT_STREQ(storage, "1234567");
    tb_append_text(&builder, "8");
    EXPECT_TRUE(builder.failed);
    EXPECT_STREQ(storage, "1234567");
    EXPECT_EQ(builder.data, reinterpret_cast<uint8_t*>(storage));
}

TEST(TextBuilder, CapCutsBeforeACharacterAndStopsThere) {
    TextBuilder builder = tb_growable(5);
    tb_append_text(&builder, "abc");
    tb_append_text(&builder, "d\xE2\x82\xAC");  // "d€" passes the cap inside the euro sign
    EXPECT_TRUE(builder.truncated);
    EXPECT_EQ(text_of(builder), "abcd");
    tb_append_text(&builder, "e");  // a later piece that would fit must not land after the gap
    EXPECT_EQ(text_of(builder), "abcd");
    tb_free(&builder);

    TextBuilder exact = tb_growable(3);
    tb_append_text(&exact, "abc");
    EXPECT_FALSE(exact.truncated);
    tb_append_spaces(&exact, 100);
    EXPECT_TRUE(exact.truncated);
    EXPECT_EQ(text_of(exact), "abc");
    tb_free(&exact);
}

TEST(TextBuilder, MeasureOnlyCountsWithoutStoring) {
    TextBuilder builder = tb_measuring();
    tb_append_text(&builder, "hello");
    tb_append_spaces(&builder, 200);
    tb_append_repaired(&builder, reinterpret_cast<const uint8_t*>("a\xFF"), 2);
    EXPECT_EQ(builder.length, 5u + 200 + 1 + 3);
    EXPECT_EQ(builder.data, nullptr);
}

TEST(TextBuilder, SpacesComeInPiecesOfAnyLength) {
    for (uint64_t n : {0ull, 1ull, 64ull, 65ull, 200ull}) {
        TextBuilder builder = tb_growable();
        tb_append_spaces(&builder, n);
        EXPECT_EQ(text_of(builder), std::string(n, ' '));
        tb_free(&builder);
    }
}

TEST(TextBuilder, RepairReplacesEveryBadByte) {
    struct Case { std::string in, out; };
    const std::string fffd = "\xEF\xBF\xBD";
    const Case cases[] = {
        {"plain ascii text longer than eight", "plain ascii text longer than eight"},
        {"caf\xC3\xA9 \xF0\x9F\x98\x80", "caf\xC3\xA9 \xF0\x9F\x98\x80"},
        {"a\xFF" "b", "a" + fffd + "b"},
        {"\xC0\xAF", fffd + fffd},             // overlong lead, then a stray continuation
        {"x\xE2\x82", "x" + fffd + fffd},      // a sequence cut by the end
        {"\xED\xA0\x80", fffd + fffd + fffd},  // an encoded surrogate
        {"", ""},
    };
    for (const Case& c : cases) {
        TextBuilder builder = tb_growable();
        tb_append_repaired(&builder, reinterpret_cast<const uint8_t*>(c.in.data()), c.in.size());
        EXPECT_EQ(text_of(builder), c.out);
        tb_free(&builder);
    }
}

TEST(CopyOut, NeverSplitsACharacterAndReturnsTheFullLength) {
    struct Case { const char* text; uint64_t size; const char* stored; };
    const Case cases[] = {
        {"a\xC3\xA9", 3, "a"},  // "aé" in 3 bytes: the letter only
        {"a\xC3\xA9", 4, "a\xC3\xA9"},
        {"a\xC3\xA9", 2, "a"},
        {"\xC3\xA9", 2, ""},  // the cut reaches the start
        {"\xF0\x9F\x98\x80!", 5, "\xF0\x9F\x98\x80"},
        {"\xFF\xFF\xFF", 3, "\xFF\xFF"},  // bad bytes are single characters
        {"abc", 1, ""},
    };
    for (const Case& c : cases) {
        char out[16];
        std::memset(out, 'X', sizeof out);
        uint64_t length = std::strlen(c.text);
        EXPECT_EQ(copy_out(c.text, length, out, c.size), length);
        EXPECT_STREQ(out, c.stored) << c.text << " into " << c.size;
    }
    EXPECT_EQ(copy_out("abc", 3, nullptr, 10), 3u);
    char untouched = 'X';
    EXPECT_EQ(copy_out("abc", 3, &untouched, 0), 3u);
    EXPECT_EQ(untouched, 'X');
}

}  // namespace
