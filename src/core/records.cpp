// Records: many top-level values, one per line (JSON Lines) or one after
// another, gathered under a synthetic Array root at node 0. Unlike a single
// value, records are read past their errors: a record that fails becomes one
// Error node for the rest of its line, and reading resumes on the next line.
#include "core/scanners.h"

namespace VECTOR_NS {

namespace {

struct SavedState {
    NodeId node_count;
    uint32_t root_children;
    uint32_t large_count_count;
    uint32_t features;
};

SavedState save_state(const ParseContext* c) {
    const Document* doc = c->document;
    return SavedState{doc->node_count, c->stack[0].child_count, doc->large_count_count, doc->features};
}

const uint8_t* line_end_at_or_after(const ParseContext* c, const uint8_t* p) {
    const void* line_feed = std::memchr(p, '\n', static_cast<size_t>(c->text_end - p));
    return line_feed ? static_cast<const uint8_t*>(line_feed) : c->text_end;
}

// Rolls back to the saved state and appends one Error record for the region,
// carrying the error slot's offset and message.
bool record_error(ParseContext* c, const SavedState& saved, const uint8_t* region_start, const uint8_t* region_end) {
    Document* doc = c->document;
    doc->node_count = saved.node_count;
    c->stack[0].child_count = saved.root_children;
    doc->large_count_count = saved.large_count_count;
    doc->features = saved.features;
    c->depth = 0;
    set_write_position(c, doc->node_count);
    while (c->child_mark_count > 0 && c->child_marks[c->child_mark_count - 1].child >= saved.node_count)
        c->child_mark_count--;
    if (region_end > region_start && region_end[-1] == '\r') region_end--;
    uint32_t length = static_cast<uint32_t>(region_end - region_start);
    NodeId id = doc->node_count;
    if (c->write == c->region_end && !reserve_nodes(c, id)) {
        note_out_of_memory(c, region_start);
        return false;
    }
    uint32_t packed = static_cast<uint32_t>(NodeKind::Error);
    if (length >= LARGE_COUNT) {
        if (!add_large_value(c, id, length)) {
            note_out_of_memory(c, region_start);
            return false;
        }
        packed |= NodePacked::Large | (COUNT_FIELD_LARGE << NodePacked::CountShift);
    } else {
        packed |= length << NodePacked::CountShift;
    }
    if (!add_problem(c, c->error_offset, c->error_message, id)) {
        if (packed & NodePacked::Large) doc->large_count_count--;
        note_out_of_memory(c, region_start);
        return false;
    }
    NodeId root = c->stack[0].id;
    *c->write++ = Node{NO_NODE, offset_of(c, region_start), id + 1, root, packed};
    note_child(c, root, saved.root_children, id);
    doc->node_count = id + 1;
    c->stack[0].child_count = saved.root_children + 1;
    return true;
}

bool stopped(const ParseContext* c) { return c->cancelled || c->out_of_memory; }

// Several values one after another; returns where reading stopped.
const uint8_t* read_concatenated(ParseContext* c, const uint8_t* p) {
    for (;;) {
        if (p >= c->next_checkpoint && !checkpoint(c, p)) return p;
        c->unterminated_comment = nullptr;
        p = skip_space(c, p);
        SavedState saved = save_state(c);
        if (c->unterminated_comment) {
            c->error_offset = offset_of(c, c->text_end);
            c->error_message = MSG_UNEXPECTED_END_OF_FILE;
            record_error(c, saved, c->unterminated_comment, c->text_end);
            return c->text_end;
        }
        if (p >= c->text_end) return p;
        const uint8_t* next = parse_value(c, p);
        if (next) {
            p = next;
            continue;
        }
        if (stopped(c)) return c->text_start + c->error_offset;
        const uint8_t* region_end = line_end_at_or_after(c, c->text_start + c->error_offset);
        if (!record_error(c, saved, p, region_end)) return region_end;
        if (region_end >= c->text_end || c->stop_at_first_problem) return region_end;
        // Resume after the line feed. A string scanner may have run ahead
        // through later lines: their line starts are recorded again as
        // reading goes on.
        p = region_end + 1;
        Document* doc = c->document;
        uint32_t resume = offset_of(c, p);
        while (doc->line_count > 0 && doc->line_starts[doc->line_count - 1] >= resume) doc->line_count--;
        add_line_start(c, p);
    }
}

// One value per line, up to c->lines_end or the end of the text; returns
// where reading stopped.
const uint8_t* read_json_lines(ParseContext* c, const uint8_t* p) {
    c->single_line = 1;
    const uint8_t* line = p;
    for (;;) {
        if (p >= c->next_checkpoint && !checkpoint(c, p)) return p;
        SavedState saved = save_state(c);
        c->unterminated_comment = nullptr;
        p = skip_space(c, p);
        const uint8_t* error_at = nullptr;
        if (c->unterminated_comment) {
            error_at = p;
        } else if (p >= c->text_end) {
            return p;
        } else if (*p != '\n') {
            const uint8_t* next = parse_value(c, p);
            if (!next) {
                if (stopped(c)) return c->text_start + c->error_offset;
            } else {
                p = skip_space(c, next);
                if (c->unterminated_comment) {
                    error_at = p;
                } else if (p >= c->text_end) {
                    return p;
                } else if (*p != '\n') {
                    set_error_at(c, p, c->strict && is_comment_start(p) ? MSG_COMMENTS_NOT_ALLOWED
                                                                         : MSG_EXPECTED_END_OF_LINE);
                    next = nullptr;
                }
            }
            if (!next && !error_at) {
                const uint8_t* region_end = line_end_at_or_after(c, c->text_start + c->error_offset);
                if (!record_error(c, saved, line, region_end) || region_end >= c->text_end) return region_end;
                p = region_end;
            }
        }
        if (error_at) {
            // An unterminated block comment ends the line's reading.
            if (error_at < c->text_end && *error_at == '\n' && error_at > c->text_start && error_at[-1] == '\r')
                error_at--;
            c->error_offset = offset_of(c, error_at);
            c->error_message = MSG_UNEXPECTED_END_OF_LINE;
            const uint8_t* region_end = line_end_at_or_after(c, line);
            if (!record_error(c, saved, line, region_end) || region_end >= c->text_end) return region_end;
            p = region_end;
        }
        // p is at the line feed that ends this line.
        p++;
        add_line_start(c, p);
        if (p == c->lines_end) return p;
        line = p;
    }
}

}  // namespace

void parse_records(ParseContext* c, const uint8_t* p, bool json_lines) {
    c->form = json_lines ? DocumentForm::JsonLines : DocumentForm::Concatenated;
    const uint8_t* end = json_lines ? read_json_lines(c, p) : read_concatenated(c, p);
    close_records(c, end);
}

const LoaderScanners LOADER_SCANNERS = {skip_space, parse_value, parse_records, read_json_lines, read_concatenated};

}  // namespace VECTOR_NS
