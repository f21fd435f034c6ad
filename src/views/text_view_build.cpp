// Building a TextView on a worker thread: the pretty line table, or for source
// text the lines that begin inside a block comment. Progress is reported and
// the cancel flag read at the start, at every NodeId that is a multiple of
// 2^20 (one node chunk), and at the end.
#include <cstring>

#include "base/memory.h"
#include "views/text_view_internal.h"

namespace {

constexpr uint64_t MAX_LINES = 0xFFFFFFFE;
// Pretty line entries keep the NodeId in bits 0-30.
constexpr uint64_t MAX_PRETTY_NODES = uint64_t{1} << 31;

struct Build {
    Document* doc;
    const ProgressContext* progress;
    uint64_t total;
};

// The progress point at chunk boundaries past the first: false when cancelled.
bool at_chunk(const Build& build, NodeId id, uint64_t done_before) {
    if ((id & (NODE_CHUNK_SIZE - 1)) != 0 || id == 0) return true;
    return progress_point(build.progress, done_before + id, build.total);
}

bool has_children(const Node* node, NodeId id) {
    return is_container_kind(static_cast<NodeKind>(node->packed & NodePacked::KindMask)) && node->subtree_end > id + 1;
}

// Pass 1: one line per Node from `first`, one more per container with children.
// Returns false when cancelled.
bool count_pretty_lines(const Build& build, NodeId first, uint64_t* lines) {
    const Document* doc = build.doc;
    uint64_t count = 0;
    for (NodeId id = first; id < doc->node_count; id++) {
        if (!at_chunk(build, id, 0)) return false;
        count += 1 + has_children(node_at(doc, id), id);
    }
    *lines = count;
    return true;
}

// Pass 2: each Node's line in id order; after a Node without children, the
// closing lines of every ancestor (from `first` down) whose subtree ends there,
// innermost first.
bool fill_pretty_lines(const Build& build, NodeId first, uint32_t* lines) {
    const Document* doc = build.doc;
    uint32_t* out = lines;
    for (NodeId id = first; id < doc->node_count; id++) {
        if (!at_chunk(build, id, doc->node_count)) return false;
        const Node* node = node_at(doc, id);
        *out++ = id;
        if (node->subtree_end != id + 1) continue;
        for (NodeId up = node->parent; up != NO_NODE && up >= first; up = node_at(doc, up)->parent) {
            if (node_at(doc, up)->subtree_end != id + 1) break;
            *out++ = up | CLOSING_LINE;
        }
    }
    return true;
}

uint32_t build_pretty(const Build& build, TextView* view) {
    const Document* doc = build.doc;
    NodeId first = first_shown_node(view);
    if (doc->node_count <= first) return TEXT_VIEW_DONE;
    uint64_t count = 0;
    if (!count_pretty_lines(build, first, &count)) return TEXT_VIEW_CANCELLED;
    if (count > MAX_LINES) return TEXT_VIEW_OUT_OF_MEMORY;
    view->lines = mem_alloc_array<uint32_t>(count);
    if (!view->lines) return TEXT_VIEW_OUT_OF_MEMORY;
    if (!fill_pretty_lines(build, first, view->lines)) return TEXT_VIEW_CANCELLED;
    view->line_count = static_cast<uint32_t>(count);
    return TEXT_VIEW_DONE;
}

// Where reading stopped: the first problem that has no Node, else the end.
uint32_t comment_scan_end(const Document* doc) {
    for (uint32_t i = 0; i < doc->problem_count; i++) {
        const Problem& problem = doc->problems[i];
        if (problem.node == NO_NODE) return problem.offset < doc->text_length ? problem.offset : doc->text_length;
    }
    return doc->text_length;
}

void set_line_bits(uint64_t* bits, uint32_t first, uint32_t last) {
    for (uint32_t line = first; line <= last; line++) bits[line >> 6] |= uint64_t{1} << (line & 63);
}

// Marks the lines that begin inside the block comments of the gap [pos, end);
// returns where scanning goes on (past a comment that runs beyond the gap).
uint32_t scan_gap(const Document* doc, uint64_t* bits, uint32_t pos, uint32_t end, uint32_t scan_end) {
    const uint8_t* t = doc->text;
    while (pos + 1 < end) {
        const void* slash = std::memchr(t + pos, '/', end - pos - 1);
        if (!slash) break;
        pos = static_cast<uint32_t>(static_cast<const uint8_t*>(slash) - t);
        if (t[pos + 1] == '/') {
            const void* feed = std::memchr(t + pos, '\n', scan_end - pos);
            pos = feed ? static_cast<uint32_t>(static_cast<const uint8_t*>(feed) - t) : scan_end;
        } else if (t[pos + 1] == '*') {
            uint32_t open = pos;
            uint32_t close = scan_end;
            for (uint32_t at = pos + 2; at + 1 < scan_end; at++) {
                const void* star = std::memchr(t + at, '*', scan_end - at - 1);
                if (!star) break;
                at = static_cast<uint32_t>(static_cast<const uint8_t*>(star) - t);
                if (t[at + 1] == '/') {
                    close = at + 2;
                    break;
                }
            }
            uint32_t first = line_of_offset(doc, open) + 1;
            uint32_t last = line_of_offset(doc, close - 1);
            if (first <= last) set_line_bits(bits, first, last);
            pos = close;
        } else {
            pos++;
        }
    }
    return pos > end ? pos : end;
}

// Walks the Nodes in id order and scans only the gaps before keys and scalar
// values; key and value tokens are skipped by their lengths.
bool mark_comment_lines(const Build& build, TextView* view) {
    const Document* doc = build.doc;
    uint32_t scan_end = view->comment_scan_end;
    uint64_t* bits = view->comment_lines;
    uint32_t pos = 0;
    auto gap_then_token = [&](uint32_t token, uint32_t length) {
        if (token > scan_end) token = scan_end;
        if (token > pos) pos = scan_gap(doc, bits, pos, token, scan_end);
        if (uint64_t{token} + length > pos) pos = token + length;
    };
    for (NodeId id = first_shown_node(view); id < doc->node_count; id++) {
        if (!at_chunk(build, id, 0)) return false;
        if (pos >= scan_end) break;
        const Node* node = node_at(doc, id);
        if (node->key_offset != NO_NODE) gap_then_token(node->key_offset, key_token_length(doc, id));
        if (!is_container_kind(static_cast<NodeKind>(node->packed & NodePacked::KindMask)))
            gap_then_token(node->value_offset, value_length(doc, id));
    }
    if (pos < scan_end) scan_gap(doc, bits, pos, scan_end, scan_end);
    return true;
}

uint32_t build_source(const Build& build, TextView* view) {
    const Document* doc = build.doc;
    view->line_count = doc->line_count;
    view->comment_scan_end = comment_scan_end(doc);
    bool comments = (doc->features & SyntaxFeatures::Comments) && doc->form != DocumentForm::JsonLines &&
                    doc->line_count >= 2;
    if (!comments) return TEXT_VIEW_DONE;
    view->comment_lines = static_cast<uint64_t*>(mem_alloc_zeroed((uint64_t{doc->line_count} + 63) / 64 * 8));
    if (!view->comment_lines) return TEXT_VIEW_OUT_OF_MEMORY;
    return mark_comment_lines(build, view) ? TEXT_VIEW_DONE : TEXT_VIEW_CANCELLED;
}

}  // namespace

