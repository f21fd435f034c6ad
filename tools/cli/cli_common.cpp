#include "cli_common.h"

#include <cstring>
#include <vector>

#include "base/memory.h"
#include "files/file_io.h"

namespace {

const char* const OUTCOME_TEXT[] = {"success", "cancelled", "out of memory", "too large"};
const char* const STYLE_NAMES[RUN_STYLE_COUNT] = {"Plain",   "Key",         "Index",   "String",
                                                  "Number",  "Boolean",     "Null",    "Punctuation",
                                                  "Summary", "Preview",     "Comment", "Warning"};

// Reads the whole file into a padded buffer of its size, through the same
// platform file operations the program uses (64-bit sizes on every platform).
uint8_t* read_whole_file(FILE* out, const char* path, uint64_t* length) {
    const FileIo* io = file_io();
    uint32_t os_error = 0;
    FileHandle file = io->open_for_reading(path, &os_error);
    if (file == NO_FILE) {
        std::fprintf(out, "error=cannot open %s (system error %u)\n", path, os_error);
        return nullptr;
    }
    uint64_t size = 0;
    uint8_t* buffer = io->size(file, &size, &os_error) ? alloc_text_buffer(size) : nullptr;
    uint64_t done = 0;
    while (buffer && done < size) {
        uint32_t want = static_cast<uint32_t>(size - done < (1u << 24) ? size - done : 1u << 24);
        uint32_t got = 0;
        if (!io->read(file, buffer + done, want, &got, &os_error) || got == 0) break;
        done += got;
    }
    io->close(file);
    if (!buffer || done != size) {
        mem_free(buffer);
        std::fprintf(out, "error=cannot read %s\n", path);
        return nullptr;
    }
    *length = size;
    return buffer;
}

}  // namespace

Document* cli_load(FILE* out, const char* path, LoadOptions options) {
    uint64_t length = 0;
    uint8_t* buffer = read_whole_file(out, path, &length);
    if (!buffer) return nullptr;
    uint32_t outcome = 0;
    Document* doc = load_document(buffer, length, &options, nullptr, &outcome);
    if (!doc) std::fprintf(out, "error=%s\n", OUTCOME_TEXT[outcome < 4 ? outcome : 2]);
    return doc;
}

void print_escaped(FILE* out, const uint8_t* bytes, uint64_t length) {
    for (uint64_t i = 0; i < length; i++) {
        uint8_t byte = bytes[i];
        switch (byte) {
        case '\\': std::fputs("\\\\", out); break;
        case '\n': std::fputs("\\n", out); break;
        case '\r': std::fputs("\\r", out); break;
        case '\t': std::fputs("\\t", out); break;
        default:
            if (byte < 0x20) std::fprintf(out, "\\u%04x", byte);
            else std::fputc(byte, out);
        }
    }
}

void print_value(FILE* out, const Document* doc, NodeId id) {
    uint8_t shown[101];
    BoundedWriter writer = bounded_writer(shown, sizeof shown);
    decode_value_into(doc, id, &writer);
    print_escaped(out, shown, writer.written);
    if (writer.total > 100) std::fputs("\xE2\x80\xA6", out);
}

void print_key(FILE* out, const Document* doc, NodeId id) {
    uint64_t length = copy_key(doc, id, nullptr, 0);
    std::vector<uint8_t> key(length + 1);
    BoundedWriter writer = bounded_writer(key.data(), key.size());
    decode_key_into(doc, id, &writer);
    print_escaped(out, key.data(), writer.written);
}

void print_row_paint(FILE* out, const RowPaint* paint, bool styles) {
    for (uint32_t i = 0; i < paint->run_count; i++) {
        const TextRun& run = paint->runs[i];
        bool marked_before = i > 0 && paint->runs[i - 1].mark;
        bool marked_after = i + 1 < paint->run_count && paint->runs[i + 1].mark;
        if (run.mark && !marked_before) std::fputs("[[", out);
        uint32_t style = static_cast<uint32_t>(run.style);
        if (styles) std::fprintf(out, "<%s>", style < RUN_STYLE_COUNT ? STYLE_NAMES[style] : "?");
        std::fwrite(paint->text + run.start, 1, run.length, out);
        if (run.mark && !marked_after) std::fputs("]]", out);
    }
}
