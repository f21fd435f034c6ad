// The script's output file: message lines, error lines and dumps, each
// written through at once, so that what a script wrote before it stopped is
// there even when the program is ended from outside.
#pragma once

#include <cstdint>

#include "files/file_io.h"
#include "script/script_reader.h"

struct ScriptOutput {
    const FileIo* io;
    FileHandle file;  // NO_FILE when closed
};

// Creates or truncates the file. False when it cannot be had.
[[nodiscard]] bool open_script_output(ScriptOutput* output, const FileIo* io, const char* path);
void close_script_output(ScriptOutput* output);

// Writes bytes as they are; nothing once the output is closed.
void write_script_bytes(ScriptOutput* output, const void* bytes, uint64_t length);
void write_script_text(ScriptOutput* output, const char* text);
// "%s=%s\n"
void write_script_message(ScriptOutput* output, const char* key, const char* text);
// "script-error=line %u: %s\n"
void write_script_error(ScriptOutput* output, uint32_t line_number, const char* text);
// "---", then " %s" for each word of the line, then a line break.
void write_dump_header(ScriptOutput* output, const ScriptLine* line);
