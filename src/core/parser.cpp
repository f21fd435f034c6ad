// The structural parser: one value and everything nested in it, read by an
// iterative state machine with an explicit stack of open containers (no
// recursion, so nesting is bounded only by the 100,000-level limit).
#include "base/memory.h"
#include "core/scanners.h"

namespace VECTOR_NS {

namespace {

// true, false or null, when the byte after the word is not a letter, digit
// or "_"; else nullptr. Words are compared 4 bytes at a time ("true" is
// 0x65757274 read little-endian); the text's zero padding makes the reads safe.
const uint8_t* match_literal(const uint8_t* p, NodeKind* kind) {
    uint32_t word;
    std::memcpy(&word, p, 4);
    const uint8_t* end = nullptr;
    if (word == 0x65757274u) {  // "true"
        *kind = NodeKind::True;
        end = p + 4;
    } else if (word == 0x6C6C756Eu) {  // "null"
        *kind = NodeKind::Null;
        end = p + 4;
    } else if (word == 0x736C6166u && p[4] == 'e') {  // "fals" "e"
        *kind = NodeKind::False;
        end = p + 5;
    }
    return end && !is_word_byte(*end) ? end : nullptr;
}

// The error for a byte found where a comma, a closing bracket or a colon was
// expected. In single-line mode the end of the line (or text) is "unexpected
// end of line", at the carriage return before a line feed if there is one.
void set_expectation_error(ParseContext* c, const uint8_t* p, uint32_t message) {
    if (c->single_line && (p >= c->text_end || *p == '\n')) {
        if (p < c->text_end && p > c->text_start && p[-1] == '\r') p--;
        message = MSG_UNEXPECTED_END_OF_LINE;
    } else if (p >= c->text_end) {
        message = MSG_UNEXPECTED_END_OF_FILE;
    } else if (is_comment_start(p)) {
        message = MSG_COMMENTS_NOT_ALLOWED;
    }
    set_error_at(c, p, message);
}

// A Node in two 8-byte stores and one 4-byte store.
inline void put_node(Node* node, uint32_t key, uint32_t offset, uint32_t end, uint32_t up, uint32_t packed) {
    uint64_t first = key | (uint64_t{offset} << 32);
    uint64_t second = end | (uint64_t{up} << 32);
    std::memcpy(&node->key_offset, &first, 8);
    std::memcpy(&node->subtree_end, &second, 8);
    node->packed = packed;
}

bool grow_stack(ParseContext* c) {
    if (c->stack_capacity >= MAX_STACK_ENTRIES) return false;
    uint32_t capacity = c->stack_capacity * 2;
    if (capacity > MAX_STACK_ENTRIES) capacity = MAX_STACK_ENTRIES;
    StackEntry* stack = mem_realloc_array(c->stack, capacity);
    if (!stack) return false;
    c->stack = stack;
    c->stack_capacity = capacity;
    return true;
}

}  // namespace

const uint8_t* parse_value(ParseContext* c, const uint8_t* p) {
    Document* const doc = c->document;
    const uint8_t* const start = c->text_start;
    const bool strict = c->strict;
    const bool single_line = c->single_line;
    // The hot state lives in locals and is stored back before anything that
    // looks at the context's copy: the write position, the node count, the
    // next checkpoint, and the top container's id, child count and kind.
    Node* write = c->write;
    Node* region_end = c->region_end;
    NodeId count = doc->node_count;
    const uint8_t* next_checkpoint = c->next_checkpoint;
    uint32_t depth = c->depth;
    StackEntry* top = c->stack + depth;
    NodeId top_id = top->id;
    uint32_t top_children = top->child_count;
    bool top_is_object = depth > 0 && (top->node->packed & NodePacked::KindMask) == 0;
    uint8_t top_closing = top_is_object ? '}' : ']';
    uint32_t pending_key = NO_NODE;
    uint32_t pending_flags = 0;
    NodeKind value_kind = NodeKind::Null;
    const uint8_t* value_end = nullptr;
    uint32_t message = MSG_UNKNOWN;
    uint32_t row_pause = 0;  // numbers to read one by one before trying a row scan again

    auto store = [&] {
        c->write = write;
        doc->node_count = count;
        c->depth = depth;
        top->child_count = top_children;
    };
    auto reload_top = [&] {
        top = c->stack + depth;
        top_id = top->id;
        top_children = top->child_count;
        top_is_object = depth > 0 && (top->node->packed & NodePacked::KindMask) == 0;
        top_closing = top_is_object ? '}' : ']';
    };
    auto reserve = [&]() -> bool {
        store();
        if (!reserve_nodes(c, count)) return false;
        write = c->write;
        region_end = c->region_end;
        top = c->stack + depth;
        return true;
    };
    // After a scalar or a closed container: progress, cancellation, and the
    // stop asked for when memory ran out.
    auto checkpoint_due = [&]() { return p >= next_checkpoint; };
    auto take_checkpoint = [&]() -> bool {
        store();
        bool go_on = checkpoint(c, p);
        next_checkpoint = c->next_checkpoint;
        return go_on;
    };
    // Pretty-printed text breaks the line after most values and indents the
    // next one as deep as the last line at the same depth. Taking that
    // indentation as a guess, checked by one vector compare, lets the next
    // token's read start before the compare is done: the run's length no
    // longer waits for the scan that measures it. r is just past a line feed
    // and the line-start table has room; the result may still be whitespace.
    uint8_t indents[32] = {};  // indentation last met at each depth, modulo 32
    auto skip_indentation = [&](const uint8_t* r, uint32_t level) {
        doc->line_starts[doc->line_count++] = offset_of(c, r);
        // Lanes of the blanks from r on, e.g. 0b0111 for three spaces and a
        // quote; a guess of 3 needs bits 0-2 set and bit 3 clear.
        uint64_t blanks = blank_lanes32(r);
        uint32_t guess = indents[level % 32];
        if ((blanks & ((2ull << guess) - 1)) == (1ull << guess) - 1) return r + guess;
        uint32_t run = static_cast<uint32_t>(__builtin_ctzll(~blanks));
        if (run < 32) indents[level % 32] = static_cast<uint8_t>(run);
        return r + run;
    };
    // Whitespace and comments record line starts. When the line-start table
    // cannot grow, the scanner moves the context's checkpoint to ask for a
    // stop, so the local copy has to follow it. Each way into the
    // indentation has its own branch, so that where the line starts is never
    // computed from the bytes before it.
    auto skip_blanks = [&](const uint8_t* q, uint32_t level) {
        if (*q > ' ') return q;  // the common case: most positions hold no whitespace
        if (!single_line && doc->line_count < c->line_starts_capacity) {
            if (*q == '\n') {
                q = skip_indentation(q + 1, level);
                if (*q > ' ') return q;
            } else if ((*q == ' ' || *q == '\r') && q[1] == '\n') {  // ", \n" and CR LF
                q = skip_indentation(q + 2, level);
                if (*q > ' ') return q;
            }
        }
        q = skip_whitespace(c, q);
        next_checkpoint = c->next_checkpoint;
        return q;
    };
    // Objects of one shape repeat their keys. The length of the key last met
    // at the same depth and place among the members is taken as a guess: the
    // compare that checks it runs beside the value's read, which then need
    // not wait for the scan of the key.
    uint8_t key_lengths[8][32] = {};
    auto skip_blanks_and_comments = [&](const uint8_t* q) {
        q = skip_space(c, q);
        next_checkpoint = c->next_checkpoint;
        return q;
    };

dispatch_value:
    // Strings first: a plain branch predicts the usual key-by-key mix of
    // kinds better than the switch's table jump.
    if (*p == '"') goto string_value;
    switch (*p) {
    string_value: {
        value_kind = NodeKind::String;
        value_end = scan_plain_string(p, next_checkpoint);
        if (value_end) goto write_scalar;
        uint32_t string_flags = 0;
        value_end = scan_string(c, p, &string_flags);
        if (!value_end) goto fail;
        next_checkpoint = c->next_checkpoint;
        if (string_flags & STRING_ESCAPED) pending_flags |= NodeFlags::ValueEscaped;
        if (string_flags & STRING_JSON5_ESCAPE) pending_flags |= NodeFlags::Json5Form;
        goto write_scalar;
    }
    case '-': case '0': case '1': case '2': case '3': case '4': case '5': case '6': case '7': case '8': case '9':
    number_value:
        value_end = scan_json_number(p);
        if (!value_end) {
            // JSON5 number forms (1., 0x1F, -Infinity) only when not strict.
            if (strict) {
                message = MSG_INVALID_NUMBER;
                goto fail_here;
            }
            value_end = scan_json5_number(c, p);
            if (!value_end) goto fail;
            pending_flags |= NodeFlags::Json5Form;
        }
        value_kind = NodeKind::Number;
        goto write_scalar;
    case '{':
    case '[':
        goto open_container;
    case 't':
    case 'f':
    case 'n':
        value_end = match_literal(p, &value_kind);
        if (value_end) goto write_scalar;
        message = MSG_INVALID_LITERAL;
        goto fail_here;
    case ' ': case '\t': case '\n': case '\r': {
        // Whitespace is skipped here rather than before every value: minified
        // text has none. A line feed ends the value's line in single-line mode.
        const uint8_t* after = skip_blanks(p, depth);
        if (after != p) {
            p = after;
            goto dispatch_value;
        }
        goto other_value;
    }
    default:
    other_value:
        value_end = scan_json5_value(c, p);
        if (!value_end) goto fail;
        next_checkpoint = c->next_checkpoint;
        if (value_end == p) goto comment_in_place;
        value_kind = c->scanned_kind;
        pending_flags |= c->scanned_flags;
        goto write_scalar;
    }

write_scalar: {
    // The processor's own prefetching stops at each 4 KB page of the text
    // and of the Nodes: asking for both well ahead keeps their misses off
    // the parse (measured: a 1 GB minified document loads 15-20% faster).
    // By address: the write position is null before the first chunk, and
    // the text ends somewhere in the next kilobyte.
    __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(value_end) + 1024));
    __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<uintptr_t>(write) + 64 * sizeof(Node)), 1);
    if (write == region_end && !reserve()) goto fail_out_of_memory;
    uint32_t length = static_cast<uint32_t>(value_end - p);
    uint32_t packed = static_cast<uint32_t>(value_kind) | (pending_flags << NodePacked::FlagShift);
    if (length >= LARGE_COUNT) {
        if (!add_large_value(c, count, length)) goto fail_out_of_memory;
        packed |= NodePacked::Large | (COUNT_FIELD_LARGE << NodePacked::CountShift);
    } else {
        packed |= length << NodePacked::CountShift;
    }
    put_node(write++, pending_key, static_cast<uint32_t>(p - start), count + 1, top_id, packed);
    note_child(c, top_id, top_children, count);
    count++;
    top_children++;
    pending_key = NO_NODE;
    pending_flags = 0;
    p = value_end;
    if (checkpoint_due() && !take_checkpoint()) goto fail_stopped;
    if (top_is_object) goto next_member;
    goto next_in_row;
}

