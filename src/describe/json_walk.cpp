// The writer's traversal: the node table in document order with an explicit
// stack of open containers, so any depth the loader accepts is written
// without recursion.
#include "describe/json_walk.h"

#include "base/memory.h"

namespace {

constexpr uint32_t FIRST_STACK_ENTRIES = 64;
const char SPACES[] = "                                                                ";
constexpr uint64_t SPACES_PIECE = sizeof SPACES - 1;

struct OpenContainer {
    NodeId container;
    NodeId subtree_end;
    NodeId next_child;
    uint32_t children_written;
};

bool halted(const JsonOutput* out) { return out->builder && (out->builder->failed || out->builder->truncated); }

void emit_line_break(JsonOutput* out, uint64_t depth) {
    json_emit(out, "\n", 1);
    for (uint64_t spaces = 2 * depth; spaces > 0;) {
        uint64_t piece = spaces < SPACES_PIECE ? spaces : SPACES_PIECE;
        json_emit(out, SPACES, piece);
        spaces -= piece;
    }
}

void write_scalar(JsonOutput* out, const Document* doc, NodeId id) {
    if (kind(doc, id) == NodeKind::String) write_json_string(out, doc, id);
    else json_emit_source(out, text(doc) + value_offset(doc, id), value_length(doc, id));
}

const char* opening(NodeKind container) { return container == NodeKind::Object ? "{" : "["; }
const char* closing(NodeKind container) { return container == NodeKind::Object ? "}" : "]"; }

}  // namespace

void walk_json(JsonOutput* out, const Document* doc, NodeId id, bool pretty) {
    if (id >= node_count(doc)) return;
    if (!is_container_kind(kind(doc, id))) {
        write_scalar(out, doc, id);
        return;
    }
    uint32_t capacity = FIRST_STACK_ENTRIES;
    OpenContainer* stack = mem_alloc_array<OpenContainer>(capacity);
    if (!stack) {
        json_mark_failed(out);
        return;
    }
    json_emit(out, opening(kind(doc, id)), 1);
    stack[0] = OpenContainer{id, subtree_end(doc, id), id + 1, 0};
    uint32_t depth = 1;
    while (depth > 0 && !halted(out)) {
        OpenContainer* top = &stack[depth - 1];
        NodeKind top_kind = kind(doc, top->container);
        if (top->next_child >= top->subtree_end) {
            if (pretty && top->children_written) emit_line_break(out, depth - 1);
            json_emit(out, closing(top_kind), 1);
            depth--;
            continue;
        }
        NodeId child = top->next_child;
        const Node* node = node_at(doc, child);
        top->next_child = node->subtree_end;
        NodeKind child_kind = kind(doc, child);
        if (child_kind == NodeKind::Error) continue;
        if (top->children_written++) json_emit(out, ",", 1);
        if (pretty) emit_line_break(out, depth);
        if (top_kind == NodeKind::Object) {
            write_json_key(out, doc, child);
            json_emit(out, pretty ? ": " : ":", pretty ? 2 : 1);
        }
        if (!is_container_kind(child_kind)) {
            write_scalar(out, doc, child);
            continue;
        }
        json_emit(out, opening(child_kind), 1);
        if (node->subtree_end == child + 1) {
            json_emit(out, closing(child_kind), 1);
            continue;
        }
        if (depth == capacity) {
            OpenContainer* grown = mem_realloc_array(stack, 2ull * capacity);
            if (!grown) {
                json_mark_failed(out);
                break;
            }
            stack = grown;
            capacity *= 2;
        }
        stack[depth++] = OpenContainer{child, node->subtree_end, child + 1, 0};
    }
    mem_free(stack);
}
