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

TEST(CliRows, CollapsedAndExpandedObjects) {
    const std::string text = R"({"o":{"a":1,"b":"x","c":[1]},"":"",)" "\"n\":[1.50,0x1F]}";
    EXPECT_EQ(run_rows(text, rows_args(1)),
              "0|v|root {3}\n"
              "1|+|o: {3}  {a: 1, b: \"x\", c: [" + ELLIPSIS + "]}\n"
              "1|-|\"\": \"\"\n"
              "1|+|n: [2]  [1.50, 0x1F]\n"
              "exit=0\n");
    CliArguments all = rows_args();
    all.all = true;
    EXPECT_EQ(run_rows(text, all),
              "0|v|root {3}\n1|v|o: {3}\n2|-|a: 1\n2|-|b: \"x\"\n2|v|c: [1]\n3|-|[0] 1\n1|-|\"\": \"\"\n"
              "1|v|n: [2]\n2|-|[0] 1.50\n2|-|[1] 0x1F\n"
              "exit=0\n");
}

}  // namespace
