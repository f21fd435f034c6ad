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

// Written paths read back in the round-trip tests, and the end-to-end Go to
// Path case has the five notations and most messages; here, the forms only a
// person types, syntax errors and the rarer messages.
TEST(PathResolve, TypedFormsAndErrors) {
    DocumentPtr doc = load_text("{\"obj\":{\"x\":1,\"y\":2}, \"\xC3\xA9\":5, \"s\":\"x\", \"m~n\":0, \"o\":{}}");
    const Document* d = doc.get();
    for (const char* path : {"", "$", ".", "$."}) EXPECT_EQ(resolve(d, path).node, 0u) << path;
    EXPECT_EQ(value_of(d, resolve(d, "$.obj[1]").node), "2");
    EXPECT_EQ(value_of(d, resolve(d, "[\"\\u00e9\"]").node), "5");
    EXPECT_EQ(value_of(d, resolve(d, "['\\u00e9']").node), "5");
    EXPECT_EQ(resolve(d, "$.obj.y").message, "");
    const std::pair<const char*, const char*> errors[] = {
        {"$x", "Path not understood at character 2"}, {" $", "Path not understood at character 1"},
        {"$['a'", "Path not understood at character 6"}, {"$['a']x", "Path not understood at character 7"},
        {"$.s[0]", "No item [0] in $.s (it is a string)"}, {"/m~2n", "No key \"m~2n\" in $"},
        {"$.o[99999999999999999999999]", "No item [9999999999999999999] in $.o (it has 0)"},
    };
    for (const auto& [path, message] : errors) {
        Resolved r = resolve(d, path);
        EXPECT_EQ(r.node, NO_NODE) << path;
        EXPECT_EQ(r.message, message) << path;
    }
    char tiny[8];
    EXPECT_EQ(resolve_path(d, "$.x", 3, tiny, sizeof tiny), NO_NODE);
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
