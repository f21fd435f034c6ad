// Typed paths back to Nodes: every notation, every error message.
#include <gtest/gtest.h>

#include "load_text.h"
#include "paths/path_resolve.h"

namespace {

struct Resolved {
    NodeId node;
    std::string message;
};

Resolved resolve(const Document* doc, const std::string& path) {
    char message[256];
    NodeId node = resolve_path(doc, path.data(), path.size(), message, sizeof message);
    return Resolved{node, message};
}

TEST(PathResolve, EveryNotationNamesTheSameNode) {
    DocumentPtr doc = load_text(R"({"a":[{"my key":1}], "obj":{"x":1,"y":2}, "k":1, "k":2, "0":"zero", "a/b":3, "m~n":4,
        "é":5, "it's":6, "list":[1,2,3], "n":5})");
    const Document* d = doc.get();
    for (const char* path : {"", "$", ".", "$."}) EXPECT_EQ(resolve(d, path).node, 0u) << path;
    NodeId target = resolve(d, "$.a[0]['my key']").node;
    ASSERT_NE(target, NO_NODE);
    EXPECT_EQ(key_of(d, target), "my key");
    for (const char* path : {".a[0][\"my key\"]", "a[0][\"my key\"]", "[\"a\"][0][\"my key\"]", "/a/0/my key"})
        EXPECT_EQ(resolve(d, path).node, target) << path;
    EXPECT_EQ(value_of(d, resolve(d, "$.obj[1]").node), "2");
    EXPECT_EQ(value_of(d, resolve(d, "$.k").node), "1");  // duplicate keys: the first
    EXPECT_EQ(value_of(d, resolve(d, "/0").node), "zero");
    EXPECT_EQ(value_of(d, resolve(d, "/a/0/my key").node), "1");
    EXPECT_EQ(value_of(d, resolve(d, "/a~1b").node), "3");
    EXPECT_EQ(value_of(d, resolve(d, "/m~0n").node), "4");
    EXPECT_EQ(resolve(d, "/m~2n").node, NO_NODE);
    EXPECT_EQ(resolve(d, "/m~2n").message, "No key \"m~2n\" in $");
    EXPECT_EQ(value_of(d, resolve(d, "[\"\\u00e9\"]").node), "5");
    EXPECT_EQ(value_of(d, resolve(d, "$['é']").node), "5");
    EXPECT_EQ(value_of(d, resolve(d, "$['it\\'s']").node), "6");
    EXPECT_EQ(resolve(d, "$.list[2]").message, "");
}

TEST(PathResolve, SyntaxErrorsGiveTheirPosition) {
    DocumentPtr doc = load_text("{\"a\":1}");
    struct Case { const char* path; const char* message; };
    const Case cases[] = {
        {"$x", "Path not understood at character 2"},
        {"#a", "Path not understood at character 1"},
        {"$.a b", "Path not understood at character 4"},
        {"$[", "Path not understood at character 3"},
        {"$['a'", "Path not understood at character 6"},
        {"$[x]", "Path not understood at character 3"},
        {"$[12", "Path not understood at character 5"},
        {"$.\"a", "Path not understood at character 5"},
        {"$.-", "Path not understood at character 3"},
        {"$['a']x", "Path not understood at character 7"},
        {" $", "Path not understood at character 1"},
    };
    for (const Case& c : cases) {
        Resolved r = resolve(doc.get(), c.path);
        EXPECT_EQ(r.node, NO_NODE) << c.path;
        EXPECT_EQ(r.message, c.message) << c.path;
    }
}

TEST(PathResolve, MissingNodesSayWhy) {
    DocumentPtr doc = load_text("{\"a\":5, \"list\":[1,2,3], \"s\":\"x\", \"t\":true, \"z\":null, \"o\":{}}");
    const Document* d = doc.get();
    EXPECT_EQ(resolve(d, "$.a.b").message, "No key \"b\" in $.a (it is a number)");
    EXPECT_EQ(resolve(d, "$.list[5]").message, "No item [5] in $.list (it has 3)");
    EXPECT_EQ(resolve(d, "$.x").message, "No key \"x\" in $");
    EXPECT_EQ(resolve(d, "$.s[0]").message, "No item [0] in $.s (it is a string)");
    EXPECT_EQ(resolve(d, "/t/0").message, "No key \"0\" in $.t (it is a boolean)");
    EXPECT_EQ(resolve(d, "$.z.q").message, "No key \"q\" in $.z (it is a null)");
    EXPECT_EQ(resolve(d, "$.o[99999999999999999999999]").message,
              "No item [9999999999999999999] in $.o (it has 0)");
    char tiny[8];
    EXPECT_EQ(resolve_path(d, "$.x", 3, tiny, sizeof tiny), NO_NODE);
    EXPECT_STREQ(tiny, "No key ");
    DocumentPtr records = load_json_lines("{\"a\":\n");
    EXPECT_EQ(resolve(records.get(), "$[0].a").message, "No key \"a\" in $[0] (it is a error)");
    DocumentPtr empty = load_text("");
    EXPECT_EQ(resolve(empty.get(), "").node, NO_NODE);
    EXPECT_EQ(resolve(empty.get(), "").message, "");
}

}  // namespace

#include "alloc_sweep.h"
#include "paths/path_format.h"

namespace {

TEST(PathAllocation, FormatAndResolveSurviveEveryFailure) {
    // Deeper than the on-stack chain, with keys longer than the local buffer.
    std::string text, close;
    for (int i = 0; i < 70; i++) {
        text += "{\"" + std::string(i == 3 ? 300 : 2, 'k') + "\\n\":[";
        close = "]}" + close;
    }
    DocumentPtr doc = load_text(text + "1" + close);
    const Document* d = doc.get();
    NodeId deepest = node_count(d) - 1;
    for (uint32_t style = 0; style < PATH_STYLE_COUNT; style++) {
        std::string path(format_path(d, deepest, static_cast<PathStyle>(style), nullptr, 0), '\0');
        format_path(d, deepest, static_cast<PathStyle>(style), path.data(), path.size() + 1);
        std::string missing = path + (style == 4 ? "/9" : "[9]");
        uint64_t allocations = sweep_allocation_failures([&](uint64_t) {
            char buffer[64];
            uint64_t length = format_path(d, deepest, static_cast<PathStyle>(style), buffer, sizeof buffer);
            EXPECT_LE(length, path.size());  // a long key that cannot be decoded is written empty
            char message[128];
            NodeId found = resolve_path(d, path.data(), path.size(), message, sizeof message);
            EXPECT_TRUE(found == deepest || found == NO_NODE);
            EXPECT_EQ(resolve_path(d, missing.data(), missing.size(), message, sizeof message), NO_NODE);
        });
        EXPECT_GT(allocations, 2u);
    }
}

}  // namespace
