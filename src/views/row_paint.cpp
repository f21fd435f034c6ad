#include "views/row_paint.h"

#include <cstring>

#include "base/memory.h"

namespace {

constexpr uint32_t FIRST_TEXT_CAPACITY = 32;
constexpr uint32_t FIRST_RUN_CAPACITY = 4;

uint8_t shared_empty_text[1] = {0};

// Grows the text buffer (doubling from 32) to hold `needed` bytes.
[[nodiscard]] bool reserve_text(RowPaint* paint, uint64_t needed) {
    if (needed <= paint->capacity) return true;
    if (needed > UINT32_MAX) return false;
    uint64_t capacity = paint->capacity ? paint->capacity : FIRST_TEXT_CAPACITY;
    while (capacity < needed) capacity *= 2;
    if (capacity > UINT32_MAX) capacity = UINT32_MAX;
    uint8_t* owned = paint->capacity ? paint->text : nullptr;
    uint8_t* text = mem_realloc_array(owned, capacity);
    if (!text) return false;
    if (!owned) text[0] = 0;
    paint->text = text;
    paint->capacity = static_cast<uint32_t>(capacity);
    return true;
}

// Grows the run array (doubling from 4) to hold `needed` runs.
[[nodiscard]] bool reserve_runs(RowPaint* paint, uint64_t needed) {
    if (needed <= paint->run_capacity) return true;
    if (needed > UINT32_MAX / 2) return false;
    uint32_t capacity = paint->run_capacity ? paint->run_capacity : FIRST_RUN_CAPACITY;
    while (capacity < needed) capacity *= 2;
    TextRun* runs = mem_realloc_array(paint->runs, capacity);
    if (!runs) return false;
    paint->runs = runs;
    paint->run_capacity = capacity;
    return true;
}

// Splits the run that holds `offset` strictly inside it into two.
void split_at(RowPaint* paint, uint32_t offset) {
    for (uint32_t i = 0; i < paint->run_count; i++) {
        TextRun run = paint->runs[i];
        if (offset <= run.start || offset >= run.start + run.length) continue;
        std::memmove(paint->runs + i + 2, paint->runs + i + 1, (paint->run_count - i - 1) * sizeof(TextRun));
        paint->runs[i].length = offset - run.start;
        paint->runs[i + 1] = TextRun{offset, run.start + run.length - offset, run.style, run.mark};
        paint->run_count++;
        return;
    }
}

void merge_alike_neighbours(RowPaint* paint) {
    uint32_t kept = 0;
    for (uint32_t i = 0; i < paint->run_count; i++) {
        TextRun run = paint->runs[i];
        if (kept && paint->runs[kept - 1].style == run.style && paint->runs[kept - 1].mark == run.mark) {
            paint->runs[kept - 1].length += run.length;
        } else {
            paint->runs[kept++] = run;
        }
    }
    paint->run_count = kept;
}

}  // namespace

RowPaint row_paint() {
    RowPaint paint{};
    paint.text = shared_empty_text;
    paint.node = NO_NODE;
    return paint;
}

void release_row_paint(RowPaint* paint) {
    if (!paint) return;
    if (paint->capacity) mem_free(paint->text);
    mem_free(paint->runs);
    *paint = row_paint();
}

void reset_row_paint(RowPaint* paint) {
    paint->length = 0;
    if (paint->capacity) paint->text[0] = 0;
    paint->run_count = 0;
    paint->node = NO_NODE;
    paint->depth = 0;
    paint->line_number = 0;
    paint->chevron = 0;
    paint->closing_line = 0;
}

bool append_run(RowPaint* paint, const uint8_t* bytes, uint32_t length, RunStyle style) {
    if (length == 0) return true;
    TextRun* last = paint->run_count ? &paint->runs[paint->run_count - 1] : nullptr;
    bool extend = last && last->style == style && last->mark == 0;
    if (!reserve_text(paint, uint64_t{paint->length} + length + 1)) return false;
    if (!extend && !reserve_runs(paint, uint64_t{paint->run_count} + 1)) return false;
    std::memcpy(paint->text + paint->length, bytes, length);
    if (extend) paint->runs[paint->run_count - 1].length += length;
    else paint->runs[paint->run_count++] = TextRun{paint->length, length, style, 0};
    paint->length += length;
    paint->text[paint->length] = 0;
    return true;
}

bool mark_range(RowPaint* paint, uint32_t start, uint32_t length, uint8_t mark) {
    if (start >= paint->length || length == 0) return true;
    uint32_t end = length > paint->length - start ? paint->length : start + length;
    if (!reserve_runs(paint, uint64_t{paint->run_count} + 2)) return false;
    split_at(paint, start);
    split_at(paint, end);
    for (uint32_t i = 0; i < paint->run_count; i++) {
        TextRun* run = &paint->runs[i];
        if (run->start >= start && run->start + run->length <= end) run->mark = mark;
    }
    merge_alike_neighbours(paint);
    return true;
}

uint8_t* row_paint_spare(RowPaint* paint, uint32_t size) {
    if (!reserve_text(paint, uint64_t{paint->length} + 1 + size)) return nullptr;
    return paint->text + paint->length + 1;
}

CharDecoder char_decoder(const uint8_t* bytes, uint32_t length, bool escapes) {
    return CharDecoder{bytes, bytes ? bytes + length : bytes, escapes};
}

uint32_t next_char(CharDecoder* decoder, uint8_t out[4]) {
    while (decoder->next < decoder->end) {
        // One step decodes exactly one character, or nothing for an escaped
        // line break; five bytes of room hold any character and the zero.
        uint8_t room[5];
        BoundedWriter writer = bounded_writer(room, sizeof room);
        decoder->next = decode_character(&writer, decoder->next, decoder->end, decoder->escapes);
        if (writer.written) {
            std::memcpy(out, room, writer.written);
            return static_cast<uint32_t>(writer.written);
        }
    }
    return 0;
}
