// Typed paths back to Nodes: every notation, every error message.
#include <gtest/gtest.h>

#include "alloc_sweep.h"
#include "load_text.h"
#include "paths/path_format.h"
#include "paths/path_resolve.h"

namespace {

struct Resolved { NodeId node; std::string message; };

Resolved resolve(const Document* doc, const std::string& path) {
    char message[256];
    NodeId node = resolve_path(doc, path.data(), path.size(), message, sizeof message);
    return Resolved{node, message};
}

TEST(PathResolve, RootFormsIndexesEscapesAndDuplicates) {
    DocumentPtr doc = load_text(R"({"obj":{"x":1,"y":2}, "k":1, "k":2, "0":"zero", "a/b":3, "m~n":4,
        "é":5, "it's":6, "list":[1,2,3], "n":5})");
    const Document* d = doc.get();
    // The five notations of one path are in the end-to-end Go to Path case. A
    // duplicate key names its first occurrence.
    for (const char* path : {"", "$", ".", "$."}) EXPECT_EQ(resolve(d, path).node, 0u) << path;
    const std::pair<const char*, const char*> values[] = {
        {"$.obj[1]", "2"}, {"$.k", "1"}, {"/0", "zero"}, {"/a~1b", "3"}, {"/m~0n", "4"}, {"[\"\\u00e9\"]", "5"},
        {"$['é']", "5"}, {"$['it\\'s']", "6"},
    };
    for (const auto& [path, value] : values) EXPECT_EQ(value_of(d, resolve(d, path).node), value) << path;
    EXPECT_EQ(resolve(d, "$.list[2]").message, "");
}

TEST(PathResolve, SyntaxErrorsGiveTheirPosition) {
    DocumentPtr doc = load_text("{\"a\":1}");
    struct Case { const char* path; const char* message; };
    const Case cases[] = {
        {"$x", "Path not understood at character 2"}, {"#a", "Path not understood at character 1"},
        {"$.a b", "Path not understood at character 4"}, {"$[", "Path not understood at character 3"},
        {"$['a'", "Path not understood at character 6"}, {"$[x]", "Path not understood at character 3"},
        {"$[12", "Path not understood at character 5"}, {"$.\"a", "Path not understood at character 5"},
        {"$.-", "Path not understood at character 3"}, {"$['a']x", "Path not understood at character 7"},
        {" $", "Path not understood at character 1"},
    };
    for (const Case& c : cases) {
        Resolved r = resolve(doc.get(), c.path);
        EXPECT_EQ(r.node, NO_NODE) << c.path;
        EXPECT_EQ(r.message, c.message) << c.path;
    }
}

// Missing keys and items of objects, arrays, numbers, Error records and the
// empty document are in the end-to-end Go to Path case.
TEST(PathResolve, MissingNodesSayWhy) {
    DocumentPtr doc = load_text("{\"a\":5, \"list\":[1,2,3], \"s\":\"x\", \"t\":true, \"z\":null, \"o\":{}, \"m~n\":0}");
    const std::pair<const char*, const char*> cases[] = {
        {"$.s[0]", "No item [0] in $.s (it is a string)"},
        {"/t/0", "No key \"0\" in $.t (it is a boolean)"}, {"$.z.q", "No key \"q\" in $.z (it is a null)"},
        {"/m~2n", "No key \"m~2n\" in $"},
        {"$.o[99999999999999999999999]", "No item [9999999999999999999] in $.o (it has 0)"},
    };
    for (const auto& [path, message] : cases) {
        Resolved r = resolve(doc.get(), path);
        EXPECT_EQ(r.node, NO_NODE) << path;
        EXPECT_EQ(r.message, message) << path;
    }
    char tiny[8];
    EXPECT_EQ(resolve_path(doc.get(), "$.x", 3, tiny, sizeof tiny), NO_NODE);
    EXPECT_STREQ(tiny, "No key ");
}

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
        std::string path = measured_text([&](char* out, uint64_t size) {
            return format_path(d, deepest, PathStyle(style), out, size);
        });
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
