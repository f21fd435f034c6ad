#include "views/line_writer.h"

#include <cstring>

#include "base/control_symbols.h"
#include "base/utf8.h"

namespace {

constexpr uint64_t UNLIMITED = UINT64_MAX;
constexpr uint32_t TAB_WIDTH = 4;
// Decoded text a cut token is searched in, at most.
constexpr uint32_t CUT_TOKEN_SEARCH_BYTES = 65536;
const uint8_t REPLACEMENT[3] = {0xEF, 0xBF, 0xBD};

// One character of source text as shown: its bytes in `out` (nothing for a
// tab under tab stops, which is `cells` spaces), its cell count, and the
// source bytes it takes.
struct ShownChar {
    uint8_t out[4];
    uint32_t out_length;
    uint32_t cells;
    uint32_t consumed;
};

ShownChar shown_char(const uint8_t* p, const uint8_t* end, bool tab_stops, uint32_t column) {
    ShownChar c{{0, 0, 0, 0}, 0, 1, 1};
    uint8_t byte = *p;
    if (byte == '\t' && tab_stops) {
        c.cells = TAB_WIDTH - column % TAB_WIDTH;
        c.out_length = c.cells;  // spaces, written one at a time
    } else if (is_control_byte(byte)) {
        visible_control_utf8(byte, c.out);
        c.out_length = 3;
    } else if (byte < 0x80) {
        c.out[0] = byte;
        c.out_length = 1;
    } else if (uint32_t length = utf8_sequence_length(p, end)) {
        std::memcpy(c.out, p, length);
        c.out_length = length;
        c.consumed = length;
    } else {
        std::memcpy(c.out, REPLACEMENT, 3);
        c.out_length = 3;
    }
    return c;
}

bool printable_ascii(uint8_t byte) { return byte >= 0x20 && byte < 0x7F; }

// Shows one character when a cell is left; else writes "…" in its style.
bool take_cell(LineWriter* writer, RunStyle style) {
    if (writer->allowed == 0) {
        write_text(&writer->row, ELLIPSIS, style);
        writer->full = true;
        return false;
    }
    if (writer->allowed != UNLIMITED) writer->allowed--;
    writer->column++;
    return true;
}

// Maps source positions of a token, in ascending order, to offsets in the
// RowPaint's text by walking its shown characters once.
struct OutputCursor {
    const uint8_t* at;
    const uint8_t* end;
    uint32_t output;
    uint32_t column;
    bool tab_stops;
};

uint32_t output_at(OutputCursor* cursor, const uint8_t* target) {
    while (cursor->at < target && cursor->at < cursor->end) {
        ShownChar c = shown_char(cursor->at, cursor->end, cursor->tab_stops, cursor->column);
        cursor->output += c.out_length;
        cursor->column += c.cells;
        cursor->at += c.consumed;
    }
    return cursor->output;
}

bool token_is_quoted(const ShownToken& token, const Document* doc) {
    if (token.is_key) return token.length >= 2 && (token.token[0] == '"' || token.token[0] == '\'');
    return kind(doc, token.node) == NodeKind::String && token.length >= 2;
}

// Whether the token's decoded key or value, up to 65,536 bytes, holds a match.
bool decoded_token_matches(RowPaint* paint, const Document* doc, const SearchState* search, const ShownToken& token) {
    uint8_t* decoded = row_paint_spare(paint, CUT_TOKEN_SEARCH_BYTES + 1);
    if (!decoded) return false;
    BoundedWriter writer = bounded_writer(decoded, CUT_TOKEN_SEARCH_BYTES + 1);
    if (token.is_key) decode_key_into(doc, token.node, &writer);
    else decode_value_into(doc, token.node, &writer);
    return find_marks(search, decoded, writer.written, token.is_key, nullptr, nullptr, 0) > 0;
}

}  // namespace

LineWriter line_writer(RowPaint* paint, bool tab_stops) {
    return LineWriter{row_writer(paint), tab_stops, 0, UNLIMITED, false};
}