next_member:
    // The next key straight after a comma, the usual minified case.
    if (*p == ',' && p[1] == '"') {
        p++;
        goto expect_key;
    }
    goto after_value;

next_in_row:
    // Rows of numbers ("0.25,0.5,...") are most of many large files: go
    // straight on to the next one, many at a time once the row is long.
    // Rows of strings and of objects go straight on too.
    if (*p == ',' && depth > 0) {
        if (is_digit(p[1]) || p[1] == '-') {
            p++;
            if (top_children < 2) goto number_value;
            goto number_row;
        }
        if (p[1] == '"') {
            p++;
            goto string_value;
        }
        if (p[1] == '{') {
            p++;
            goto open_container;
        }
    }
    goto after_value;

number_row: {
    // p is at a number in an array.
    if (region_end - write < NUMBER_ROW_MAX) goto number_value;
    if (row_pause > 0) {
        row_pause--;
        goto number_value;
    }
    uint8_t commas[NUMBER_ROW_MAX];
    uint32_t found = scan_number_row(p, commas);
    if (found < 2) {
        // Not a row of plain numbers (exponents, spaces, pairs): leave the
        // next few to the ordinary scan, which is quicker for one number.
        row_pause = 16;
        if (found == 0) goto number_value;
    }
    uint32_t number_start = 0;
    for (uint32_t i = 0; i < found; i++) {
        uint32_t length = commas[i] - number_start;
        put_node(write++, NO_NODE, offset_of(c, p + number_start), count + 1, top_id,
                 static_cast<uint32_t>(NodeKind::Number) | (length << NodePacked::CountShift));
        note_child(c, top_id, top_children, count);
        count++;
        top_children++;
        number_start = commas[i] + 1;
    }
    p += commas[found - 1];
    if (checkpoint_due() && !take_checkpoint()) goto fail_stopped;
    goto next_in_row;
}

