// Reading script lines and their commands: what each line turns into, and the
// exact error text of each kind of bad line.
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

std::string word_text(ScriptWord word) { return std::string(word.text, word.length); }

TEST(ScriptReader, CountsSkippedLinesAndTrimsBlanks) {
    std::string script = "# comment\r\n\n \t open  my file.json \t\r\nkey mod+c\n\t\t\nquit";
    std::vector<ScriptLine> lines = read_all_lines(script);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].number, 3u);
    ASSERT_EQ(lines[0].word_count, 3u);
    EXPECT_EQ(word_text(lines[0].words[2]), "file.json");
    EXPECT_EQ(std::string(lines[0].argument, lines[0].argument_length), " my file.json");
    EXPECT_EQ(lines[1].number, 4u);
    EXPECT_EQ(lines[2].number, 6u);
    EXPECT_EQ(lines[2].argument_length, 0u);
}

TEST(ScriptReader, KeepsEightWordsAndNotesMore) {
    std::vector<ScriptLine> lines = read_all_lines("a b c d e f g h\na b c d e f g h i");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].word_count, 8u);
    EXPECT_FALSE(lines[0].more_words);
    EXPECT_EQ(lines[1].word_count, 8u);
    EXPECT_TRUE(lines[1].more_words);
}

// A readable account of a parsed command, or its error text.
std::string describe(const std::string& text) {
    std::vector<ScriptLine> lines = read_all_lines(text);
    if (lines.size() != 1) return "no line";
    ScriptCommand command;
    if (const char* error = parse_script_command(&lines[0], &command)) return std::string("error: ") + error;
    std::string out = "action " + std::to_string(static_cast<int>(command.action));
    if (command.command_id) out += " id " + std::to_string(command.command_id);
    if (command.numbers[0] || command.numbers[1])
        out += " n " + std::to_string(command.numbers[0]) + "," + std::to_string(command.numbers[1]);
    if (command.key) out += " key " + std::to_string(command.key);
    if (command.modifiers) out += " mod " + std::to_string(command.modifiers);
    if (command.on_chevron) out += " chevron";
    if (command.match_case) out += " case";
    if (command.regex) out += " regex";
    if (command.scope) out += " scope " + std::to_string(command.scope);
    if (command.action == ScriptAction::Dump) out += " dump " + std::to_string(static_cast<int>(command.dump));
    if (command.needs_windows) out += " windows";
    if (command.text) out += " [" + std::string(command.text, command.text_length) + "]";
    if (command.source) out += " [" + std::string(command.source, command.source_length) + "]";
    return out;
}

TEST(ScriptCommand, ReadsEachCommand) {
    const char* const cases[][2] = {
        {"open tests/samples/a b.json", "action 1 [tests/samples/a b.json]"},
        {"clip", "action 2 []"},
        {"clip {\"a\":\\n1}", "action 2 [{\"a\":\\n1}]"},
        {"open-clipboard", "action 0 id 1002"},
        {"key mod+shift+c", "action 3 key 67 mod 5"},
        {"key ALT+Right", "action 3 key 39 mod 2"},
        {"key mod+=", "action 3 key 187 mod 4"},
        {"key f3", "action 3 key 114"},
        {"key 7", "action 3 key 55"},
        {"type ab c", "action 4 [ab c]"},
        {"click 4", "action 5 n 4,0"},
        {"click 0 shift chevron alt", "action 5 mod 3 chevron"},
        {"search a b /case /keys", "action 6 case scope 1 [a b]"},
        {"search /regex /values /case", "action 6 case regex scope 2 []"},
        {"search a/case", "action 6 [a/case]"},
        {"search /Case", "action 6 [/Case]"},
        {"next-problem", "action 0 id 1144"},
        {"show-in-text", "action 0 id 1146"},
        {"find-prev", "action 0 id 1019"},
        {"goto $['a b']", "action 7 [$['a b']]"},
        {"crumb 2", "action 8 n 2,0"},
        {"view text", "action 0 id 1012"},
        {"level 1", "action 0 id 1022 n 1,0"},
        {"level 9", "action 0 id 1030 n 9,0"},
        {"collapse-all", "action 0 id 1021"},
        {"forward", "action 0 id 1032"},
        {"copy key", "action 0 id 1016"},
        {"copy json-min", "action 0 id 1017"},
        {"copy path-pointer", "action 0 id 1104"},
        {"dump rows 0 4294967295", "action 9 n 0,4294967295 dump 0"},
        {"dump clipboard-size", "action 9 dump 4"},
        {"dump menu", "action 9 dump 5 windows"},
        {"write build/tmp/x.json tests/samples/basic.json", "action 10 [build/tmp/x.json] [tests/samples/basic.json]"},
        {"wait 1", "action 11 n 1,0"},
        {"screenshot start", "action 12 windows [start]"},
        {"resize 800 600", "action 13 n 800,600 windows"},
        {"reload", "action 0 id 1004 windows"},
        {"answer Open Anyway", "action 14 [Open Anyway]"},
        {"quit", "action 15"},
    };
    for (const auto& c : cases) EXPECT_EQ(describe(c[0]), c[1]) << c[0];
}

