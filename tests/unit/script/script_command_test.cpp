// Reading script lines and their commands at the edges of the language; every
// command and its common errors run in the end-to-end cases.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/script_command.h"

namespace {

std::vector<ScriptLine> read_all_lines(const std::string& text) {
    ScriptReader reader = script_reader(text.data(), text.size());
    std::vector<ScriptLine> lines;
    ScriptLine line;
    while (next_script_line(&reader, &line)) lines.push_back(line);
    return lines;
}

TEST(ScriptReader, CountsSkippedLinesTrimsBlanksAndKeepsEightWords) {
    const std::string script = "# comment\r\n\n \t open  my file.json \t\r\n\t\t\na b c d e f g h\na b c d e f g h i";
    std::vector<ScriptLine> lines = read_all_lines(script);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].number, 3u);
    ASSERT_EQ(lines[0].word_count, 3u);
    EXPECT_EQ(std::string(lines[0].words[2].text, lines[0].words[2].length), "file.json");
    EXPECT_EQ(std::string(lines[0].argument, lines[0].argument_length), " my file.json");
    EXPECT_EQ(lines[1].number, 5u);
    EXPECT_EQ(lines[1].word_count, 8u);
    EXPECT_FALSE(lines[1].more_words);
    EXPECT_EQ(lines[2].word_count, 8u);
    EXPECT_TRUE(lines[2].more_words);
}

// A readable account of a parsed command, or its error text.
std::string describe(const std::string& text) {
    std::vector<ScriptLine> lines = read_all_lines(text);
    ScriptCommand command;
    if (const char* error = parse_script_command(&lines.at(0), &command)) return std::string("error: ") + error;
    std::string out = "action " + std::to_string(static_cast<int>(command.action));
    if (command.numbers[0] || command.numbers[1])
        out += " n " + std::to_string(command.numbers[0]) + "," + std::to_string(command.numbers[1]);
    if (command.key) out += " key " + std::to_string(command.key) + " mod " + std::to_string(command.modifiers);
    if (command.action == ScriptAction::Click) out += " mod " + std::to_string(command.modifiers);
    if (command.on_chevron) out += " chevron";
    if (command.match_case) out += " case";
    if (command.scope) out += " scope " + std::to_string(command.scope);
    if (command.text) out += " [" + std::string(command.text, command.text_length) + "]";
    if (command.source) out += " [" + std::string(command.source, command.source_length) + "]";
    return out;
}

// The usage error of each command; how an error ends a script, with its line
// number, is an end-to-end case.
TEST(ScriptCommand, ReadsTheEdgesOfEachCommand) {
    const std::string bad = "error: unknown command or bad arguments";
    const std::string write_usage = "error: write <file> <source>, both under build/tmp/ or tests/samples/";
    const std::string remove_usage = "error: remove <file>, under build/tmp/";
    const std::string cases[][2] = {
        {"key ALT+Right", "action 3 key 39 mod 2"},
        {"click 0 shift chevron alt", "action 5 mod 3 chevron"},
        {"search a b /case /keys", "action 6 case scope 1 [a b]"},
        {"search a/case", "action 6 [a/case]"},
        {"dump rows 0 4294967295", "action 9 n 0,4294967295"},
        {"answer Open Anyway", "action 14 [Open Anyway]"},
        {"write tests/samples/new.json build/tmp/old.json", "action 10 [tests/samples/new.json] [build/tmp/old.json]"},
        {"Quit", bad}, {"crumb 4294967296", bad}, {"crumb +1", bad}, {"search a /keys /values", bad},
        {"click 1 alt alt", "error: click <row> [chevron] [alt] [shift]"},
        {"click 0 twice", "error: click <row> [chevron] [alt] [shift]"},
        {"copy everything", "error: copy what?"}, {"dump everything", "error: dump what?"},
        {"key ctrl+c", "error: not a key combo"},
        {"write build/tmp/x.json src/main.cpp", write_usage},
        {"write build/tmp/a..b tests/samples/a.json", write_usage},
        // Only what the scripts made may be removed.
        {"remove build/tmp/e2e/x.json", "action 17 [build/tmp/e2e/x.json]"},
        {"remove tests/samples/basic.json", remove_usage}, {"remove build/tmp/../x", remove_usage},
        {"remove build/tmp/a b", remove_usage},
        // A screenshot's name becomes a file name.
        {"screenshot Win-1.dark_x", "action 12 [Win-1.dark_x]"},
        {"screenshot " + std::string(127, 'a'), "action 12 [" + std::string(127, 'a') + "]"},
        {"screenshot " + std::string(128, 'a'), bad}, {"screenshot a..b", bad}, {"screenshot ../x", bad},
        {"screenshot a/b", bad}, {"screenshot a b", bad}, {"screenshot \xC3\xA9", bad},
        {"lose-device", "action 16"}, {"lose-device now", bad},
    };
    for (const auto& c : cases) EXPECT_EQ(describe(c[0]), c[1]) << c[0];
}

}  // namespace
