// Paths in the five notations, breadcrumbs and ancestors.
#include <gtest/gtest.h>

#include "load_text.h"
#include "paths/path_format.h"

namespace {

std::string path_of(const Document* doc, NodeId id, PathStyle style) {
    std::string path(format_path(doc, id, style, nullptr, 0), '\0');
    format_path(doc, id, style, path.data(), path.size() + 1);
    return path;
}

std::string label_of(const Document* doc, NodeId id) {
    std::string label(breadcrumb_label(doc, id, nullptr, 0), '\0');
    breadcrumb_label(doc, id, label.data(), label.size() + 1);
    return label;
}

// The node reached from the root by keys and indexes.
NodeId find(const Document* doc, std::initializer_list<std::string> steps) {
    NodeId at = 0;
    for (const std::string& step : steps) {
        NodeId next = NO_NODE;
        for (NodeId child = first_child(doc, at); child != NO_NODE; child = next_sibling(doc, child)) {
            bool match = has_key(doc, child) ? key_of(doc, child) == step
                                             : std::to_string(index_in_parent(doc, child)) == step;
            if (match) {
                next = child;
                break;
            }
        }
        at = next;
    }
    return at;
}

void expect_paths(const Document* doc, NodeId id, const char* const (&paths)[5]) {
    for (uint32_t style = 0; style < 5; style++)
        EXPECT_EQ(path_of(doc, id, static_cast<PathStyle>(style)), paths[style]) << "style " << style;
}

TEST(PathFormat, EveryStyle) {
    DocumentPtr doc = load_text(R"({"a":[{"my key":1}], "a b":2, "it's":3, "x\ny":4, "$ref":{"$ref":5}, "_x1":6,
        "1x":7, "a/b~c":8, "ключ":9, "q\"\\":10, "$":11, "":12, "\u0001\r\t":13, "\u007f":14})");
    const Document* d = doc.get();
    const char* const root[5] = {"$", ".", "", "", ""};
    expect_paths(d, 0, root);
    const char* const nested[5] = {"$.a[0]['my key']", ".a[0][\"my key\"]", "a[0][\"my key\"]",
                                   "[\"a\"][0][\"my key\"]", "/a/0/my key"};
    expect_paths(d, find(d, {"a", "0", "my key"}), nested);
    const char* const space[5] = {"$['a b']", ".[\"a b\"]", "[\"a b\"]", "[\"a b\"]", "/a b"};
    expect_paths(d, find(d, {"a b"}), space);
    EXPECT_EQ(path_of(d, find(d, {"it's"}), PathStyle::JsonPath), "$['it\\'s']");
    EXPECT_EQ(path_of(d, find(d, {"x\ny"}), PathStyle::Jq), ".[\"x\\ny\"]");
    const char* const ref[5] = {"$['$ref']", ".[\"$ref\"]", "[\"$ref\"]", "[\"$ref\"]", "/$ref"};
    expect_paths(d, find(d, {"$ref"}), ref);
    EXPECT_EQ(path_of(d, find(d, {"$ref", "$ref"}), PathStyle::JavaScript), "[\"$ref\"].$ref");
    const char* const ident[5] = {"$._x1", "._x1", "_x1", "[\"_x1\"]", "/_x1"};
    expect_paths(d, find(d, {"_x1"}), ident);
    EXPECT_EQ(path_of(d, find(d, {"1x"}), PathStyle::JsonPath), "$['1x']");
    EXPECT_EQ(path_of(d, find(d, {"a/b~c"}), PathStyle::JsonPointer), "/a~1b~0c");
    EXPECT_EQ(path_of(d, find(d, {"ключ"}), PathStyle::JsonPath), "$['ключ']");
    EXPECT_EQ(path_of(d, find(d, {"q\"\\"}), PathStyle::Python), "[\"q\\\"\\\\\"]");
    EXPECT_EQ(path_of(d, find(d, {"q\"\\"}), PathStyle::JsonPath), "$['q\"\\\\']");
    EXPECT_EQ(path_of(d, find(d, {"$"}), PathStyle::JavaScript), "[\"$\"]");
    EXPECT_EQ(path_of(d, find(d, {""}), PathStyle::JsonPath), "$['']");
    EXPECT_EQ(path_of(d, find(d, {""}), PathStyle::JsonPointer), "/");
    EXPECT_EQ(path_of(d, find(d, {"\x01\r\t"}), PathStyle::Python), "[\"\\u0001\\u000d\\t\"]");
    EXPECT_EQ(path_of(d, find(d, {"\x7f"}), PathStyle::Jq), ".[\"\x7f\"]");
}

TEST(PathFormat, RecordsAndSmallBuffers) {
    DocumentPtr records = load_json_lines("{\"a\":1}\n[2]\n");
    EXPECT_EQ(path_of(records.get(), 1, PathStyle::JsonPath), "$[0]");
    EXPECT_EQ(path_of(records.get(), 3, PathStyle::JsonPointer), "/1");
    EXPECT_EQ(label_of(records.get(), 1), "line 1");
    EXPECT_EQ(label_of(records.get(), 0), "records");

    DocumentPtr doc = load_text("{\"abc\":{\"\xC3\xA9\xC3\xA9\":1}}");
    char buffer[8];
    EXPECT_EQ(format_path(doc.get(), 1, PathStyle::JsonPath, buffer, 4), 5u);
    EXPECT_STREQ(buffer, "$.a");
    // A key character is written whole or not at all: the second é would need 13 bytes.
    char small[12];
    EXPECT_EQ(format_path(doc.get(), 2, PathStyle::Python, small, sizeof small), 15u);
    EXPECT_STREQ(small, "[\"abc\"][\"\xC3\xA9");
    EXPECT_EQ(format_path(doc.get(), 9, PathStyle::JsonPath, buffer, sizeof buffer), 0u);
    EXPECT_STREQ(buffer, "");
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
    EXPECT_EQ(label_of(d, 3), "[1]");
    EXPECT_EQ(label_of(d, 4), "");
    EXPECT_EQ(node_chain_length(d, 4), 4u);
    EXPECT_EQ(node_chain_length(d, 99), 0u);
    EXPECT_EQ(ancestor_at_depth(d, 4, 0), 0u);
    EXPECT_EQ(ancestor_at_depth(d, 4, 1), 1u);
    EXPECT_EQ(ancestor_at_depth(d, 4, 3), 4u);
    EXPECT_EQ(ancestor_at_depth(d, 4, 4), NO_NODE);
}

TEST(PathFormat, StyleNames) {
    EXPECT_STREQ(path_style_menu_text(PathStyle::JsonPointer), "JSON Pointer");
    EXPECT_STREQ(path_style_settings_word(PathStyle::JavaScript), "js");
    EXPECT_STREQ(path_style_script_name(PathStyle::Python), "path-python");
    EXPECT_STREQ(path_style_menu_text(static_cast<PathStyle>(7)), "JSONPath");
}

}  // namespace
