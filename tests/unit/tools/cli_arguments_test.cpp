// tarnwell-cli's command line: FILE, QUERY and the options in any order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_arguments.h"

namespace {

CliSubcommand parse(std::vector<const char*> words, CliArguments* args) {
    words.insert(words.begin(), "tarnwell-cli");
    return parse_cli_arguments(static_cast<int>(words.size()), words.data(), args);
}

TEST(CliArgumentsParse, OptionsBeforeOrAfterTheFile) {
    CliArguments args;
    ASSERT_EQ(parse({"nodes", "--strict", "f.json", "--jsonl"}, &args), CliSubcommand::Nodes);
    EXPECT_STREQ(args.file, "f.json");
    EXPECT_EQ(args.options.strict, 1);
    EXPECT_EQ(args.options.json_lines, 1);

    ASSERT_EQ(parse({"rows", "--level", "2", "--search", "f.json", "--case", "f.json"}, &args), CliSubcommand::Rows);
    EXPECT_STREQ(args.file, "f.json");
    EXPECT_STREQ(args.search, "f.json");  // an option's value is never FILE
    EXPECT_EQ(args.level, 2u);
    EXPECT_EQ(args.search_options.match_case, 1);

    ASSERT_EQ(parse({"search", "--values", "f.json", "--limit", "5", "q"}, &args), CliSubcommand::Search);
    EXPECT_STREQ(args.file, "f.json");
    EXPECT_STREQ(args.search, "q");
    EXPECT_EQ(args.search_options.limit, 5u);

    // After "--" a query may look like an option.
    ASSERT_EQ(parse({"search", "--case", "--", "f.json", "--regex"}, &args), CliSubcommand::Search);
    EXPECT_STREQ(args.search, "--regex");
    EXPECT_EQ(args.search_options.regex, 0);

    ASSERT_EQ(parse({"text", "--pretty", "f.json", "--plain"}, &args), CliSubcommand::Text);
    EXPECT_TRUE(args.plain);
}

TEST(CliArgumentsParse, RefusesWhatTheUsageDoesNotAllow) {
    const std::vector<std::vector<const char*>> refused = {
        {},
        {"dump", "f.json"},
        {"nodes"},
        {"nodes", "--strict"},
        {"nodes", "a.json", "b.json"},
        {"nodes", "f.json", "--all"},        // an option of another subcommand
        {"search", "f.json"},                // no query
        {"search", "f.json", "q", "r"},
        {"search", "f.json", "--case"},      // "--case" is an option, not the query
        {"rows", "f.json", "--level"},       // no value
        {"rows", "--level", "x", "f.json"},
        {"rows", "--all", "f.json", "--level", "1"},
        {"rows", "f.json", "--case"},        // a search flag without --search
        {"search", "f.json", "q", "--keys", "--values"},
        {"text", "--pretty", "f.json", "--source"},
    };
    for (const auto& words : refused) {
        CliArguments args;
        std::string line;
        for (const char* word : words) line += std::string(word) + " ";
        EXPECT_EQ(parse(words, &args), CliSubcommand::None) << line;
    }
}

}  // namespace
