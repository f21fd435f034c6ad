// Navigation, lengths, decoding and the problem-info cache of a loaded Document.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "load_text.h"

namespace {

TEST(Document, AbsentDocumentAndBadIdsGiveNeutralAnswers) {
    EXPECT_EQ(node_count(nullptr), 0u);
    EXPECT_EQ(kind(nullptr, 0), NodeKind::Null);
    EXPECT_STREQ(encoding_label(nullptr), "UTF-8");
    EXPECT_EQ(column_of_offset(nullptr, 5), 1u);
    EXPECT_EQ(problem_info(nullptr, 0), nullptr);
    release(nullptr);
    EXPECT_EQ(retain(nullptr), nullptr);
    DocumentPtr doc = load_text("[1]");
    EXPECT_EQ(kind(doc.get(), 2), NodeKind::Null);
    EXPECT_EQ(parent(doc.get(), 2), NO_NODE);
    EXPECT_EQ(subtree_end(doc.get(), 99), NO_NODE);
    EXPECT_EQ(child_at(doc.get(), 0, 1), NO_NODE);
    EXPECT_EQ(copy_value(doc.get(), 7, nullptr, 0), 0u);
    EXPECT_EQ(key_repeat_count(doc.get(), 1), 0u);
}

TEST(Document, EmptyText) {
    DocumentPtr doc = load_text("");
    ASSERT_TRUE(doc);
    EXPECT_EQ(node_count(doc.get()), 0u);
    EXPECT_EQ(form(doc.get()), DocumentForm::Empty);
    EXPECT_EQ(line_count(doc.get()), 0u);
    EXPECT_EQ(kind(doc.get(), 0), NodeKind::Null);
    EXPECT_EQ(child_count(doc.get(), 0), 0u);
    EXPECT_EQ(column_of_offset(doc.get(), 0), 1u);
}

TEST(Document, NavigatesNestedArrays) {
    DocumentPtr doc = load_text("[1,[2,3],4]");
    const Document* d = doc.get();
    EXPECT_EQ(kind(d, 0), NodeKind::Array);
    EXPECT_EQ(subtree_end(d, 0), 6u);
    EXPECT_EQ(child_count(d, 0), 3u);
    EXPECT_EQ(subtree_end(d, 2), 5u);
    EXPECT_EQ(child_count(d, 2), 2u);
    EXPECT_EQ(value_of(d, 3), "2");
    EXPECT_EQ(child_at(d, 0, 2), 5u);
    EXPECT_EQ(index_in_parent(d, 5), 2u);
    EXPECT_EQ(depth(d, 3), 2u);
    EXPECT_EQ(first_child(d, 1), NO_NODE);
    EXPECT_EQ(next_sibling(d, 4), NO_NODE);
    EXPECT_EQ(next_sibling(d, 0), NO_NODE);
    EXPECT_EQ(next_sibling(d, 2), 5u);
    DocumentPtr empty = load_text("[[]]");
    EXPECT_EQ(first_child(empty.get(), 1), NO_NODE);
}

TEST(Document, ValueLengthIncludesClosingBracketsAndTrailingCommas) {
    struct Case { const char* text; NodeId id; uint32_t length; };
    const Case cases[] = {
        {"[ 1 , ]", 0, 7}, {"[]", 0, 2}, {"{}", 0, 2}, {"{\"a\":[]}", 1, 2}, {"{\"a\":[]}", 0, 8},
        {"[[1],[[2]] ]", 3, 5}, {"[1,2", 0, 4}, {"{\"a\":[1,{\"b\":2", 0, 14}, {"[1 /*c*/ ]", 0, 10},
        {"[[1,[2]]]", 2, 1},
    };
    for (const Case& c : cases) {
        DocumentPtr doc = load_text(c.text);
        EXPECT_EQ(value_length(doc.get(), c.id), c.length) << c.text << " node " << c.id;
    }
}

TEST(Document, ChildIndexFromSixtyFourChildren) {
    std::string wide = "{";
    for (int i = 0; i < 100; i++) wide += (i ? ",\"k" : "\"k") + std::to_string(i) + "\":[" + std::to_string(i) + "]";
    wide += "}";
    DocumentPtr doc = load_text(wide);
    const Document* d = doc.get();
    ASSERT_EQ(d->child_index_directory_count, 1u);
    NodeId child = child_at(d, 0, 37);
    EXPECT_EQ(key_of(d, child), "k37");
    EXPECT_EQ(index_in_parent(d, child), 37u);
    EXPECT_EQ(index_in_parent(d, child_at(d, 0, 32)), 32u);
    EXPECT_EQ(child_at(d, 0, 99), subtree_end(d, 0) - 2);

    std::string items = "[";
    for (int i = 0; i < 1000; i++) items += i ? ",0" : "0";
    DocumentPtr thousand = load_text(items + "]");
    EXPECT_EQ(thousand->child_index_directory_count, 1u);
    EXPECT_EQ((child_count(thousand.get(), 0) + 15) / 16, 63u);
    std::string small = "[";
    for (int i = 0; i < 63; i++) small += i ? ",0" : "0";
    EXPECT_EQ(load_text(small + "]")->child_index_directory_count, 0u);
}

TEST(Document, DecodesStringsAndKeys) {
    DocumentPtr doc = load_text(R"(["a", "\u00e9", "\ud83d\ude00", "\x41", "\udc00", "\ud800x", "\ud800\u0041", "a\/b\n"])");
    const Document* d = doc.get();
    EXPECT_EQ(value_of(d, 1), "a");
    EXPECT_EQ(value_of(d, 2), "\xC3\xA9");
    EXPECT_EQ(value_of(d, 3), "\xF0\x9F\x98\x80");
    EXPECT_EQ(value_of(d, 4), "A");
    EXPECT_EQ(value_of(d, 5), "\xEF\xBF\xBD");
    EXPECT_EQ(value_of(d, 6), "\xEF\xBF\xBDx");
    EXPECT_EQ(value_of(d, 7), "\xEF\xBF\xBD" "A");
    EXPECT_EQ(value_of(d, 8), "a/b\n");
    DocumentPtr raw = load_text("[\"\xFF\", 0x1F, \"tab\\\n\"]");
    EXPECT_EQ(value_of(raw.get(), 1), "\xEF\xBF\xBD");
    EXPECT_EQ(value_of(raw.get(), 2), "0x1F");  // numbers stay as written
    EXPECT_EQ(value_of(raw.get(), 3), "tab");   // an escaped line break produces nothing
    EXPECT_EQ(copy_value(raw.get(), 0, nullptr, 0), 0u);
}

TEST(Document, DecodeTextEscapeEdges) {
    auto decode = [](const std::string& source) {
        BoundedWriter measure = bounded_writer(nullptr, 0);
        decode_text(&measure, reinterpret_cast<const uint8_t*>(source.data()), source.size(), true);
        std::string out(measure.total, '\0');
        BoundedWriter writer = bounded_writer(out.data(), out.size() + 1);
        decode_text(&writer, reinterpret_cast<const uint8_t*>(source.data()), source.size(), true);
        return out;
    };
    EXPECT_EQ(decode("\\u12"), "\xEF\xBF\xBD" "12");         // too short: resumes after \u
    EXPECT_EQ(decode("\\uZZZZ"), "\xEF\xBF\xBDZZZZ");
    EXPECT_EQ(decode("\\ud800\\uZZZZ"), "\xEF\xBF\xBD\xEF\xBF\xBDZZZZ");
    EXPECT_EQ(decode("\\x4"), "\xEF\xBF\xBD" "4");
    EXPECT_EQ(decode("a\\"), "a");                         // a final backslash produces nothing
    EXPECT_EQ(decode("\\\xE2\x80\xA8x"), "x");               // escaped line separator
    EXPECT_EQ(decode("\\\xC3\xA9"), "\xC3\xA9");             // backslash before a non-ASCII byte is dropped
    EXPECT_EQ(decode("\\q\\0"), std::string("q\0", 2));
    EXPECT_EQ(decode("\\\r\nz"), "z");
}

TEST(Document, CopyKeyFollowsTheSnprintfContract) {
    DocumentPtr doc = load_text(R"({"abcdefghij":1, "\u00e9\u00e9":2})");
    char buffer[8];
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(copy_key(doc.get(), 1, buffer, 4), 10u);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(copy_key(doc.get(), 1, nullptr, 0), 10u);
    // A cut never splits a character: "éé" into 4 bytes keeps one é.
    EXPECT_EQ(copy_key(doc.get(), 2, buffer, 4), 4u);
    EXPECT_STREQ(buffer, "\xC3\xA9");
    EXPECT_EQ(copy_key(doc.get(), 2, buffer, 1), 4u);
    EXPECT_STREQ(buffer, "");
}

TEST(Document, KeyRepeatCountComparesDecodedKeys) {
    DocumentPtr doc = load_text(R"({"a":1, "\u0061":2, "b":3, 'a':4, "a\u0000":5})");
    const Document* d = doc.get();
    EXPECT_EQ(key_repeat_count(d, 1), 3u);
    EXPECT_EQ(key_repeat_count(d, 2), 3u);
    EXPECT_EQ(key_repeat_count(d, 3), 1u);
    EXPECT_EQ(key_repeat_count(d, 5), 1u);
    // Keys that are not valid UTF-8 still count themselves and their twins.
    DocumentPtr bad = load_text("{\"\xFF\":1, \"\xFF\":2, \"\xEF\xBF\xBD\":3}");
    EXPECT_EQ(key_repeat_count(bad.get(), 1), 3u);
    EXPECT_EQ(key_repeat_count(bad.get(), 3), 3u);
}

TEST(Document, KeyTokensAndSlices) {
    DocumentPtr doc = load_text(R"({"a\"b":1, 'c\'d':2, $id_9:3})");
    const Document* d = doc.get();
    EXPECT_EQ(key_token_length(d, 1), 6u);
    EXPECT_EQ(key_token_length(d, 2), 6u);
    EXPECT_EQ(key_token_length(d, 3), 5u);
    EXPECT_EQ(key_of(d, 1), "a\"b");
    EXPECT_EQ(key_of(d, 2), "c'd");
    EXPECT_EQ(key_of(d, 3), "$id_9");
    TextSlice slice = key_text(d, 1);
    EXPECT_EQ(slice.length, 4u);
    EXPECT_TRUE(slice.escaped);
    EXPECT_EQ(key_text(d, 0).bytes, nullptr);
    EXPECT_EQ(key_token_length(d, 0), 0u);
}

