#include "views/row_pieces.h"

#include <cstring>

#include "base/control_symbols.h"

const char ELLIPSIS[] = "\xE2\x80\xA6";

namespace {

// One decoded character, a control character as its visible symbol.
void write_char(RowWriter* writer, const uint8_t* bytes, uint32_t length, RunStyle style) {
    if (length == 1 && is_control_byte(bytes[0])) {
        uint8_t symbol[3];
        visible_control_utf8(bytes[0], symbol);
        write_bytes(writer, symbol, 3, style);
        return;
    }
    write_bytes(writer, bytes, length, style);
}

uint32_t written_length(const RowWriter* writer) { return writer->paint->length + writer->pending; }

}  // namespace

RunStyle value_style(NodeKind node_kind) {
    switch (node_kind) {
    case NodeKind::String: return RunStyle::String;
    case NodeKind::Number: return RunStyle::Number;
    case NodeKind::True:
    case NodeKind::False: return RunStyle::Boolean;
    case NodeKind::Null: return RunStyle::Null;
    default: return RunStyle::Warning;
    }
}

Piece literal_piece(const char* text, RunStyle style) {
    return Piece{reinterpret_cast<const uint8_t*>(text), static_cast<uint32_t>(std::strlen(text)), false, style,
                 NO_LIMIT, 0, 0};
}

Piece source_piece(const uint8_t* bytes, uint32_t length, bool escapes, RunStyle style, uint32_t limit) {
    return Piece{bytes, length, escapes, style, limit, 0, 0};
}

RowWriter row_writer(RowPaint* paint) {
    RowWriter writer;
    writer.paint = paint;
    writer.failed = false;
    writer.style = RunStyle::Plain;
    writer.pending = 0;
    return writer;
}

void write_bytes(RowWriter* writer, const uint8_t* bytes, uint32_t length, RunStyle style) {
    if (writer->failed) return;
    if (writer->pending && (writer->style != style || writer->pending + length > sizeof writer->chunk)) {
        flush_row(writer);
        if (writer->failed) return;
    }
    writer->style = style;
    std::memcpy(writer->chunk + writer->pending, bytes, length);
    writer->pending += length;
}

void write_text(RowWriter* writer, const char* text, RunStyle style) {
    write_bytes(writer, reinterpret_cast<const uint8_t*>(text), static_cast<uint32_t>(std::strlen(text)), style);
}

void flush_row(RowWriter* writer) {
    if (!writer->failed && writer->pending && !append_run(writer->paint, writer->chunk, writer->pending, writer->style)) {
        writer->failed = true;
    }
    writer->pending = 0;
}

uint32_t piece_width(const Piece& piece, uint32_t stop) {
    CharDecoder decoder = char_decoder(piece.bytes, piece.length, piece.escapes);
    uint8_t ignored[4];
    uint32_t count = 0;
    while (count <= stop && next_char(&decoder, ignored)) {
        if (count == piece.limit) return count + 1;  // the limit's "…"
        count++;
    }
    return count;
}

uint32_t pieces_width(const Piece* pieces, uint32_t count, uint32_t stop) {
    uint32_t total = 0;
    for (uint32_t i = 0; i < count && total <= stop; i++) total += piece_width(pieces[i], stop - total);
    return total;
}

uint32_t write_pieces(RowWriter* writer, Piece* pieces, uint32_t count, uint32_t most) {
    for (uint32_t i = 0; i < count; i++) {
        Piece* piece = &pieces[i];
        piece->shown_start = written_length(writer);
        piece->shown_chars = 0;
        CharDecoder decoder = char_decoder(piece->bytes, piece->length, piece->escapes);
        uint8_t bytes[4];
        while (uint32_t length = next_char(&decoder, bytes)) {
            if (most == 0) return i;
            most--;
            if (piece->shown_chars == piece->limit) {
                write_text(writer, ELLIPSIS, piece->style);
                break;
            }
            write_char(writer, bytes, length, piece->style);
            piece->shown_chars++;
        }
    }
    return count;
}

uint32_t fit_pieces(RowWriter* writer, Piece* pieces, uint32_t count, uint32_t room) {
    uint32_t width = pieces_width(pieces, count, room);
    if (width <= room) {
        write_pieces(writer, pieces, count, width);
        return width;
    }
    if (room == 0) return 0;
    uint32_t cut = write_pieces(writer, pieces, count, room - 1);
    write_text(writer, ELLIPSIS, pieces[cut < count ? cut : count - 1].style);
    return room;
}
