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

// A shortened line says how much it left out; the 2 MB note would contradict
// it when the value fits the window.
TEST(Inspector, LongLinesAreShortened) {
    std::string line(100000, 'z');
    DocumentPtr doc = load_text("[\"" + line + "\", [\"" + line + "\"]]");
    std::string cut = std::string(65536, 'z') + " \xE2\x80\xA6 33.7 KB more on this line";
    std::string scalar = inspect(doc.get(), 1);
    ASSERT_GT(scalar.size(), cut.size());
    EXPECT_EQ(scalar.substr(scalar.size() - cut.size()), cut);
    std::string container = inspect(doc.get(), 2);
    EXPECT_NE(container.find("\n  \"" + std::string(65533, 'z') + " \xE2\x80\xA6 33.7 KB more on this line\n]"),
              std::string::npos);
    EXPECT_EQ(container.find("Showing the first"), std::string::npos);
}

// A scalar larger than the window whose window cannot be had still shows its
// header and the note with its full size, as a container does.
TEST(Inspector, LargeScalarWithoutMemoryForItsWindow) {
    DocumentPtr doc = load_text("[\"" + std::string(3 * 1024 * 1024, 'q') + "\"]");
    std::string header = "string \xC2\xB7 3,145,728 characters \xC2\xB7 3.0 MB\n$[0]\n\n";
    std::string note = "\n\nShowing the first 2 MB of 3.0 MB" + NOTE_END;
    uint32_t without_value = 0;
    sweep_allocation_failures([&](uint64_t) {
        uint64_t length = 0;
        char* text = inspector_text(doc.get(), 1, PathStyle::JsonPath, &length);
        if (!text) return;
        std::string shown(text, length);
        free_text(text);
        EXPECT_EQ(shown.substr(0, header.size()), header);
        ASSERT_GE(shown.size(), note.size());
        EXPECT_EQ(shown.substr(shown.size() - note.size()), note);
        without_value += shown == header + note;
    });
    EXPECT_GT(without_value, 0u);
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
