// load_document: byte-order marks and UTF-16, choosing between one value,
// JSON Lines and several values, and finishing the Document.
#include "core/load.h"

#include <new>

#include "base/memory.h"
#include "core/load_finish.h"
#include "core/parallel_lines.h"
#include "core/parse_context.h"
#include "core/utf16.h"

namespace {

uint64_t length_limit = MAX_TEXT_LENGTH;

bool cancel_requested(const LoadProgress* progress) {
    return progress && progress->cancel && progress->cancel->load(std::memory_order_relaxed);
}

Document* fail(Document* doc, uint32_t* outcome, uint32_t code) {
    release(doc);
    *outcome = code;
    return nullptr;
}

// Converts the UTF-16 text after its mark into a new padded buffer that
// becomes the Document's text. Returns the outcome code; *measured is the
// converted length once it is known.
uint32_t convert_to_utf8(Document* doc, const uint8_t* units, uint64_t length, bool big_endian,
                         const LoadProgress* progress, uint64_t* measured_out) {
    uint64_t measured = 0;
    if (convert_utf16(units, length, big_endian, nullptr, 0, progress, &measured) == Utf16Status::Cancelled)
        return LOAD_CANCELLED;
    *measured_out = measured;
    if (measured > length_limit) return LOAD_TOO_LARGE;
    uint8_t* converted = alloc_text_buffer(measured);
    if (!converted) return LOAD_OUT_OF_MEMORY;
    uint64_t written = 0;
    if (convert_utf16(units, length, big_endian, converted, measured, progress, &written) ==
        Utf16Status::Cancelled) {
        mem_free(converted);
        return LOAD_CANCELLED;
    }
    if (written != measured) {
        mem_free(converted);
        return LOAD_OUT_OF_MEMORY;
    }
    mem_free(doc->text_allocation);
    doc->text_allocation = converted;
    doc->text = converted;
    doc->text_length = static_cast<uint32_t>(measured);
    return LOAD_SUCCESS;
}

// Strips a UTF-8 mark, or converts UTF-16. Returns the outcome code;
// *length is the text's length after conversion as far as it is known.
uint32_t decode_byte_order_mark(Document* doc, const LoadProgress* progress, uint64_t* length_out) {
    const uint8_t* t = doc->text;
    uint32_t length = doc->text_length;
    if (length >= 3 && t[0] == 0xEF && t[1] == 0xBB && t[2] == 0xBF) {
        doc->text += 3;
        doc->text_length -= 3;
        doc->encoding_label = "UTF-8 with BOM";
        return LOAD_SUCCESS;
    }
    if (length >= 2 && ((t[0] == 0xFF && t[1] == 0xFE) || (t[0] == 0xFE && t[1] == 0xFF))) {
        bool big_endian = t[0] == 0xFE;
        doc->encoding_label = big_endian ? "UTF-16 BE" : "UTF-16 LE";
        return convert_to_utf8(doc, t + 2, length - 2, big_endian, progress, length_out);
    }
    return LOAD_SUCCESS;
}

bool set_up(ParseContext* c, Document* doc, const LoadOptions* options, const LoadProgress* progress) {
    c->document = doc;
    c->text_start = doc->text;
    c->text_end = doc->text + doc->text_length;
    c->strict = options ? options->strict : 0;
    c->progress = progress;
    c->scanners = loader_scanners();
    c->form = DocumentForm::Single;
    c->next_checkpoint = checkpoint_after(c, c->text_start);
    if (!allocate_first_tables(c, doc->text_length)) return false;
    if (doc->text_length > 0) add_line_start(c, c->text_start);
    return true;
}

// Back to an empty Document before reading the text again from its start.
void reset_for_reading_again(ParseContext* c) {
    Document* doc = c->document;
    doc->node_count = 0;
    set_write_position(c, 0);
    doc->features = 0;
    doc->line_count = doc->text_length > 0 ? 1 : 0;
    doc->large_count_count = 0;
    c->big_container_count = 0;
    c->child_mark_count = 0;
    c->depth = 0;
    c->stack[0] = StackEntry{nullptr, NO_NODE, 0};
    c->unterminated_comment = nullptr;
}

// Reads the whole text again from its start as records.
void read_again(ParseContext* c, bool json_lines) {
    reset_for_reading_again(c);
    if (!insert_records_root(c)) {
        note_out_of_memory(c, c->text_start);
        return;
    }
    if (json_lines) read_all_json_lines(c);
    else c->scanners->parse_records(c, c->text_start, false);
}

// Whether the text from `from` on reads as several values without a
// problem, read beside the Document, which stays as it is.
bool reads_as_values(ParseContext* c, const uint8_t* from) {
    // Sized for a short reading: most end at the first line.
    constexpr uint32_t FIRST_TABLES_BYTES = 64u << 10;
    ParseContext probe{};
    bool clean = false;
    LoadProgress cancel_only{nullptr, nullptr, c->progress ? c->progress->cancel : nullptr};
    if (start_side_reading(&probe, c, FIRST_TABLES_BYTES)) {
        probe.form = DocumentForm::Concatenated;
        probe.stop_at_first_problem = 1;
        probe.progress = &cancel_only;
        probe.next_checkpoint = checkpoint_after(&probe, from);
        (void)c->scanners->read_values(&probe, from);
        clean = probe.document->problem_count == 0 && !probe.out_of_memory && !probe.cancelled;
        c->cancelled = probe.cancelled;
    }
    end_side_reading(&probe);
    return clean;
}

// The probe judges by the first value only: a comment block over several
// lines before one-line values, or a one-line value followed by a pretty one,
// looks like JSON Lines and then reads as bad lines. When the text reads as
// several values without any problem, that is the reading meant; otherwise
// the JSON Lines reading stands. Every line before the first bad one holds
// one whole value, which several values read alike: the text from that
// line's start on decides.
void prefer_several_values(ParseContext* c) {
    Document* doc = c->document;
    NodeId bad = doc->problems[0].node;
    const uint8_t* from = c->text_start;
    if (bad < doc->node_count && kind(doc, bad) == NodeKind::Error) from += node_at(doc, bad)->value_offset;
    if (!reads_as_values(c, from) || c->cancelled) return;
    doc->problem_count = 0;
    c->next_checkpoint = checkpoint_after(c, c->text_start);
    read_again(c, false);
}

bool can_start_value(uint8_t byte) {
    switch (byte) {
    case '"': case '\'': case '+': case '-': case '.': case 'I': case 'N': case '[': case 'f': case 'n': case 't':
    case '{':
        return true;
    default:
        return is_digit(byte);
    }
}

// The first value was read and more text follows that can start a value:
// decide between JSON Lines and several concatenated values, and read on.
void read_more_values(ParseContext* c, const uint8_t* first_value_end, const uint8_t* next_value,
                      bool first_value_on_one_line, uint32_t lines_before_skip) {
    Document* doc = c->document;
    bool json_lines = false;
    if (first_value_on_one_line && doc->line_count > lines_before_skip) {
        c->single_line = 1;
        c->unterminated_comment = nullptr;
        const uint8_t* stop = c->scanners->skip_space(c, first_value_end);
        c->single_line = 0;
        json_lines = stop < c->text_end && *stop == '\n' && !c->unterminated_comment;
    }
    if (json_lines) {
        read_again(c, true);
        if (doc->problem_count > 0 && !c->out_of_memory && !c->cancelled) prefer_several_values(c);
        return;
    }
    if (!insert_records_root(c)) {
        note_out_of_memory(c, next_value);
        return;
    }
    c->scanners->parse_records(c, next_value, false);
}

void read_text(ParseContext* c) {
    const uint8_t* p = c->scanners->skip_space(c, c->text_start);
    c->parse_end = p;
    if (p >= c->text_end) {
        if (c->unterminated_comment) (void)add_problem(c, offset_of(c, c->text_end), MSG_UNEXPECTED_END_OF_FILE, NO_NODE);
        else if (c->strict) (void)add_problem(c, offset_of(c, p), MSG_EXPECTED_VALUE, NO_NODE);
        return;
    }
    Document* doc = c->document;
    uint32_t lines_before_value = doc->line_count;
    const uint8_t* value_end = c->scanners->parse_value(c, p);
    if (!value_end) {
        while (c->depth > 0) {
            (void)close_container(c, &c->stack[c->depth], doc->node_count, NodeFlags::Unclosed,
                                  c->text_start + c->error_offset);
            c->depth--;
        }
        c->parse_end = c->text_start + c->error_offset;
        if (c->error_message == MSG_OUT_OF_MEMORY) c->memory_problem_recorded = 1;
        if (c->cancelled) return;
        (void)add_problem(c, c->error_offset, c->error_message, NO_NODE);
        return;
    }
    bool on_one_line = doc->line_count == lines_before_value;
    uint32_t lines_after_value = doc->line_count;
    c->unterminated_comment = nullptr;
    p = c->scanners->skip_space(c, value_end);
    c->parse_end = p;
    if (p >= c->text_end) {
        if (c->unterminated_comment) (void)add_problem(c, offset_of(c, c->text_end), MSG_UNEXPECTED_END_OF_FILE, NO_NODE);
        return;
    }
    if (c->strict) {
        (void)add_problem(c, offset_of(c, p), is_comment_start(p) ? MSG_COMMENTS_NOT_ALLOWED : MSG_TEXT_AFTER_VALUE,
                          NO_NODE);
        return;
    }
    if (!can_start_value(*p)) {
        (void)add_problem(c, offset_of(c, p), MSG_TEXT_AFTER_VALUE, NO_NODE);
        return;
    }
    if (c->out_of_memory) return;
    read_more_values(c, value_end, p, on_one_line, lines_after_value);
}

void finish(ParseContext* c) {
    Document* doc = c->document;
    complete_line_starts(c);
    if (c->out_of_memory && !c->memory_problem_recorded) {
        const uint8_t* at = c->out_of_memory_position ? c->out_of_memory_position : c->text_start;
        (void)add_problem(c, offset_of(c, at), MSG_OUT_OF_MEMORY, NO_NODE);
    }
    shrink_line_starts(c);
    shrink_node_chunks(c);
    doc->memory_problem_index = NO_NODE;
    for (uint32_t i = 0; i < doc->problem_count; i++) {
        if (doc->problems[i].message == MSG_OUT_OF_MEMORY) {
            doc->memory_problem_index = i;
            break;
        }
    }
    if (doc->problem_count > 0) {
        describe_problem(doc, 0, &doc->first_problem_info);
        if (doc->problem_count >= 2) {
            uint32_t chunks = (doc->problem_count + PROBLEM_INFO_CHUNK - 1) / PROBLEM_INFO_CHUNK;
            doc->problem_info_chunks = static_cast<ProblemInfo**>(mem_alloc_zeroed(chunks * sizeof(ProblemInfo*)));
            doc->problem_info_chunk_count = doc->problem_info_chunks ? chunks : 0;
        }
    }
    doc->has_long_lines = find_long_lines(doc);
    sort_large_counts(doc);
    build_child_index(c);
    doc->form = doc->node_count ? c->form : DocumentForm::Empty;
}

}  // namespace