open_container: {
    if (depth >= MAX_DEPTH) {
        message = MSG_TOO_DEEP;
        goto fail_here;
    }
    if (depth + 1 >= c->stack_capacity) {
        top->child_count = top_children;
        if (!grow_stack(c)) goto fail_out_of_memory;
        top = c->stack + depth;
    }
    if (write == region_end && !reserve()) goto fail_out_of_memory;
    bool object = *p == '{';
    NodeKind container_kind = object ? NodeKind::Object : NodeKind::Array;
    put_node(write, pending_key, static_cast<uint32_t>(p - start), count + 1, top_id,
             static_cast<uint32_t>(container_kind) | (pending_flags << NodePacked::FlagShift));
    note_child(c, top_id, top_children, count);
    top->child_count = top_children + 1;
    depth++;
    top = c->stack + depth;
    *top = StackEntry{write, count, 0};
    top_id = count;
    top_children = 0;
    top_is_object = object;
    write++;
    count++;
    pending_key = NO_NODE;
    pending_flags = 0;
    top_closing = object ? '}' : ']';
    p = skip_blanks(p + 1, depth);
    if (*p == top_closing) goto close_by_bracket;
    if (object) goto expect_key;
    if (is_digit(*p) || *p == '-') goto number_row;
    goto dispatch_value;
}

