// The Inspector's description: header, path, repeated keys, and a value part
// held to its 2 MB window with long lines shortened.
#include <gtest/gtest.h>

#include <cstring>

#include "alloc_sweep.h"
#include "describe/inspector.h"
#include "describe/json_writer.h"
#include "load_text.h"

namespace {

std::string inspect(const Document* doc, NodeId id, PathStyle style = PathStyle::JsonPath) {
    uint64_t length = 0;
    char* text = inspector_text(doc, id, style, &length);
    if (!text) return "<none>";
    std::string result(text, length);
    EXPECT_EQ(std::strlen(text), length);
    free_text(text);
    return result;
}

const std::string NOTE_END = ". Copy gets all of it.";

// Error records, strings and the root's path are in the end-to-end cases.
TEST(Inspector, HeaderPathValueAndRepeatedKeys) {
    DocumentPtr doc = load_text("{\"a\":{\"b\":[1,2]},\"k\":1,\"k\":2,\"k\":3}");
    const Document* d = doc.get();
    EXPECT_EQ(inspect(d, 1), "object \xC2\xB7 1 key \xC2\xB7 11 bytes\n$.a\n\n{\n  \"b\": [\n    1,\n    2\n  ]\n}");
    EXPECT_EQ(inspect(d, 5), "number \xC2\xB7 1 byte\n$.k\nThis key appears 3 times in its object.\n\n1");
    EXPECT_NE(inspect(d, 0, PathStyle::JavaScript).find("\n(root)\n\n{"), std::string::npos);
}

TEST(Inspector, ValuesShowTheirFirstTwoMegabytes) {
    std::string content;  // 100 decoded bytes a line
    while (content.size() < 5 * 1024 * 1024) content += std::string(99, 'x') + "\\n";
    DocumentPtr doc = load_text("[\"" + content + "\"]");
    std::string text = inspect(doc.get(), 1);
    size_t value_start = text.find("\n\n") + 2;
    size_t note = text.rfind("\n\nShowing the first 2 MB of ");
    ASSERT_NE(note, std::string::npos);
    EXPECT_EQ(text.substr(note), "\n\nShowing the first 2 MB of 5.0 MB" + NOTE_END);
    EXPECT_LE(note - value_start, 2097152u);
    EXPECT_GT(note - value_start, 2000000u);
}

TEST(Inspector, LongLinesAreShortened) {
    DocumentPtr doc = load_text("[\"" + std::string(100000, 'z') + "\"]");
    std::string text = inspect(doc.get(), 1);
    std::string expected_tail = std::string(65536, 'z') + " \xE2\x80\xA6 33.7 KB more on this line\n\nShowing the first 2 MB of 97.7 KB" + NOTE_END;
    ASSERT_GT(text.size(), expected_tail.size());
    EXPECT_EQ(text.substr(text.size() - expected_tail.size()), expected_tail);
}

TEST(Inspector, AllocationFailures) {
    DocumentPtr doc = load_text("{\"list\":[1,{\"deep\":[\"x\\ty\", null]}],\"list\":2}");
    sweep_allocation_failures([&](uint64_t) {
        for (NodeId id = 0; id < node_count(doc.get()); id++) {
            uint64_t length = 0;
            char* text = inspector_text(doc.get(), id, PathStyle::Python, &length);
            if (text) EXPECT_EQ(std::strlen(text), length);
            free_text(text);
        }
    });
}

}  // namespace
