// tarnwell-cli rows prints every tree row exactly as the list paints it (the
// row texts, budgets, marks and styles are the tree row tests').
#include <gtest/gtest.h>

#include <string>

#include "cli_run.h"
#include "load_text.h"

namespace {

const std::string ELLIPSIS = "\xE2\x80\xA6";

CliArguments rows_args(uint32_t level = CLI_NO_LEVEL, uint32_t budget = CLI_DEFAULT_BUDGET) {
    CliArguments args{};
    args.level = level;
    args.budget = budget;
    return args;
}

std::string run_rows(const std::string& text, CliArguments args = rows_args()) {
    return run_cli(run_rows_command, text, args);
}

TEST(CliRows, CollapsedObjectsShowTheirPreviews) {
    const std::string text = R"({"o":{"a":1,"b":"x","c":[1]},"":"",)" "\"n\":[1.50,0x1F]}";
    EXPECT_EQ(run_rows(text, rows_args(1)),
              "0|v|root {3}\n"
              "1|+|o: {3}  {a: 1, b: \"x\", c: [" + ELLIPSIS + "]}\n"
              "1|-|\"\": \"\"\n"
              "1|+|n: [2]  [1.50, 0x1F]\n"
              "exit=0\n");
}

// With everything expanded row n is Node n; its depth comes from the row
// before it.
TEST(CliRows, AllRowsCarryTheirDepths) {
    const std::string text = R"({"a":[1,[2,[3,{"b":[]}]],4],"c":{"d":{"e":[5]}},"f":6})";
    CliArguments args = rows_args();
    args.all = true;
    std::string printed = run_rows(text, args);
    DocumentPtr doc = load_text(text);
    NodeId id = 0;
    for (size_t at = 0; at < printed.size() && printed.compare(at, 5, "exit=") != 0; id++) {
        EXPECT_EQ(std::stoul(printed.substr(at)), depth(doc.get(), id)) << printed.substr(at, printed.find('\n', at) - at);
        at = printed.find('\n', at) + 1;
    }
    EXPECT_EQ(id, node_count(doc.get()));
}

}  // namespace
