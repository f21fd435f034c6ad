// Navigation, lengths, decoding and the problem-info cache of a loaded Document.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "load_text.h"

namespace {

TEST(Document, ValueLengthIncludesClosingBracketsAndTrailingCommas) {
    struct Case { const char* text; NodeId id; uint32_t length; };
    const Case cases[] = {
        {"[ 1 , ]", 0, 7}, {"{\"a\":[]}", 1, 2}, {"[[1],[[2]] ]", 3, 5},
        {"{\"a\":[1,{\"b\":2", 0, 14}, {"[1 /*c*/ ]", 0, 10}, {"[[1,[2]]]", 2, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(value_length(load_text(c.text).get(), c.id), c.length) << c.text;
}

TEST(Document, ChildIndexFromSixtyFourChildren) {
    for (uint32_t count : {63u, 64u, 1000u}) {
        std::string items = "{";
        for (uint32_t i = 0; i < count; i++) items += (i ? ",\"k" : "\"k") + std::to_string(i) + "\":[0]";
        DocumentPtr doc = load_text(items + "}");
        const Document* d = doc.get();
        EXPECT_EQ(d->child_index_directory_count, count >= 64 ? 1u : 0u) << count;
        for (uint32_t i = 0; i < count; i++) {
            NodeId child = child_at(d, 0, i);
            ASSERT_EQ(key_of(d, child), "k" + std::to_string(i)) << count;
            ASSERT_EQ(index_in_parent(d, child), i) << count;
        }
    }
}

TEST(Document, DecodesEscapesAndBadBytes) {
    const std::string fffd = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {"\\ud83d\\ude00", "\xF0\x9F\x98\x80"}, {"\\x41", "A"}, {"\\udc00", fffd}, {"\\ud800\\u0041", fffd + "A"},
        {"\xFF", fffd}, {"\\u12", fffd + "12"},  // too short: resumes after \u
        {"\\ud800\\uZZZZ", fffd + fffd + "ZZZZ"}, {"\\x4", fffd + "4"},
        {"a\\", "a"},  // a final backslash produces nothing
        {"\\\r\nz", "z"}, {"\\\xE2\x80\xA8x", "x"},  // escaped line breaks produce nothing
        {"\\\xC3\xA9", "\xC3\xA9"}, {"\\q\\0", std::string("q\0", 2)},
    };
    for (const auto& [source, expected] : cases) {
        std::string decoded = measured_text([&](char* out, uint64_t size) {
            BoundedWriter writer = bounded_writer(out, size);
            decode_text(&writer, reinterpret_cast<const uint8_t*>(source.data()), source.size(), true);
            return writer.total;
        });
        EXPECT_EQ(decoded, expected) << source;
    }
    EXPECT_EQ(value_of(load_text("[0x1F]").get(), 1), "0x1F");  // numbers stay as written
}

TEST(Document, CopyKeyFollowsTheSnprintfContract) {
    DocumentPtr doc = load_text(R"({"abcdefghij":1, "\u00e9\u00e9":2})");
    char buffer[8];
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(copy_key(doc.get(), 1, buffer, 4), 10u);
    EXPECT_STREQ(buffer, "abc");
    // A cut never splits a character: "éé" into 4 bytes keeps one é.
    EXPECT_EQ(copy_key(doc.get(), 2, buffer, 4), 4u);
    EXPECT_STREQ(buffer, "\xC3\xA9");
}

TEST(Document, KeysRepeatByDecodedTextAndTokensSpanTheQuotes) {
    DocumentPtr doc = load_text(R"({"a":1, "\u0061":2, 'a\'':3, $b:4, "a\u0000":5, "a":6})");
    const uint32_t repeats[] = {3, 3, 1, 1, 1, 3}, tokens[] = {3, 8, 5, 2, 9, 3};
    for (NodeId id = 1; id <= 6; id++) {
        EXPECT_EQ(key_repeat_count(doc.get(), id), repeats[id - 1]) << id;
        EXPECT_EQ(key_token_length(doc.get(), id), tokens[id - 1]) << id;
    }
    // Keys that are not valid UTF-8 still count themselves and their twins.
    DocumentPtr bad = load_text("{\"\xFF\":1, \"\xFF\":2, \"\xEF\xBF\xBD\":3}");
    EXPECT_EQ(key_repeat_count(bad.get(), 1), 3u);
}

TEST(Document, ProblemInfoCacheIsSharedBetweenThreads) {
    std::string lines;
    for (int i = 0; i < 1500; i++) lines += "{\"a\":\n";
    DocumentPtr doc = load_json_lines(lines);
    const Document* d = doc.get();
    ASSERT_EQ(problem_count(d), 1500u);
    const ProblemInfo* seen[2] = {};
    std::thread first([&] { seen[0] = problem_info(d, 1499); });
    std::thread second([&] { seen[1] = problem_info(d, 1499); });
    first.join();
    second.join();
    ASSERT_NE(seen[0], nullptr);
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(seen[0]->line, 1500u);
    EXPECT_EQ(seen[0]->column, 6u);
    EXPECT_EQ(problem_info(d, 1024), problem_info(d, 1499) - 475);
    EXPECT_EQ(problem_info(d, 1500), nullptr);
    EXPECT_STREQ(problem_message_for(d, 1499 + 1), "unexpected end of line");
}

}  // namespace
