// Stepping a script while a background Job runs: commands wait for it, a
// screenshot does not.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "../app/test_host.h"
#include "app/open_file.h"
#include "cli_run.h"
#include "script/script.h"

namespace {

struct StepRun {
    TestHost host{true};
    Script script;
    std::string output_path = std::string(TARNWELL_TEST_TMP) + "/step.out";

    // Starts the script with a file load under way: its completion waits for pump().
    explicit StepRun(const std::string& lines) {
        std::string data = write_test_file("step.json", "[1, 2]");
        EXPECT_NE(open_path(&host.app, nullptr, data.c_str()), nullptr);
        EXPECT_TRUE(jobs_running(&host.app));
        std::string script_path = write_test_file("step.script", lines);
        init_script(&script, &host.app, file_io());
        EXPECT_TRUE(start_script(&script, script_path.c_str(), output_path.c_str()));
    }
    ~StepRun() { release_script(&script); }

    std::string output() {
        end_script(&script, script.exit_code);
        FILE* file = std::fopen(output_path.c_str(), "rb");
        return file ? read_stream(file) : "cannot read " + output_path;
    }
};

TEST(ScriptStep, CommandsWaitForJobsAndAScreenshotDoesNot) {
    StepRun waits("# a comment\n\ndump question\n");
    EXPECT_EQ(script_step(&waits.script), ScriptPause::UntilIdle);
    EXPECT_EQ(script_step(&waits.script), ScriptPause::UntilIdle);
    waits.host.pump();
    EXPECT_EQ(script_step(&waits.script), ScriptPause::None);
    EXPECT_EQ(waits.output(), "--- dump question\n-\n");

    // This host has no windows to capture, so the screenshot's refusal shows it ran.
    StepRun screenshot("screenshot loading\ndump question\n");
    EXPECT_EQ(script_step(&screenshot.script), ScriptPause::Finished);
    EXPECT_TRUE(jobs_running(&screenshot.host.app));
    EXPECT_EQ(screenshot.output(), "script-error=line 1: screenshot needs the program's windows\n");
}

}  // namespace