close_by_bracket:
    // p is at the closing bracket of the top container. Small containers
    // (most of them) need neither the large counts nor the child index.
    if (top_children < 64) {
        top->node->packed |= top_children << NodePacked::CountShift;
        top->node->subtree_end = count;
    } else {
        top->child_count = top_children;
        if (!close_container(c, top, count, 0, p)) goto fail_out_of_memory;
    }
    depth--;
    reload_top();
    p++;
    if (checkpoint_due() && !take_checkpoint()) goto fail_stopped;
    if (top_is_object) goto next_member;
    goto next_in_row;

after_value:
    if (depth == 0) {
        store();
        return p;
    }
    p = skip_blanks(p, depth - 1);  // most often the line of the closing bracket
look_again: {
    if (*p == ',') {
        const uint8_t* comma = p;
        p = skip_blanks(p + 1, depth);
        if (*p == top_closing) {
            if (strict) {
                p = comma;
                message = MSG_TRAILING_COMMA;
                goto fail_here;
            }
            doc->features |= SyntaxFeatures::TrailingCommas;
            goto close_by_bracket;
        }
        if (top_is_object) goto expect_key;
        goto dispatch_value;
    }
    if (*p == top_closing) goto close_by_bracket;
    if (!strict && is_comment_start(p)) {
        p = skip_blanks_and_comments(p);
        goto look_again;
    }
    set_expectation_error(c, p, top_is_object ? MSG_EXPECTED_COMMA_OR_BRACE : MSG_EXPECTED_COMMA_OR_BRACKET);
    goto fail;
}

expect_key: {
    const uint8_t* key_end;
    uint8_t* guess = &key_lengths[depth % 8][top_children % 32];
    if (*p == '"' && is_plain_string_of(p, *guess)) {
        key_end = p + *guess + 2;
        pending_flags = 0;
    } else if (*p == '"' && (key_end = scan_plain_string(p, next_checkpoint)) != nullptr) {
        uint32_t length = static_cast<uint32_t>(key_end - p - 2);
        *guess = static_cast<uint8_t>(length < VECTOR_BYTES ? length : 0);
        pending_flags = 0;
    } else if (*p == '"') {
        uint32_t string_flags = 0;
        key_end = scan_string(c, p, &string_flags);
        if (!key_end) goto fail;
        pending_flags = ((string_flags & STRING_ESCAPED) ? NodeFlags::KeyEscaped : 0) |
                        ((string_flags & STRING_JSON5_ESCAPE) ? NodeFlags::Json5Form : 0);
        next_checkpoint = c->next_checkpoint;
    } else {
        key_end = scan_json5_key(c, p);
        if (!key_end) goto fail;
        next_checkpoint = c->next_checkpoint;
        if (key_end == p) goto comment_in_place;
        pending_flags = c->scanned_flags;
    }
    pending_key = offset_of(c, p);
    if (*key_end == ':') {
        p = key_end + 1;
        if (*p == ' ') p++;  // pretty-printed ": "
        goto dispatch_value;
    }
    p = skip_blanks(key_end, depth);
    if (*p != ':' && !strict && is_comment_start(p)) p = skip_blanks_and_comments(p);
    if (*p != ':') {
        set_expectation_error(c, p, MSG_EXPECTED_COLON);
        goto fail;
    }
    p++;
    goto dispatch_value;
}

comment_in_place: {
    // A comment where a value or key was expected: what comes after it is
    // decided by the last significant byte before it.
    const uint8_t* before = p;
    while (before > start && is_json_whitespace(before[-1])) before--;
    uint8_t previous = before > start ? before[-1] : 0;
    p = skip_blanks_and_comments(p);
    if (before == start || previous == ':' || depth == 0) goto dispatch_value;
    if (*p == top_closing) {
        if (previous == ',') doc->features |= SyntaxFeatures::TrailingCommas;
        goto close_by_bracket;
    }
    if (top_is_object) goto expect_key;
    goto dispatch_value;
}

fail_here:
    set_error_at(c, p, message);
    goto fail;
fail_stopped:
    // Cancelled, or memory ran out earlier: the loader tells the two apart.
    set_error_at(c, p, MSG_OUT_OF_MEMORY);
    goto fail;
fail_out_of_memory:
    note_out_of_memory(c, p);
    set_error_at(c, p, MSG_OUT_OF_MEMORY);
fail:
    store();
    return nullptr;
}

}  // namespace VECTOR_NS
