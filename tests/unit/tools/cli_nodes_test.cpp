// tarnwell-cli nodes prints the exact, documented dump of a Document.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

#include "cli_run.h"
#include "load_text.h"

namespace {

std::string run_nodes(const std::string& text, LoadOptions options = {}) {
    return run_cli(run_nodes_command, text, CliArguments{nullptr, options});
}

TEST(CliNodes, KeysFlagsEscapesAndRecords) {
    EXPECT_EQ(run_nodes("{'k\\\\\\u0001':\"a\tb\\n\",}"),
              "form=Single\nencoding=UTF-8\nfeatures=TrailingCommas,Json5,RawControlChars\nnodes=2\nlines=1\n"
              "long_lines=0\nproblems=0\n"
              "0 Object parent=- end=2 depth=0 length=22 children=1\n"
              "1 String parent=0 end=2 depth=1 length=7 key=k\\\\\\u0001 flags=ValueEscaped,KeyEscaped,Json5Form "
              "value=a\\tb\\n\n"
              "exit=0\n");
    EXPECT_EQ(run_nodes("{\"a\":1}\n\n{\"b\":\n[3]", LoadOptions{0, 1}),
              "form=JsonLines\nencoding=UTF-8\nfeatures=-\nnodes=6\nlines=4\nlong_lines=0\nproblems=1\n"
              "0 Array parent=- end=6 depth=0 length=18 children=3\n"
              "1 Object parent=0 end=3 depth=1 length=7 children=1 line=1\n"
              "2 Number parent=1 end=3 depth=2 length=1 key=a value=1\n"
              "3 Error parent=0 end=4 depth=1 length=5 line=3 value={\"b\":\n"
              "4 Array parent=0 end=6 depth=1 length=3 children=1 line=4\n"
              "5 Number parent=4 end=6 depth=2 length=1 value=3\n"
              "problem 0 offset=14 line=3 column=6 node=3 unexpected end of line\n"
              "exit=0\n");
}

// The depth and length the dump prints come from one pass over the Nodes;
// they must be what the Document answers Node by Node.
TEST(CliNodes, DepthsAndLengthsAreTheDocumentsOwn) {
    std::string deep = "{\"d\":" + std::string(3000, '[') + "1" + std::string(3000, ']') + ", \"e\": [[], {}, [[]]]}";
    const std::pair<std::string, LoadOptions> cases[] = {
        {deep, {}},
        {"[1, [2, /* c */ [3] , ], // d\n {\"a\": {\"b\": [] , }, }\n] ", {}},
        {"[[1, {\"a\": [2, [", {}},                               // never closed
        {"{\"a\":[1,{}]}\n[[2], [[3]]]\n{\"b\":\n[4]\n", {0, 1}},  // records, one broken
    };
    for (const auto& [text, options] : cases) {
        DocumentPtr doc = load_text(text, options);
        std::string printed = run_nodes(text, options);
        uint32_t checked = 0;
        for (size_t at = 0; (at = printed.find('\n', at)) != std::string::npos; at++) {
            unsigned id = 0, end = 0, node_depth = 0, length = 0;
            if (std::sscanf(printed.c_str() + at + 1, "%u %*s parent=%*s end=%u depth=%u length=%u", &id, &end,
                            &node_depth, &length) != 4)
                continue;
            ASSERT_EQ(node_depth, depth(doc.get(), id)) << text.substr(0, 40) << " node " << id;
            ASSERT_EQ(length, value_length(doc.get(), id)) << text.substr(0, 40) << " node " << id;
            checked++;
        }
        EXPECT_EQ(checked, node_count(doc.get())) << text.substr(0, 40);
    }
}

}  // namespace