TEST(Document, ColumnsCountCharacters) {
    DocumentPtr doc = load_text("[\"\xC3\xA9\xC3\xA9\", \"\x80x\",\n  1]");
    const Document* d = doc.get();
    EXPECT_EQ(column_of_offset(d, 6), 5u);   // after [ " é é
    EXPECT_EQ(column_of_offset(d, 10), 9u);  // the stray byte counts as one
    EXPECT_EQ(column_of_offset(d, 17), 3u);  // second line
    EXPECT_EQ(column_of_offset(d, 999), 5u); // clamped to the end
    EXPECT_EQ(line_of_offset(d, 17), 1u);
    EXPECT_EQ(line_of_offset(d, 14), 0u);
    EXPECT_EQ(line_start(d, 5), text_length(d));
}

TEST(Document, ProblemInfoCacheIsSharedBetweenThreads) {
    std::string lines;
    for (int i = 0; i < 1500; i++) lines += "{\"a\":\n";
    DocumentPtr doc = load_json_lines(lines);
    const Document* d = doc.get();
    ASSERT_EQ(problem_count(d), 1500u);
    EXPECT_EQ(problem_info(d, 0), &d->first_problem_info);
    const ProblemInfo* seen[2] = {};
    std::thread first([&] { seen[0] = problem_info(d, 1499); });
    std::thread second([&] { seen[1] = problem_info(d, 1499); });
    first.join();
    second.join();
    ASSERT_NE(seen[0], nullptr);
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(seen[0]->line, 1500u);
    EXPECT_EQ(seen[0]->column, 6u);
    EXPECT_STREQ(seen[0]->message, "unexpected end of line");
    EXPECT_EQ(problem_info(d, 1024), problem_info(d, 1499) - 475);
    EXPECT_EQ(problem_info(d, 1500), nullptr);
    EXPECT_STREQ(problem_message_for(d, 1499 + 1), "unexpected end of line");
    EXPECT_EQ(problem_message_for(d, 0), nullptr);
}

TEST(Document, ReferenceCountKeepsTheDocumentAlive) {
    DocumentPtr doc = load_text("[1]");
    Document* shared = retain(doc.get());
    doc.reset();
    EXPECT_EQ(node_count(shared), 2u);
    release(shared);
}

}  // namespace
