#include "cli_common.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "base/memory.h"

namespace {

const char* const OUTCOME_TEXT[] = {"success", "cancelled", "out of memory", "too large"};
const char* const STYLE_NAMES[RUN_STYLE_COUNT] = {"Plain",   "Key",         "Index",   "String",
                                                  "Number",  "Boolean",     "Null",    "Punctuation",
                                                  "Summary", "Preview",     "Comment", "Warning"};

}  // namespace

Document* cli_load(FILE* out, const char* path, LoadOptions options) {
    FILE* file = std::fopen(path, "rb");
    if (!file) {
        std::fprintf(out, "error=cannot open %s: %s\n", path, std::strerror(errno));
        return nullptr;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[1 << 16];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    bool failed = std::ferror(file);
    std::fclose(file);
    if (failed) {
        std::fprintf(out, "error=cannot read %s\n", path);
        return nullptr;
    }
    uint8_t* buffer = alloc_text_buffer(bytes.size());
    if (!buffer) {
        std::fprintf(out, "error=out of memory\n");
        return nullptr;
    }
    if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
    uint32_t outcome = 0;
    Document* doc = load_document(buffer, bytes.size(), &options, nullptr, &outcome);
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
