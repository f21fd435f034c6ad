// Writing the script's output file.
#include "script/script_output.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

bool open_script_output(ScriptOutput* output, const FileIo* io, const char* path) {
    output->io = io;
    output->file = io->create_file(path);
    return output->file != NO_FILE;
}

void close_script_output(ScriptOutput* output) {
    if (output->file == NO_FILE) return;
    // Nothing is left to report a failed close to: the script has ended.
    (void)output->io->close(output->file);
    output->file = NO_FILE;
}

void write_script_bytes(ScriptOutput* output, const void* bytes, uint64_t length) {
    if (output->file == NO_FILE) return;
    const uint8_t* next = static_cast<const uint8_t*>(bytes);
    while (length > 0) {
        uint32_t piece = length > 0x40000000u ? 0x40000000u : static_cast<uint32_t>(length);
        // A failed write cannot be reported anywhere but in this same file.
        if (!output->io->write_all(output->file, next, piece)) return;
        next += piece;
        length -= piece;
    }
}

void write_script_text(ScriptOutput* output, const char* text) { write_script_bytes(output, text, std::strlen(text)); }

void write_script_message(ScriptOutput* output, const char* key, const char* text) {
    write_script_text(output, key);
    write_script_text(output, "=");
    write_script_text(output, text);
    write_script_text(output, "\n");
}

void write_script_error(ScriptOutput* output, uint32_t line_number, const char* text) {
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "line %" PRIu32 ": ", line_number);
    write_script_text(output, "script-error=");
    write_script_text(output, prefix);
    write_script_text(output, text);
    write_script_text(output, "\n");
}

void write_dump_header(ScriptOutput* output, const ScriptLine* line) {
    write_script_text(output, "---");
    for (uint32_t i = 0; i < line->word_count; i++) {
        write_script_text(output, " ");
        write_script_bytes(output, line->words[i].text, line->words[i].length);
    }
    write_script_text(output, "\n");
}
