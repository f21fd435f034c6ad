#include "app/program.h"

#include <cstring>

#include "app/doc_window.h"
#include "app/open_file.h"
#include "base/memory.h"

namespace {

void write_needs_settings(const char* output_path) {
    if (!output_path) return;
    const FileIo* io = file_io();
    FileHandle file = io->create_file(output_path);
    if (file == NO_FILE) return;
    // Nothing is left to tell a failure to: the program ends with 2 either way.
    (void)io->write_all(file, reinterpret_cast<const uint8_t*>(SCRIPT_NEEDS_SETTINGS),
                        static_cast<uint32_t>(std::strlen(SCRIPT_NEEDS_SETTINGS)));
    (void)io->close(file);
}

}  // namespace

bool begin_program(Program* program, int argument_count, const char* const* arguments, bool* needs_settings) {
    std::memset(static_cast<void*>(program), 0, sizeof *program);
    *needs_settings = false;
    uint32_t room = argument_count > 0 ? static_cast<uint32_t>(argument_count) : 1;
    program->files = mem_alloc_array<const char*>(room);
    if (!program->files) {
        program->exit_code = 1;
        return false;
    }
    read_command_line(argument_count, arguments, program->files, &program->line);
    if (program->line.test_script && !program->line.settings) {
        write_needs_settings(program->line.test_out);
        *needs_settings = true;
        mem_free(program->files);
        program->files = nullptr;
        program->exit_code = SCRIPT_EXIT_FAILED;
        return false;
    }
    return true;
}

void load_program_settings(Program* program, const AppHost* host, const char* default_settings_path) {
    App* app = &program->app;
    init_app(app, host);
    const CommandLine& line = program->line;
    if (line.test_script) set_script_mode(app, line.slow_read_ms, line.test_ram);
    const char* given = line.settings ? line.settings : default_settings_path;
    load_settings(&app->settings, &program->settings_path, given, file_io());
}

bool open_program_files(Program* program) {
    App* app = &program->app;
    const CommandLine& line = program->line;
    if (app->script_mode) init_script(&program->script, app, file_io());
    bool opened = false;
    for (uint32_t i = 0; i < line.file_count; i++) opened |= open_path(app, nullptr, line.files[i]) != nullptr;
    if (!opened && !create_doc_window(app, true)) {
        program->exit_code = app->script_mode ? SCRIPT_EXIT_FAILED : 1;
        return false;
    }
    if (!app->script_mode) return true;
    const char* output = line.test_out ? line.test_out : DEFAULT_SCRIPT_OUTPUT;
    program->script_started = start_script(&program->script, line.test_script, output);
    return true;
}

int32_t end_program(Program* program) {
    App* app = &program->app;
    (void)save_settings(&app->settings, &program->settings_path, file_io());
    int32_t exit_code = program->exit_code;
    if (app->script_mode) {
        if (program->script.finished) exit_code = program->script.exit_code;
        release_script(&program->script);
    }
    mem_free(program->files);
    program->files = nullptr;
    return exit_code;
}
