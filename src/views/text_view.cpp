// Reading lines out of a TextView: painting one, or the plain text of a range.
#include "views/text_view.h"

#include "views/text_view_internal.h"

namespace {

void append_pretty_line(const TextView* view, uint32_t line, BoundedWriter* writer) {
    PrettyLine shown;
    if (!pretty_line(view, line, &shown)) return;
    for (uint32_t i = 0; i < shown.piece_count; i++)
        decode_text(writer, shown.pieces[i].bytes, shown.pieces[i].length, false);
}

void append_source_line(const TextView* view, uint32_t line, BoundedWriter* writer) {
    SourceLine shown = source_line(view->document, line);
    decode_text(writer, text(view->document) + shown.start, shown.end - shown.start, false);
}

}  // namespace

void build_text_line(const TextView* view, uint32_t line, uint32_t budget, const SearchState* search,
                     NodeId current_match, RowPaint* paint) {
    reset_row_paint(paint);
    if (!view || line >= view->line_count) return;
    if (view->mode == TEXT_PRETTY) build_pretty_line(view, line, budget, search, current_match, paint);
    else build_source_line(view, line, budget, search, current_match, paint);
}

uint64_t text_of_lines(const TextView* view, uint32_t first, uint32_t last, void* buffer, uint64_t size) {
    BoundedWriter writer = bounded_writer(buffer, size);
    if (first > last) {
        uint32_t swap = first;
        first = last;
        last = swap;
    }
    uint32_t count = text_line_count(view);
    if (first >= count) return 0;
    if (last >= count) last = count - 1;
    for (uint32_t line = first;; line++) {
        if (view->mode == TEXT_PRETTY) append_pretty_line(view, line, &writer);
        else append_source_line(view, line, &writer);
        if (line == last) break;
        bw_append(&writer, reinterpret_cast<const uint8_t*>("\n"), 1);
    }
    return writer.total;
}