uint8_t* alloc_text_buffer(uint64_t length) {
    if (length > UINT64_MAX - TEXT_PADDING) return nullptr;
    auto* buffer = static_cast<uint8_t*>(mem_alloc(length + TEXT_PADDING));
    if (buffer) std::memset(buffer + length, 0, TEXT_PADDING);
    return buffer;
}

void load_test_set_length_limit(uint64_t limit) { length_limit = limit ? limit : MAX_TEXT_LENGTH; }

Document* load_document(uint8_t* buffer, uint64_t length, const LoadOptions* options, const LoadProgress* progress,
                        uint32_t* outcome, uint64_t* too_large_length) {
    uint32_t local_outcome = 0;
    if (!outcome) outcome = &local_outcome;
    uint64_t local_length = 0;
    if (!too_large_length) too_large_length = &local_length;
    *too_large_length = length;
    if (length > length_limit) {
        mem_free(buffer);
        *outcome = LOAD_TOO_LARGE;
        return nullptr;
    }
    if (!buffer) {
        *outcome = LOAD_OUT_OF_MEMORY;
        return nullptr;
    }
    if (cancel_requested(progress)) {
        mem_free(buffer);
        *outcome = LOAD_CANCELLED;
        return nullptr;
    }
    void* memory = mem_alloc_zeroed(sizeof(Document));
    if (!memory) {
        mem_free(buffer);
        *outcome = LOAD_OUT_OF_MEMORY;
        return nullptr;
    }
    Document* doc = new (memory) Document{};
    doc->reference_count.store(1, std::memory_order_relaxed);
    doc->text = buffer;
    doc->text_allocation = buffer;
    doc->text_length = static_cast<uint32_t>(length);
    doc->encoding_label = "UTF-8";
    doc->memory_problem_index = NO_NODE;

    uint32_t code = decode_byte_order_mark(doc, progress, too_large_length);
    if (code != LOAD_SUCCESS) return fail(doc, outcome, code);

    ParseContext context{};
    ParseContext* c = &context;
    if (!set_up(c, doc, options, progress)) {
        mem_free(c->stack);
        return fail(doc, outcome, LOAD_OUT_OF_MEMORY);
    }
    if (options && options->json_lines) {
        if (insert_records_root(c)) read_all_json_lines(c);
        else note_out_of_memory(c, c->text_start);
    } else {
        read_text(c);
    }
    mem_free(c->stack);
    if (c->cancelled || cancel_requested(progress)) {
        mem_free(c->big_containers);
        mem_free(c->child_marks);
        return fail(doc, outcome, LOAD_CANCELLED);
    }
    finish(c);
    mem_free(c->big_containers);
    mem_free(c->child_marks);
    if (progress && progress->callback) progress->callback(progress->argument, doc->text_length, doc->text_length);
    *outcome = LOAD_SUCCESS;
    return doc;
}
