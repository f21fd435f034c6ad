// tarnwell-cli rows prints every tree row exactly as the list paints it.
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

TEST(CliRows, Budget) {
    const std::string text = "{\"" + std::string(300, 'k') + "\":1,\"s\":\"" + std::string(600, 'a') +
                             "\",\"t\":\"a\\nb\"}";
    EXPECT_EQ(run_rows(text, rows_args(CLI_NO_LEVEL, 40)),
              "0|v|root {3}\n1|-|" + std::string(39, 'k') + ELLIPSIS + "\n1|-|s: \"" + std::string(34, 'a') +
                  ELLIPSIS + "\"\n1|-|t: \"a\xE2\x8F\x8E" "b\"\nexit=0\n");
}

TEST(CliRows, SearchMarksAndStyles) {
    CliArguments search = rows_args();
    search.search = "b";
    EXPECT_EQ(run_rows(R"({"ab":"abc"})", search), "0|v|root {1}\n1|-|a[[b]]: \"a[[b]]c\"\nexit=0\n");
    search.search_options.scope = static_cast<uint8_t>(SearchScope::Values);
    search.styles = true;
    EXPECT_EQ(run_rows(R"({"ab":"abc"})", search),
              "0|v|<Plain>root <Summary>{1}\n"
              "1|-|<Key>ab<Punctuation>: <String>\"a[[<String>b]]<String>c\"\n"
              "exit=0\n");
    search.search = "(a";
    search.search_options.regex = 1;
    std::string failed = run_rows("[1]", search);
    EXPECT_EQ(failed.rfind("search-error=", 0), 0u) << failed;
    EXPECT_NE(failed.find("exit=1\n"), std::string::npos);
}

}  // namespace
