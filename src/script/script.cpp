// Script mode's state and its step: reading the script, taking one command
// per step once no Job runs, and ending with an exit code.
#include "script/script.h"

#include <cstring>

#include "app/app.h"
#include "app/doc_window.h"
#include "base/ascii.h"
#include "base/memory.h"
#include "base/utf8.h"
#include "script/script_command.h"
#include "script/script_run.h"

namespace {

const char CANNOT_START[] = "cannot read the script or write the output";

// Reads the whole script; nullptr when it cannot be read.
char* read_script(const FileIo* io, const char* path, uint64_t* length) {
    uint64_t size = 0;
    FileHandle file = io->open_file(path, &size);
    if (file == NO_FILE) return nullptr;
    char* text = size < 0xFFFFFFFFull ? mem_alloc_array<char>(size + 1) : nullptr;
    bool read = text && io->read_all(file, reinterpret_cast<uint8_t*>(text), static_cast<uint32_t>(size));
    (void)io->close(file);  // a read-only file has nothing left to lose
    if (!read) {
        mem_free(text);
        return nullptr;
    }
    text[size] = 0;
    *length = size;
    return text;
}

// The window may have closed while it settled; another window is never taken
// in its place.
void take_pending_screenshot(Script* script) {
    App* app = script->app;
    DocWindow* window = script->screenshot_window;
    bool taken = is_open_window(app, window) &&
                 app->host.capture_window(app->host.context, window, script->pending_screenshot);
    if (!taken) write_script_message(&script->output, "screenshot-error", script->pending_screenshot);
    script->pending_screenshot[0] = 0;
    script->screenshot_window = nullptr;
}

bool is_screenshot(const ScriptLine* line) { return line->word_count > 0 && script_word_is(line->words[0], "screenshot"); }

}  // namespace

void init_script(Script* script, App* app, const FileIo* io) {
    std::memset(static_cast<void*>(script), 0, sizeof *script);
    script->app = app;
    script->io = io;
    script->output.io = io;
    script->output.file = NO_FILE;
}

bool start_script(Script* script, const char* script_path, const char* output_path) {
    uint64_t length = 0;
    if (open_script_output(&script->output, script->io, output_path)) {
        script->text = read_script(script->io, script_path, &length);
    }
    if (!script->text) {
        write_script_error(&script->output, 0, CANNOT_START);
        end_script(script, SCRIPT_EXIT_FAILED);
        return false;
    }
    script->reader = script_reader(script->text, length);
    return true;
}

ScriptPause script_step(Script* script) {
    if (script->finished) return ScriptPause::Finished;
    if (script->pending_screenshot[0]) take_pending_screenshot(script);
    ScriptReader before = script->reader;
    ScriptLine line;
    bool more = next_script_line(&script->reader, &line);
    // A screenshot goes on at once, so that it can capture a load in progress.
    if (jobs_running(script->app) && !(more && is_screenshot(&line))) {
        script->reader = before;
        return ScriptPause::UntilIdle;
    }
    if (!more) {
        end_script(script, SCRIPT_EXIT_OK);
        return ScriptPause::Finished;
    }
    return run_script_line(script, &line);
}

void end_script(Script* script, int32_t exit_code) {
    if (script->finished) return;
    script->finished = 1;
    script->exit_code = exit_code;
    close_script_output(&script->output);
    // Every window, however many: closing the last one is what ends the program.
    App* app = script->app;
    while (app->windows) close_doc_window(app->windows);
}

void release_script(Script* script) {
    mem_free(script->text);
    mem_free(script->last_question);
    script->text = nullptr;
    script->last_question = nullptr;
}

bool script_answer(Script* script, const char* question, const char* button) {
    mem_free(script->last_question);
    size_t length = std::strlen(question);
    script->last_question = mem_alloc_array<char>(length + 1);
    if (script->last_question) std::memcpy(script->last_question, question, length + 1);
    bool yes = script->has_pending_answer && equal_without_case(script->pending_answer, button);
    script->has_pending_answer = 0;
    return yes;
}

void script_message(Script* script, const char* key, const char* text) {
    write_script_message(&script->output, key, text);
}

void script_document_installed(Script* script, DocWindow* window) {
    if (window == script->current) return;
    script->previous = script->current;
    script->current = window;
}

void script_window_closed(Script* script, DocWindow* window) {
    if (script->previous == window) script->previous = nullptr;
    if (script->current != window) return;
    script->current = script->previous;
    script->previous = nullptr;
}

void script_refuse_command(Script* script) { script->command_refused = 1; }
