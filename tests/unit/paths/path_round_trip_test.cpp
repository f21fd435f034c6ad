// Every path this program writes reads back to its Node, in all five styles,
// over real documents and over keys chosen to break quoting.
#include <gtest/gtest.h>

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "load_text.h"
#include "paths/path_format.h"
#include "paths/path_resolve.h"

namespace {

// The Node each path must name, worked out independently: at each step the
// first child with the same decoded key (a duplicate names the first), or the
// child at the same index.
std::vector<NodeId> expected_targets(const Document* doc) {
    std::unordered_map<NodeId, std::unordered_map<std::string, NodeId>> first_keys;
    auto first_with_key = [&](NodeId container, const std::string& key) {
        auto [entry, added] = first_keys.try_emplace(container);
        if (added) {
            for (NodeId child = first_child(doc, container); child != NO_NODE; child = next_sibling(doc, child))
                if (has_key(doc, child)) entry->second.try_emplace(key_of(doc, child), child);
        }
        auto found = entry->second.find(key);
        return found == entry->second.end() ? NO_NODE : found->second;
    };
    std::vector<NodeId> target(node_count(doc), NO_NODE);
    if (!target.empty()) target[0] = 0;
    for (NodeId id = 1; id < node_count(doc); id++) {
        NodeId above = target[parent(doc, id)];
        if (above == NO_NODE) continue;
        if (has_key(doc, id)) {
            target[id] = first_with_key(above, key_of(doc, id));
        } else {
            uint32_t index = index_in_parent(doc, id);
            target[id] = index < child_count(doc, above) ? child_at(doc, above, index) : NO_NODE;
        }
    }
    return target;
}

int check_round_trips(const Document* doc, const std::string& name) {
    int failures = 0;
    std::string path;  // reused: millions of paths
    char message[512];
    std::vector<NodeId> expected_for = expected_targets(doc);
    for (NodeId id = 0; id < node_count(doc); id++) {
        NodeId expected = expected_for[id];
        for (uint32_t style = 0; style < PATH_STYLE_COUNT; style++) {
            path.resize(format_path(doc, id, PathStyle(style), nullptr, 0));
            format_path(doc, id, PathStyle(style), path.data(), path.size() + 1);
            NodeId found = resolve_path(doc, path.data(), path.size(), message, sizeof message);
            // Every style but JSON Pointer stays on one line; JSONPath also spells out delete.
            bool one_line = style == uint32_t(PathStyle::JsonPointer) ||
                            std::none_of(path.begin(), path.end(), [&](char c) {
                                return uint8_t(c) < 0x20 || (c == 0x7F && style == uint32_t(PathStyle::JsonPath));
                            });
            if (found == expected && one_line) continue;
            if (++failures <= 5)
                ADD_FAILURE() << name << " node " << id << " style " << style << ": " << path << " -> " << found
                              << " " << message;
        }
    }
    return failures;
}

TEST(PathRoundTrip, BenchmarkCorpus) {
    if (!shared_data_available()) GTEST_SKIP() << "shared test data not found";
    for (const std::string& path : bench_documents()) {
        DocumentPtr doc = load_text(read_file(path));
        ASSERT_GT(node_count(doc.get()), 0u) << path;
        EXPECT_EQ(check_round_trips(doc.get(), path), 0);
    }
}

TEST(PathRoundTrip, AdversarialKeys) {
    // Each key names an object, an array in it and an object in that.
    const char* const keys[] = {"", "$", "$ref", "0", "12", "a/b~c", "~0", "~1", "it's", "say \\\"hi\\\"",
                                "back\\\\slash", "line\\nfeed", "tab\\there", "cr\\rhere", "\\u0001\\u001f", "\x7f",
                                "\\b\\f\\u000b\\u0000\\u007f", "\\\\n", "\\\\u0041", "'\\n'", "\\\\\\n",
                                "ключ", "東京", "😀", "a.b", "a[0]", "['x']", "/", "//", " ", "_", "$$", "a b", "dup", "dup",
                                "\xFF", "\xFE", "\xEF\xBF\xBD"};  // bytes that are not UTF-8 name the first look-alike
    std::string text = "{";
    for (size_t i = 0; i < std::size(keys); i++) {
        std::string key = std::string("\"") + keys[i] + "\"";
        text += key + ":{" + key + ":[" + std::to_string(i) + ",{" + key + ":null}]},";
    }
    text += "\"" + std::string(300, 'k') + "\":1, 'single\\'quoted':2, unquoted$:3, \"esc\\u0041ped\":4}";
    DocumentPtr doc = load_text(text);
    ASSERT_EQ(problem_count(doc.get()), 0u) << problem_at(doc.get());
    EXPECT_EQ(check_round_trips(doc.get(), "adversarial"), 0);
}


}  // namespace