uint64_t shown_width(const uint8_t* bytes, uint64_t length, bool tab_stops, uint32_t column, uint64_t stop) {
    const uint8_t* p = bytes;
    const uint8_t* end = bytes + length;
    uint64_t cells = 0;
    while (p < end && cells <= stop) {
        if (printable_ascii(*p)) {
            p++;
            cells++;
            continue;
        }
        ShownChar c = shown_char(p, end, tab_stops, static_cast<uint32_t>(column + cells));
        cells += c.cells;
        p += c.consumed;
    }
    return cells;
}

void limit_line(LineWriter* writer, uint64_t coming, uint32_t budget) {
    writer->allowed = coming > budget ? budget - 1 : UNLIMITED;
    writer->full = false;
}

uint32_t write_line_bytes(LineWriter* writer, const uint8_t* bytes, uint32_t length, RunStyle style) {
    const uint8_t* p = bytes;
    const uint8_t* end = bytes + length;
    while (p < end && !writer->full) {
        if (printable_ascii(*p)) {
            // A run of printable ASCII goes in chunks, as far as cells allow.
            const uint8_t* run = p;
            while (p < end && printable_ascii(*p) && p - run < 64) p++;
            uint64_t take = static_cast<uint64_t>(p - run);
            if (take > writer->allowed) take = writer->allowed;
            if (take) write_bytes(&writer->row, run, static_cast<uint32_t>(take), style);
            if (writer->allowed != UNLIMITED) writer->allowed -= take;
            writer->column += static_cast<uint32_t>(take);
            if (run + take < p) {
                p = run + take;
                take_cell(writer, style);
            }
            continue;
        }
        ShownChar c = shown_char(p, end, writer->tab_stops, writer->column);
        if (*p == '\t' && writer->tab_stops) {
            for (uint32_t i = 0; i < c.cells && take_cell(writer, style); i++)
                write_bytes(&writer->row, reinterpret_cast<const uint8_t*>(" "), 1, style);
            if (writer->full) break;
        } else {
            if (!take_cell(writer, style)) break;
            write_bytes(&writer->row, c.out, c.out_length, style);
        }
        p += c.consumed;
    }
    return static_cast<uint32_t>(p - bytes);
}

void write_line_text(LineWriter* writer, const char* text, RunStyle style) {
    write_line_bytes(writer, reinterpret_cast<const uint8_t*>(text), static_cast<uint32_t>(std::strlen(text)), style);
}

uint32_t line_output_length(const LineWriter* writer) { return writer->row.paint->length + writer->row.pending; }

void mark_token(LineWriter* writer, const Document* doc, const SearchState* search, const ShownToken& token,
                uint8_t mark) {
    flush_row(&writer->row);
    if (writer->row.failed) return;
    RowPaint* paint = writer->row.paint;
    // The matcher sees the shown bytes inside the quotes, as written.
    const uint8_t* inner = token.token;
    const uint8_t* inner_end = token.token + token.length;
    if (token_is_quoted(token, doc)) {
        inner++;
        inner_end--;
    }
    const uint8_t* from = token.shown > inner ? token.shown : inner;
    const uint8_t* to = token.shown + token.shown_length < inner_end ? token.shown + token.shown_length : inner_end;
    uint32_t count = 0;
    uint32_t starts[MAX_ROW_MARKS], lengths[MAX_ROW_MARKS];
    if (to > from) count = find_marks(search, from, static_cast<uint64_t>(to - from), token.is_key, starts, lengths,
                                      MAX_ROW_MARKS);
    OutputCursor cursor{token.shown, token.shown + token.shown_length, token.output_start, token.column,
                        writer->tab_stops};
    for (uint32_t i = 0; i < count && i < MAX_ROW_MARKS; i++) {
        uint32_t start = output_at(&cursor, from + starts[i]);
        uint32_t end = output_at(&cursor, from + starts[i] + lengths[i]);
        if (!mark_range(paint, start, end - start, mark)) return;
    }
    if (count == 0 && token.cut && token.output_end > token.output_start &&
        decoded_token_matches(paint, doc, search, token)) {
        (void)mark_range(paint, token.output_start, token.output_end - token.output_start, mark);
    }
}