uint32_t preferred_text_mode(const Document* doc) { return has_long_lines(doc) ? TEXT_PRETTY : TEXT_SOURCE; }

TextView* build_text_view(Document* doc, uint32_t mode, const ProgressContext* progress, uint32_t* outcome) {
    uint32_t ignored;
    if (!outcome) outcome = &ignored;
    bool source = mode == TEXT_SOURCE;
    uint64_t nodes = node_count(doc);
    if (!source && nodes >= MAX_PRETTY_NODES) {
        *outcome = TEXT_VIEW_OUT_OF_MEMORY;
        return nullptr;
    }
    uint64_t total = source ? nodes : 2 * nodes;
    Build build{doc, progress, total ? total : 1};
    if (!progress_point(progress, 0, build.total)) {
        *outcome = TEXT_VIEW_CANCELLED;
        return nullptr;
    }
    TextView* view = static_cast<TextView*>(mem_alloc_zeroed(sizeof(TextView)));
    if (!view) {
        *outcome = TEXT_VIEW_OUT_OF_MEMORY;
        return nullptr;
    }
    view->mode = source ? TEXT_SOURCE : TEXT_PRETTY;
    view->records = is_records(doc);
    view->document = retain(doc);
    uint32_t result = TEXT_VIEW_DONE;
    if (doc) result = source ? build_source(build, view) : build_pretty(build, view);
    if (result == TEXT_VIEW_DONE && !progress_point(progress, build.total, build.total)) result = TEXT_VIEW_CANCELLED;
    *outcome = result;
    if (result == TEXT_VIEW_DONE) return view;
    release_text_view(view);
    return nullptr;
}

void release_text_view(TextView* view) {
    if (!view) return;
    release(view->document);
    mem_free(view->lines);
    mem_free(view->comment_lines);
    mem_free(view);
}

uint32_t text_view_mode(const TextView* view) { return view ? view->mode : TEXT_PRETTY; }
uint32_t text_line_count(const TextView* view) { return view ? view->line_count : 0; }
