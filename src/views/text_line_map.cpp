// Lines to Nodes and back, in both kinds of text view.
#include "views/text_view_internal.h"

namespace {

bool is_blank_or_comma(uint8_t byte) {
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r' || byte == ',';
}

// From `pos` up to `stop`, passes blanks, commas and comments ("//" to the end
// of its line, "/*" past the next "*/"); a "/" followed by anything else ends
// the skipping. A comment that runs on to `stop` or beyond answers `stop`:
// where exactly it ends makes no difference to the caller.
uint32_t skip_blanks_and_comments(const Document* doc, uint32_t pos, uint32_t stop) {
    const uint8_t* t = doc->text;
    uint32_t end = doc->text_length;
    while (pos < stop) {
        if (is_blank_or_comma(t[pos])) {
            pos++;
        } else if (t[pos] == '/' && pos + 1 < end && t[pos + 1] == '/') {
            while (pos < stop && t[pos] != '\n') pos++;
        } else if (t[pos] == '/' && pos + 1 < end && t[pos + 1] == '*') {
            pos += 2;
            while (pos + 1 < stop && !(t[pos] == '*' && t[pos + 1] == '/')) pos++;
            pos = pos + 1 < stop ? pos + 2 : stop;
        } else {
            break;
        }
    }
    return pos;
}

// The pretty line's sort key: 2 * id for a Node's own line, 2 * subtree_end - 1
// for a closing line. 64-bit, as NodeIds reach 2^31 - 1.
uint64_t pretty_sort_key(const Document* doc, uint32_t entry) {
    NodeId id = entry & ~CLOSING_LINE;
    if (entry & CLOSING_LINE) return 2 * uint64_t{subtree_end(doc, id)} - 1;
    return 2 * uint64_t{id};
}

uint32_t pretty_line_of_node(const TextView* view, NodeId id) {
    const Document* doc = view->document;
    if (id >= node_count(doc)) return NO_NODE;
    if (view->records && id == 0) return view->line_count ? 0 : NO_NODE;
    uint64_t key = 2 * uint64_t{id};
    uint32_t low = 0, high = view->line_count;
    while (low < high) {
        uint32_t mid = low + (high - low) / 2;
        if (pretty_sort_key(doc, view->lines[mid]) < key) low = mid + 1;
        else high = mid;
    }
    return low < view->line_count && view->lines[low] == id ? low : NO_NODE;
}

// The container around a source line that lies after `n - 1`'s text: walks
// outwards from `c`, stepping over the closing brackets that lie before the
// line, and answers the first container whose closing bracket is on this line
// or later.
NodeId enclosing_container(const TextView* view, NodeId c, NodeId n, uint32_t pos, uint32_t line_start_offset) {
    const Document* doc = view->document;
    uint32_t stop = line_start_offset < doc->text_length ? line_start_offset : doc->text_length;
    while (c != NO_NODE) {
        if (view->records && c == 0) return 0;
        if (subtree_end(doc, c) != n) return c;
        if (!(node_flags(doc, c) & NodeFlags::Unclosed)) {
            pos = skip_blanks_and_comments(doc, pos, stop);
            if (pos >= line_start_offset || (doc->text[pos] != ']' && doc->text[pos] != '}')) return c;
            pos++;
        }
        c = parent(doc, c);
    }
    return NO_NODE;
}

NodeId source_node_of_line(const TextView* view, uint32_t line) {
    const Document* doc = view->document;
    uint32_t count = node_count(doc);
    if (count == 0) return NO_NODE;
    SourceLine shown = source_line(doc, line);
    uint32_t start = shown.start;
    // The next line's start; past the text for the last line.
    uint64_t end = shown.last ? uint64_t{doc->text_length} + 1 : shown.next;
    NodeId first = first_shown_node(view);
    NodeId n = first_node_at_or_after(doc, first, start);
    if (n < count && token_start(doc, n) < end) return n;
    if (n == first) return view->records ? 0 : NO_NODE;
    NodeId p = n - 1;
    if (has_key(doc, p) && uint64_t{start} < uint64_t{key_offset(doc, p)} + key_token_length(doc, p)) return p;
    uint32_t value = value_offset(doc, p);
    if (!is_container_kind(kind(doc, p))) {
        uint64_t value_end = uint64_t{value} + value_length(doc, p);
        if (value < end && start < value_end) return p;
        return enclosing_container(view, parent(doc, p), n, static_cast<uint32_t>(value_end), start);
    }
    if (n < subtree_end(doc, p)) return p;
    return enclosing_container(view, p, n, value + 1, start);
}

}  // namespace

uint32_t token_start(const Document* doc, NodeId id) {
    const Node* node = node_at(doc, id);
    return node->key_offset != NO_NODE ? node->key_offset : node->value_offset;
}

NodeId first_node_at_or_after(const Document* doc, NodeId from, uint32_t offset) {
    NodeId low = from, high = node_count(doc);
    while (low < high) {
        NodeId mid = low + (high - low) / 2;
        if (token_start(doc, mid) < offset) low = mid + 1;
        else high = mid;
    }
    return low;
}

SourceLine source_line(const Document* doc, uint32_t line) {
    SourceLine shown{};
    uint32_t lines = line_count(doc);
    shown.start = line_start(doc, line);
    shown.last = line + 1 >= lines;
    shown.next = shown.last ? text_length(doc) : line_start(doc, line + 1);
    shown.end = shown.next;
    const uint8_t* t = text(doc);
    if (shown.end > shown.start && t[shown.end - 1] == '\n') {
        shown.end--;
        if (shown.end > shown.start && t[shown.end - 1] == '\r') shown.end--;
    }
    return shown;
}

uint32_t line_of_node(const TextView* view, NodeId id) {
    if (!view || id >= node_count(view->document)) return NO_NODE;
    if (view->mode == TEXT_PRETTY) return pretty_line_of_node(view, id);
    if (view->line_count == 0) return NO_NODE;
    return line_of_offset(view->document, token_start(view->document, id));
}

NodeId node_of_line(const TextView* view, uint32_t line) {
    if (!view || line >= view->line_count) return NO_NODE;
    if (view->mode == TEXT_PRETTY) return view->lines[line] & ~CLOSING_LINE;
    return source_node_of_line(view, line);
}
