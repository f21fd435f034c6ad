// Writer layouts, token rewriting, records and sinks (the copy texts are in
// the end-to-end copy case; the capped variant in the Inspector's tests).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "alloc_sweep.h"
#include "describe/json_writer.h"
#include "load_text.h"

namespace {

std::string json_of(const Document* doc, NodeId id, bool pretty) {
    uint64_t length = 99;
    char* text = json_text(doc, id, pretty, &length);
    if (!text) return "<none>";
    std::string result(text, length);
    EXPECT_EQ(length, json_text_length(doc, id, pretty));
    free_text(text);
    return result;
}

TEST(JsonWriter, LayoutsRewritesAndRecords) {
    struct Case { bool json_lines; const char* source; const char* minified; const char* pretty = nullptr; };
    const Case cases[] = {
        {0, "{\"a\":[1,2],\"b\":{}}", "{\"a\":[1,2],\"b\":{}}", "{\n  \"a\": [\n    1,\n    2\n  ],\n  \"b\": {}\n}"},
        {0, "/* c */ {\"x\" : true , \"y\":null,} // end", "{\"x\":true,\"y\":null}", "{\n  \"x\": true,\n  \"y\": null\n}"},
        // Tokens keep their source bytes, JSON5 numbers included...
        {0, "\"\\u00e9\\n\"", "\"\\u00e9\\n\""}, {0, "[0x1F, NaN, +1, .5, -Infinity, 1e5]", "[0x1F,NaN,+1,.5,-Infinity,1e5]"},
        // ...unless they are not JSON: then they are decoded whole and escaped.
        {0, "{a:'x\\'y'}", "{\"a\":\"x'y\"}"}, {0, "['\\t', '\x01', '\"\\\\']", "[\"\\t\",\"\\u0001\",\"\\\"\\\\\"]"},
        // Records leave out their Error records, commas right.
        {1, "1\n{\"a\":\n[2]\n", "[1,[2]]", "[\n  1,\n  [\n    2\n  ]\n]"}, {1, "x\n1\n2\n", "[1,2]"},
        {1, "1\n2\n[x\n", "[1,2]"}, {1, "x\ny\n", "[]", "[]"},
    };
    for (const Case& c : cases) {
        DocumentPtr doc = load_text(c.source, LoadOptions{0, c.json_lines});
        if (!c.json_lines) ASSERT_EQ(problem_count(doc.get()), 0u) << c.source << " " << problem_at(doc.get());
        EXPECT_EQ(json_of(doc.get(), 0, false), c.minified) << c.source;
        if (c.pretty) EXPECT_EQ(json_of(doc.get(), 0, true), c.pretty) << c.source;
    }
    std::string deep_pretty = "1";  // indentation deeper than one piece of spaces
    for (int level = 39; level >= 0; level--)
        deep_pretty = "[\n" + std::string(2 * level + 2, ' ') + deep_pretty + "\n" + std::string(2 * level, ' ') + "]";
    DocumentPtr deep = load_text(std::string(40, '[') + "1" + std::string(40, ']'));
    EXPECT_EQ(json_of(deep.get(), 0, true), deep_pretty);

    DocumentPtr doc = load_text("{\"a\":[1,{\"b\":\"c\"}]}");
    EXPECT_EQ(json_of(doc.get(), 3, true), "{\n  \"b\": \"c\"\n}");  // indentation starts at the node asked for
    DocumentPtr records = load_json_lines("1\n{\"a\":\n");
    EXPECT_EQ(json_of(records.get(), 2, false), "{\"a\":");  // an Error asked for itself: its source
}

TEST(JsonWriter, SinkStoresNothingPastItsCapacity) {
    DocumentPtr doc = load_text("[\"abcdefgh\",1,2,3,4,5,6,7]");
    uint8_t buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    JsonSink sink = json_sink(buffer, 8);
    write_json(doc.get(), 0, false, &sink);
    EXPECT_TRUE(sink.overflow);
    EXPECT_EQ(sink.length, 26u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 16), "[#######" "########");  // no later ",1" slipped in
}

TEST(JsonWriter, AllocationFailuresGiveNoTextNeverAWrongOne) {
    std::string deep = std::string(200, '[') + "{'long':'" + std::string(300, 'x') + "'}" + std::string(200, ']');
    DocumentPtr doc = load_text(deep);
    ASSERT_EQ(problem_count(doc.get()), 0u);
    const std::string expected = json_of(doc.get(), 0, true);
    uint64_t allocations = sweep_allocation_failures([&](uint64_t n) {
        uint64_t length = 99;
        char* text = json_text(doc.get(), 0, true, &length);
        if (mem_test_allocation_count() >= n) {
            EXPECT_EQ(text, nullptr) << "allocation " << n << " failed unnoticed";
            EXPECT_EQ(length, 0u);
        } else {
            EXPECT_EQ(text ? std::string(text, length) : "<none>", expected);
        }
        free_text(text);
    });
    // Measuring and writing each: the stack, two growths (201 levels), the
    // long value's decoding; then the text.
    EXPECT_EQ(allocations, 9u);
}

}  // namespace