TEST(ScriptCommand, RefusesBadLinesWithTheirText) {
    const std::string bad = "error: unknown command or bad arguments";
    const char* const cases[][2] = {
        {"jump 3", bad.c_str()},
        {"Quit", bad.c_str()},
        {"quit now", bad.c_str()},
        {"back 1", bad.c_str()},
        {"level 0", bad.c_str()},
        {"level 10", bad.c_str()},
        {"level -1", bad.c_str()},
        {"level 1 2", bad.c_str()},
        {"crumb 4294967296", bad.c_str()},
        {"crumb +1", bad.c_str()},
        {"wait 0", bad.c_str()},
        {"view list", bad.c_str()},
        {"open", bad.c_str()},
        {"goto", bad.c_str()},
        {"key", bad.c_str()},
        {"key a b", bad.c_str()},
        {"search a /keys /values", bad.c_str()},
        {"dump rows 1", bad.c_str()},
        {"dump rows x 2", bad.c_str()},
        {"dump state now", bad.c_str()},
        {"key mod+", "error: not a key combo"},
        {"key ctrl+c", "error: not a key combo"},
        {"key ab", "error: not a key combo"},
        {"key f4", "error: not a key combo"},
        {"click", "error: click <row> [chevron] [alt] [shift]"},
        {"click x", "error: click <row> [chevron] [alt] [shift]"},
        {"click 1 alt alt", "error: click <row> [chevron] [alt] [shift]"},
        {"click 1 ctrl", "error: click <row> [chevron] [alt] [shift]"},
        {"copy", "error: copy what?"},
        {"copy everything", "error: copy what?"},
        {"copy value twice", "error: copy what?"},
        {"dump", "error: dump what?"},
        {"dump all", "error: dump what?"},
    };
    for (const auto& c : cases) EXPECT_EQ(describe(c[0]), c[1]) << c[0];
}

TEST(ScriptCommand, WriteStaysInsideItsTwoFolders) {
    const std::string usage = "error: write <file> <source>, both under build/tmp/ or tests/samples/";
    const char* const refused[] = {
        "write build/x.json tests/samples/a.json",
        "write build/tmp/x.json src/main.cpp",
        "write /build/tmp/x.json tests/samples/a.json",
        "write build/tmp/../x.json tests/samples/a.json",
        "write build/tmp/x.json tests/samples/../../secret",
        "write build/tmp/a..b tests/samples/a.json",
        "write build/tmp/x.json",
        "write build/tmp/x.json tests/samples/a.json extra",
    };
    for (const char* line : refused) EXPECT_EQ(describe(line), usage) << line;
    EXPECT_EQ(describe("write tests/samples/new.json build/tmp/old.json"),
              "action 10 [tests/samples/new.json] [build/tmp/old.json]");
}

}  // namespace
