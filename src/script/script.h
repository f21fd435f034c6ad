// Script mode: a script of user actions run against the program's windows,
// one command per step, each once no background Job runs; messages, answers
// to questions and dumps of the visible state go to an output file.
//
// The host runs the steps: it calls script_step whenever the previous step
// asked it to (at once, after the Jobs, or after a pause), until the script
// has finished. The host also reports which window received a Document and
// which closed, so that commands go to the window a person would be looking at.
//
// Screenshots and resizing need the program's real windows: a host without
// them ends the script with an error that says so.
#pragma once

#include <cstdint>

#include "files/file_io.h"
#include "script/script_command.h"
#include "script/script_output.h"
#include "script/script_reader.h"

struct App;
struct DocWindow;

// The pending answer holds at most 63 UTF-16 units, as a 64-unit Windows buffer.
constexpr uint32_t SCRIPT_ANSWER_UNITS = 63;
constexpr uint32_t SCRIPT_ANSWER_SIZE = SCRIPT_ANSWER_UNITS * 3 + 1;
constexpr int32_t SCRIPT_EXIT_OK = 0;
constexpr int32_t SCRIPT_EXIT_FAILED = 2;
// How long a step waits before it looks again whether the Jobs have finished.
constexpr uint32_t SCRIPT_RETRY_MS = 20;
// How long a raised window has to settle before its screenshot is taken.
constexpr uint32_t SCREENSHOT_DELAY_MS = 500;

enum class ScriptPause : uint8_t {
    None,        // run the next step at once
    UntilIdle,   // a Job runs: look again after SCRIPT_RETRY_MS (or when a Job completes)
    ForTime,     // run the next step after Script::pause_ms
    Finished,
};

struct Script {
    App* app;
    const FileIo* io;  // the script, the output, and "write"
    char* text;                         // the whole script, owned
    ScriptReader reader;
    ScriptOutput output;
    uint8_t finished;
    int32_t exit_code;
    uint32_t pause_ms;
    DocWindow* current;   // received the last file or clipboard Document
    DocWindow* previous;  // the current one before it
    char pending_answer[SCRIPT_ANSWER_SIZE];
    uint8_t has_pending_answer;
    char* last_question;  // owned, or none
    // "screenshot": taken at the next step, of the window that was raised.
    char pending_screenshot[SCREENSHOT_NAME_MAX + 1];  // empty when none
    DocWindow* screenshot_window;
    // The running command reached something the host can only do with real
    // windows; reported once the command has returned.
    uint8_t command_refused;
};

// The script's state before anything else happens in script mode: questions
// asked and messages shown while the command line's files are opened find it
// (a message is dropped while the output is not yet open).
void init_script(Script* script, App* app, const FileIo* io);
// Opens the output (created or truncated) and reads the script. On failure
// writes "script-error=line 0: cannot read the script or write the output"
// when the output is open, ends the script with exit code 2 and returns false.
[[nodiscard]] bool start_script(Script* script, const char* script_path, const char* output_path);
// Runs the next command and says when the one after it may run.
ScriptPause script_step(Script* script);
// Once only: marks the script finished with the exit code, closes the output
// and closes every window.
void end_script(Script* script, int32_t exit_code);
// Frees what the script holds once the host is done with it.
void release_script(Script* script);

// A question in script mode: true only when the pending answer equals
// `button` without regard to case. The answer serves one question only.
[[nodiscard]] bool script_answer(Script* script, const char* question, const char* button);
// "key=text", as a message in script mode.
void script_message(Script* script, const char* key, const char* text);
// The host's reports about windows.
void script_document_installed(Script* script, DocWindow* window);
void script_window_closed(Script* script, DocWindow* window);
// A command the host needs real windows for (say, "Open..."): the script ends
// with an error once the running command has returned.
void script_refuse_command(Script* script);
