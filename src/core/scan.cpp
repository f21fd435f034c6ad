// Lexical scanning: whitespace, comments, strings, numbers and the JSON5 forms.
// Scanners read ahead freely: the text is followed by 64 zero bytes, and a
// zero byte stops every scan that has not stopped earlier.
#include "base/hex.h"
#include "base/memory.h"
#include "core/scanners.h"

namespace VECTOR_NS {


namespace {


// Advances to the first quote, backslash or control byte at or after p, a
// vector at a time, taking the progress checkpoint on the way. A string that
// is already being read is always finished once memory has run out, so then
// the checkpoint is only pushed out of the way (locally: the parser still
// stops at its next check). Returns nullptr, with the error set, when the
// checkpoint says stop.
const uint8_t* find_string_stop(ParseContext* c, const uint8_t* p, uint8_t quote, const uint8_t** limit) {
    for (;;) {
        if (p >= *limit) {
            if (c->out_of_memory) {
                *limit = c->text_end + 1;
            } else if (checkpoint(c, p)) {
                *limit = c->next_checkpoint;
            } else {
                set_error_at(c, p, MSG_OUT_OF_MEMORY);
                return nullptr;
            }
        }
        uint64_t stops = string_stop_lanes(p, quote);
        if (stops) return p + __builtin_ctzll(stops);
        p += VECTOR_BYTES;
    }
}

// The error for a string, escape or line that ends with the text.
void set_text_ended(ParseContext* c, const uint8_t* string_start) {
    if (c->single_line) set_error_at(c, c->text_end, MSG_UNEXPECTED_END_OF_LINE);
    else set_error_at(c, string_start, MSG_UNTERMINATED_STRING);
}

bool is_standard_escape(uint8_t byte) {
    return byte == '"' || byte == '\\' || byte == '/' || byte == 'b' || byte == 'f' || byte == 'n' ||
           byte == 'r' || byte == 't';
}

// The JSON5-only escape whose backslash is at p; returns the position after
// it, or nullptr with the error set.
const uint8_t* scan_json5_escape(ParseContext* c, const uint8_t* string_start, const uint8_t* p) {
    if (p + 1 >= c->text_end) {
        set_text_ended(c, string_start);
        return nullptr;
    }
    if (c->strict) {
        set_error_at(c, p, MSG_INVALID_ESCAPE);
        return nullptr;
    }
    uint8_t next = p[1];
    const uint8_t* after = nullptr;
    if (next == '0' && !is_digit(p[2])) {
        after = p + 2;
    } else if (next == 'x' && hex_digit_value(p[2]) >= 0 && hex_digit_value(p[3]) >= 0) {
        after = p + 4;
    } else if (next == 'v' || next == '\'') {
        after = p + 2;
    } else if (next == '\n' || (next == '\r' && p[2] == '\n')) {
        if (c->single_line) {
            set_error_at(c, p + 1, MSG_UNEXPECTED_END_OF_LINE);
            return nullptr;
        }
        after = p + (next == '\n' ? 2 : 3);
        add_line_start(c, after);
    } else if (next == '\r') {
        after = p + 2;
    } else if (next == 0xE2 && p[2] == 0x80 && (p[3] == 0xA8 || p[3] == 0xA9)) {
        after = p + 4;
    } else {
        set_error_at(c, p, MSG_INVALID_ESCAPE);
        return nullptr;
    }
    c->document->features |= SyntaxFeatures::Json5;
    return after;
}

}  // namespace

const uint8_t* skip_whitespace(ParseContext* c, const uint8_t* p) {
    for (;;) {
        uint8_t byte = *p;
        if (byte == ' ' || byte == '\t' || byte == '\r') {
            // A lone blank (after a colon or comma) is the common case.
            if (p[1] != ' ') {
                p++;
                continue;
            }
        } else if (byte != '\n' || c->single_line) {
            return p;
        } else {
            p++;
            record_line_start(c, p);
        }
        // Indentation, which usually follows a line feed: 32 bytes a step,
        // so that most depths of indentation take one.
        uint32_t run;
        do {
            run = static_cast<uint32_t>(__builtin_ctzll(~blank_lanes32(p)));
            p += run;
        } while (run == 32);
    }
}

const uint8_t* skip_space(ParseContext* c, const uint8_t* p) {
    for (;;) {
        p = skip_whitespace(c, p);
        if (c->strict || !is_comment_start(p)) return p;
        p = skip_comment(c, p);
    }
}

const uint8_t* skip_comment(ParseContext* c, const uint8_t* p) {
    const uint8_t* end = c->text_end;
    if (p[1] == '/') {
        c->document->features |= SyntaxFeatures::Comments;
        const void* line_feed = std::memchr(p + 2, '\n', static_cast<size_t>(end - (p + 2)));
        return line_feed ? static_cast<const uint8_t*>(line_feed) : end;
    }
    for (const uint8_t* q = p + 2; q < end; q++) {
        if (*q == '*' && q[1] == '/') {
            c->document->features |= SyntaxFeatures::Comments;
            return q + 2;
        }
        if (*q == '\n') {
            if (c->single_line) {
                c->unterminated_comment = p;
                return q;
            }
            record_line_start(c, q + 1);
        }
    }
    c->unterminated_comment = p;
    return end;
}

const uint8_t* scan_string(ParseContext* c, const uint8_t* p, uint32_t* out_flags) {
    const uint8_t* q = p + 1;
    const uint8_t* limit = c->next_checkpoint;
    uint32_t flags = 0;
    for (;;) {
        q = find_string_stop(c, q, '"', &limit);
        if (!q) return nullptr;
        if (*q == '"') {
            *out_flags = flags;
            return q + 1;
        }
        if (*q != '\\') break;
        uint8_t next = q[1];
        if (is_standard_escape(next)) {
            flags |= STRING_ESCAPED;
            q += 2;
        } else if (next == 'u' && hex_digit_value(q[2]) >= 0 && hex_digit_value(q[3]) >= 0 && hex_digit_value(q[4]) >= 0 &&
                   hex_digit_value(q[5]) >= 0) {
            flags |= STRING_ESCAPED;
            q += 6;
        } else {
            break;
        }
    }
    return scan_quoted(c, p, '"', q, flags, out_flags);
}

const uint8_t* scan_quoted(ParseContext* c, const uint8_t* string_start, uint8_t quote, const uint8_t* p,
                           uint32_t flags, uint32_t* out_flags) {
    const uint8_t* limit = c->next_checkpoint;
    for (;;) {
        p = find_string_stop(c, p, quote, &limit);
        if (!p) return nullptr;
        uint8_t byte = *p;
        if (byte == quote) {
            *out_flags = flags;
            return p + 1;
        }
        if (byte == '\\') {
            flags |= STRING_ESCAPED;
            uint8_t next = p[1];
            if (is_standard_escape(next)) {
                p += 2;
                continue;
            }
            if (next == 'u') {
                for (int i = 2; i < 6; i++) {
                    if (hex_digit_value(p[i]) >= 0) continue;
                    if (p + i < c->text_end) set_error_at(c, p, MSG_INVALID_ESCAPE);
                    else set_text_ended(c, string_start);
                    return nullptr;
                }
                p += 6;
                continue;
            }
            p = scan_json5_escape(c, string_start, p);
            if (!p) return nullptr;
            flags |= STRING_JSON5_ESCAPE;
            continue;
        }
        // A byte below 0x20.
        if (p >= c->text_end) {
            set_text_ended(c, string_start);
            return nullptr;
        }
        if (c->single_line && (byte == '\n' || (byte == '\r' && p[1] == '\n'))) {
            set_error_at(c, p, MSG_UNEXPECTED_END_OF_LINE);
            return nullptr;
        }
        if (c->strict) {
            set_error_at(c, p, MSG_CONTROL_CHARACTER);
            return nullptr;
        }
        c->document->features |= SyntaxFeatures::RawControlChars;
        p++;
        if (byte == '\n') record_line_start(c, p);
    }
}

const uint8_t* match_json5_number(const uint8_t* p) {
    const uint8_t* q = p;
    if (*q == '+' || *q == '-') q++;
    if (std::memcmp(q, "Infinity", 8) == 0) return is_word_byte(q[8]) ? nullptr : q + 8;
    if (std::memcmp(q, "NaN", 3) == 0) return is_word_byte(q[3]) ? nullptr : q + 3;
    if (q[0] == '0' && (q[1] | 0x20) == 'x' && hex_digit_value(q[2]) >= 0) {
        q += 2;
        while (hex_digit_value(*q) >= 0) q++;
        return ends_number_badly(*q) ? nullptr : q;
    }
    bool digits = false;
    if (*q == '0') {
        q++;
        digits = true;
    } else {
        while (is_digit(*q)) {
            q++;
            digits = true;
        }
    }
    if (*q == '.') {
        if (digits || is_digit(q[1])) q++;
        while (is_digit(*q)) {
            q++;
            digits = true;
        }
    }
    if (!digits) return nullptr;
    if ((*q | 0x20) == 'e') {
        q++;
        if (*q == '+' || *q == '-') q++;
        if (!is_digit(*q)) return nullptr;
        while (is_digit(*q)) q++;
    }
    return ends_number_badly(*q) ? nullptr : q;
}

const uint8_t* scan_json5_number(ParseContext* c, const uint8_t* p) {
    const uint8_t* end = match_json5_number(p);
    if (!end) {
        set_error_at(c, p, MSG_INVALID_NUMBER);
        return nullptr;
    }
    c->document->features |= SyntaxFeatures::Json5;
    return end;
}

namespace {

// A single-quoted string or key (JSON5): the scanned flags get
// `escaped_flag` when it holds escapes, and always Json5Form.
const uint8_t* scan_single_quoted(ParseContext* c, const uint8_t* p, uint32_t escaped_flag) {
    uint32_t flags = 0;
    const uint8_t* end = scan_quoted(c, p, '\'', p + 1, 0, &flags);
    if (!end) return nullptr;
    c->scanned_flags = ((flags & STRING_ESCAPED) ? escaped_flag : 0) | NodeFlags::Json5Form;
    c->document->features |= SyntaxFeatures::Json5;
    return end;
}

}  // namespace

const uint8_t* scan_json5_value(ParseContext* c, const uint8_t* p) {
    if (c->strict) {
        set_error_at(c, p, MSG_EXPECTED_VALUE);
        return nullptr;
    }
    if (is_comment_start(p)) return p;
    if (*p == '\'') {
        c->scanned_kind = NodeKind::String;
        return scan_single_quoted(c, p, NodeFlags::ValueEscaped);
    }
    if (const uint8_t* end = match_json5_number(p)) {
        c->scanned_kind = NodeKind::Number;
        c->scanned_flags = NodeFlags::Json5Form;
        c->document->features |= SyntaxFeatures::Json5;
        return end;
    }
    if (*p == '+' || *p == '.') set_error_at(c, p, MSG_INVALID_NUMBER);
    else if (*p == 'N' || *p == 'I') set_error_at(c, p, MSG_INVALID_LITERAL);
    else set_error_at(c, p, MSG_EXPECTED_VALUE);
    return nullptr;
}

const uint8_t* scan_json5_key(ParseContext* c, const uint8_t* p) {
    if (c->strict) {
        set_error_at(c, p, MSG_EXPECTED_KEY);
        return nullptr;
    }
    if (is_comment_start(p)) return p;
    if (*p == '\'') return scan_single_quoted(c, p, NodeFlags::KeyEscaped);
    if (is_identifier_byte(*p) && !is_digit(*p)) {
        const uint8_t* end = p + 1;
        while (is_identifier_byte(*end)) end++;
        c->scanned_flags = NodeFlags::Json5Form;
        c->document->features |= SyntaxFeatures::Json5;
        return end;
    }
    set_error_at(c, p, MSG_EXPECTED_KEY);
    return nullptr;
}

}  // namespace VECTOR_NS
