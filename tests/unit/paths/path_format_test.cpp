// Paths in the five notations (the end-to-end copy case has a plain one and the root), breadcrumbs and ancestors.
#include <gtest/gtest.h>

#include <cctype>

#include "load_text.h"
#include "paths/path_format.h"

namespace {

std::string path_of(const Document* doc, NodeId id, PathStyle style) {
    return measured_text([&](char* out, uint64_t size) { return format_path(doc, id, style, out, size); });
}

std::string label_of(const Document* doc, NodeId id) {
    return measured_text([&](char* out, uint64_t size) { return breadcrumb_label(doc, id, out, size); });
}

TEST(PathFormat, EveryStyle) {
    // 0 root, 1 a, 2 a[0], 3 my key, 4 "a b", 5 it's, 6 x\ny, 7 $ref, 8 $ref.$ref, 9 _x1, 10 1x, 11 a/b~c,
    // 12 ключ, 13 q"\, 14 $, 15 the empty key, 16 control characters, 17 delete.
    DocumentPtr doc = load_text(R"({"a":[{"my key":1}], "a b":2, "it's":3, "x\ny":4, "$ref":{"$ref":5}, "_x1":6,
        "1x":7, "a/b~c":8, "ключ":9, "q\"\\":10, "$":11, "":12, "\u0001\r\t":13, "\u007f":14})");
    const Document* d = doc.get();
    const struct { NodeId id; const char* paths[PATH_STYLE_COUNT]; } every_style[] = {
        {3, {"$.a[0]['my key']", ".a[0][\"my key\"]", "a[0][\"my key\"]", "[\"a\"][0][\"my key\"]", "/a/0/my key"}},
        {7, {"$['$ref']", ".[\"$ref\"]", "[\"$ref\"]", "[\"$ref\"]", "/$ref"}},
        {9, {"$._x1", "._x1", "_x1", "[\"_x1\"]", "/_x1"}},
    };
    for (const auto& c : every_style) {
        for (uint32_t style = 0; style < PATH_STYLE_COUNT; style++)
            EXPECT_EQ(path_of(d, c.id, PathStyle(style)), c.paths[style]) << c.id << " style " << style;
    }
    const struct { NodeId id; PathStyle style; const char* path; } one_style[] = {
        {5, PathStyle::JsonPath, "$['it\\'s']"}, {6, PathStyle::Jq, ".[\"x\\ny\"]"},
        {8, PathStyle::JavaScript, "[\"$ref\"].$ref"},
        {11, PathStyle::JsonPointer, "/a~1b~0c"}, {12, PathStyle::JsonPath, "$['ключ']"},
        {13, PathStyle::JsonPath, "$['q\"\\\\']"},
        {15, PathStyle::JsonPath, "$['']"}, {15, PathStyle::JsonPointer, "/"},
        {16, PathStyle::Python, "[\"\\u0001\\u000d\\t\"]"}, {17, PathStyle::Jq, ".[\"\x7f\"]"},
        // JSONPath keeps a path on one line as well, and spells out delete.
        {6, PathStyle::JsonPath, "$['x\\ny']"}, {16, PathStyle::JsonPath, "$['\\u0001\\u000d\\t']"},
        {17, PathStyle::JsonPath, "$['\\u007f']"},
    };
    for (const auto& c : one_style) EXPECT_EQ(path_of(d, c.id, c.style), c.path) << c.id;
}

// True when the backslash at `at` starts an escape: an even number of
// backslashes stands before it.
bool starts_escape(const std::string& text, size_t at) {
    size_t before = 0;
    while (before < at && text[at - 1 - before] == '\\') before++;
    return before % 2 == 0;
}

// True when `cut` stops inside an escape of `style`: right after the backslash
// that starts one, within the hex digits of a \u escape, or after a pointer's "~".
bool ends_inside_escape(const std::string& cut, PathStyle style) {
    if (cut.empty()) return false;
    if (style == PathStyle::JsonPointer) return cut.back() == '~';
    if (cut.back() == '\\' && starts_escape(cut, cut.size() - 1)) return true;
    for (size_t digits = 0; digits < 4 && cut.size() >= digits + 2; digits++) {
        size_t u = cut.size() - 1 - digits;
        if (cut[u] == 'u' && cut[u - 1] == '\\' && starts_escape(cut, u - 1)) return true;
        if (!std::isxdigit(static_cast<unsigned char>(cut[u]))) break;
    }
    return false;
}

TEST(PathFormat, SmallBuffersCutBeforeWhatDoesNotFitWhole) {
    DocumentPtr doc = load_text(R"({"x\ny":{"\u0001\u007f":1, "q\"\\":[{"it's":2}], "a/b~c":3, "ключ😀":4, "\\u0041":5}})");
    const Document* d = doc.get();
    for (NodeId id = 0; id < node_count(d); id++) {
        for (uint32_t style = 0; style < PATH_STYLE_COUNT; style++) {
            std::string full = path_of(d, id, PathStyle(style));
            for (size_t size = 1; size <= full.size() + 1; size++) {
                std::string buffer(size, '\xAA');
                ASSERT_EQ(format_path(d, id, PathStyle(style), buffer.data(), size), full.size());
                std::string cut(buffer.c_str());
                SCOPED_TRACE(full + " in " + std::to_string(size) + " bytes: " + cut);
                EXPECT_EQ(full.compare(0, cut.size(), cut), 0);
                // What did not fit is at most six bytes long (\u0001).
                EXPECT_GE(cut.size() + 6, size);
                EXPECT_FALSE(ends_inside_escape(cut, PathStyle(style)));
                if (cut.size() < full.size()) EXPECT_NE(static_cast<uint8_t>(full[cut.size()]) & 0xC0, 0x80);
            }
        }
    }
}

TEST(PathFormat, BreadcrumbsAndAncestors) {
    std::string lines;
    for (int i = 0; i < 1234; i++) lines += "[" + std::to_string(i) + "]\n";
    DocumentPtr records = load_text(lines);
    NodeId last = child_at(records.get(), 0, 1233);
    EXPECT_EQ(label_of(records.get(), last), "line 1,234");
    EXPECT_EQ(label_of(records.get(), last + 1), "[0]");
    DocumentPtr doc = load_text("{\"a\\nb\\t\\u007f\\u0001\":[0,{\"\":1}]}");
    const Document* d = doc.get();
    EXPECT_EQ(label_of(d, 0), "root");
    EXPECT_EQ(label_of(d, 1), "a\xE2\x8F\x8E" "b\xE2\x87\xA5\xE2\x90\xA1\xE2\x90\x81");
    EXPECT_EQ(node_chain_length(d, 4), 4u);
    EXPECT_EQ(node_chain_length(d, 99), 0u);
    EXPECT_EQ(ancestor_at_depth(d, 4, 3), 4u);
    EXPECT_EQ(ancestor_at_depth(d, 4, 4), NO_NODE);
}

}  // namespace
