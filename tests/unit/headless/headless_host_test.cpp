// tarnwell-cli --test-script: what the program's command line does in script
// mode, and the commands a host without windows must refuse. The scripted
// behaviour itself is covered by the end-to-end cases in tests/e2e.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "alloc_sweep.h"
#include "cli_run.h"
#include "headless_host.h"
#include "script/command_line.h"

namespace {

std::string scratch(const std::string& name) { return std::string(TARNWELL_TEST_TMP) + "/" + name; }

void write_text(const std::string& path, const std::string& text) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

struct ProgramRun {
    int exit_code;
    std::string output;       // the --test-out file
    std::string diagnostics;  // what went to standard error
};

ProgramRun run_program(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "tarnwell-cli");
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    std::remove(scratch("script.out").c_str());
    FILE* diagnostics = std::tmpfile();
    int exit_code = run_script_program(static_cast<int>(argv.size()), argv.data(), diagnostics);
    std::string output;
    if (FILE* out = std::fopen(scratch("script.out").c_str(), "rb")) output = read_stream(out);
    return ProgramRun{exit_code, output, read_stream(diagnostics)};
}

// Runs a script with a fresh settings file.
ProgramRun run_script(const std::string& script) {
    write_text(scratch("script.txt"), script);
    std::remove(scratch("script.settings").c_str());
    return run_program({"--test-script", scratch("script.txt"), "--settings", scratch("script.settings"),
                        "--test-out", scratch("script.out")});
}

TEST(ScriptHost, NeedsSettingsAndAReadableScript) {
    write_text(scratch("script.txt"), "quit\n");
    const std::string needs = "script-error=--test-script needs --settings <file>\n";
    ProgramRun with_output = run_program({"--test-script", scratch("script.txt"), "--test-out", scratch("script.out")});
    EXPECT_EQ(with_output.exit_code, 2);
    EXPECT_EQ(with_output.output, needs);
    EXPECT_EQ(run_program({"--test-script", scratch("script.txt")}).diagnostics, needs);
    ProgramRun unreadable = run_program({"--test-script", scratch("no such script"), "--settings",
                                         scratch("script.settings"), "--test-out", scratch("script.out")});
    EXPECT_EQ(unreadable.exit_code, 2);
    EXPECT_EQ(unreadable.output, "script-error=line 0: cannot read the script or write the output\n");
}

TEST(ScriptHost, RefusesWhatNeedsRealWindows) {
    write_text(scratch("deep.json"), "{\"a\": [1]}");
    const std::string open = "open " + scratch("deep.json") + "\n";
    const char* const cases[][2] = {{"screenshot start", "screenshot"}, {"resize 800 600", "resize"},
                                    {"key mod+o", "key mod+o"}};
    for (const auto& c : cases) {
        ProgramRun run = run_script(open + c[0] + "\ndump windows\n");
        EXPECT_EQ(run.exit_code, 2) << c[0];
        EXPECT_EQ(run.output, std::string("script-error=line 2: ") + c[1] + " needs the program's windows\n") << c[0];
    }
}

TEST(ScriptHost, OpensTheFilesOfTheCommandLineFirst) {
    write_text(scratch("script.txt"), "dump windows\n");
    write_text(scratch("deep.json"), "{\"a\": [1]}");
    std::remove(scratch("script.settings").c_str());
    ProgramRun run = run_program({scratch("deep.json"), "--test-script", scratch("script.txt"),
                           "--settings", scratch("script.settings"), "--test-out", scratch("script.out")});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.output, "--- dump windows\ndeep.json - Tarnwell\n");
}

// Ending the script closes every window, not just 64 of them: after 65 opened
// files it still ends with its exit code.
TEST(ScriptHost, EndingClosesMoreThanSixtyFourWindows) {
    std::string script, titles;
    for (int i = 1; i <= 65; i++) {
        std::string name = "many-" + std::to_string(i) + ".json";
        write_text(scratch(name), "[1]");
        script += "open " + scratch(name) + "\n";
        titles = name + " - Tarnwell\n" + titles;
    }
    ProgramRun run = run_script(script + "dump windows\nlevel 0\n");
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.output, "--- dump windows\n" + titles + "script-error=line 67: unknown command or bad arguments\n");
}

// Every allocation of a short session failing in turn: the script still ends
// with its exit code, and nothing leaks.
TEST(ScriptHost, SurvivesEachFailedAllocation) {
    write_text(scratch("deep.json"), "{\"a\": [1, {\"b\": 2}]}");
    std::string script = "open " + scratch("deep.json") + "\nclip [1]\nopen-clipboard\ngoto $.a[1]\n" +
                         "search b\ncopy json\ndump clipboard\ndump state\ndump inspector\n";
    std::string complete = run_script(script).output;
    uint64_t allocations = sweep_allocation_failures([&](uint64_t) {
        ProgramRun run = run_script(script);
        EXPECT_TRUE(run.exit_code == 0 || run.exit_code == 2);
    });
    EXPECT_GT(allocations, 50u);
    EXPECT_EQ(run_script(script).output, complete);
}

TEST(CommandLine, OptionsFilesRepeatsAndATrailingOption) {
    const char* arguments[] = {"tarnwell", "a.json", "--settings", "s1", "--test-ram", "4096", "--settings", "s2",
                               "--test-slow-read", "x", "b.json", "--test-out"};
    const char* files[12];
    CommandLine line;
    read_command_line(12, arguments, files, &line);
    EXPECT_STREQ(line.settings, "s2");
    EXPECT_EQ(line.test_ram, 4096u);
    EXPECT_EQ(line.slow_read_ms, 0u);
    EXPECT_EQ(line.test_out, nullptr);
    ASSERT_EQ(line.file_count, 3u);
    EXPECT_STREQ(files[0], "a.json");
    EXPECT_STREQ(files[1], "b.json");
    EXPECT_STREQ(files[2], "--test-out");
}

}  // namespace
