// tarnwell-cli search prints the counter and the JSONPath of each match.
#include <gtest/gtest.h>

#include <string>

#include "cli_run.h"

namespace {

const std::string PEOPLE = R"({"name":"Ann","friends":[{"name":"Bo"},{"Name":"ann"}],"n\u0061me2":7})";

std::string run_search(const std::string& text, const char* query, SearchOptions options = {},
                       uint32_t paths = CLI_DEFAULT_PATHS) {
    CliArguments args{};
    args.search = query;
    args.search_options = options;
    args.paths = paths;
    return run_cli(run_search_command, text, args);
}

// The counter, at most `paths` JSONPaths, and a compile error's exit code.
TEST(CliSearch, CounterPathsAndErrors) {
    EXPECT_EQ(run_search(PEOPLE, "ann", {1, 0, 0, 0}), "search=1 match\n$.friends[1].Name\nexit=0\n");
    EXPECT_EQ(run_search(PEOPLE, "name", {0, 0, 1, 0}, 2), "search=4 matches\n$.name\n$.friends[0].name\nexit=0\n");
    EXPECT_EQ(run_search(PEOPLE, "n", {0, 0, 0, 2}, 0), "search=2+ matches\nexit=0\n");
    std::string failed = run_search(PEOPLE, "(a", SearchOptions{0, 1, 0, 0});
    EXPECT_EQ(failed.rfind("search-error=", 0), 0u) << failed;
    EXPECT_NE(failed.find("\nexit=1\n"), std::string::npos);
}

}  // namespace
