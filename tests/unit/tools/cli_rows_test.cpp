// tarnwell-cli rows prints every tree row exactly as the list paints it (the
// row texts, budgets, marks and styles are the tree row tests').
#include <gtest/gtest.h>

#include <string>

#include "cli_run.h"

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

}  // namespace
