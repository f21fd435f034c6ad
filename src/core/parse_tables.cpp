// The Document's tables as they grow while parsing: node chunks, closed
// containers, large counts and problems, and the closing of a records root.
#include <algorithm>
#include <new>

#include "base/memory.h"
#include "core/parse_context.h"

namespace {

constexpr uint32_t FIRST_CHUNK0_NODES = 4096;
constexpr uint32_t FIRST_STACK_ENTRIES = 64;
constexpr uint32_t FIRST_PROBLEMS = 2;
constexpr uint32_t FIRST_LINE_STARTS = 1024;

}  // namespace

bool allocate_first_tables(ParseContext* c, uint32_t length) {
    Document* doc = c->document;
    c->stack = mem_alloc_array<StackEntry>(FIRST_STACK_ENTRIES);
    if (!c->stack) return false;
    c->stack_capacity = FIRST_STACK_ENTRIES;
    c->stack[0] = StackEntry{nullptr, NO_NODE, 0};
    doc->problems = mem_alloc_array<Problem>(FIRST_PROBLEMS);
    if (!doc->problems) return false;
    c->problems_capacity = FIRST_PROBLEMS;
    // About one line start per 32 bytes, so that most texts never regrow it.
    uint32_t lines = FIRST_LINE_STARTS;
    if (length > 32799) {
        lines = length / 32;
        doc->line_starts = mem_alloc_array<uint32_t>(lines);
        if (!doc->line_starts) lines = FIRST_LINE_STARTS;
    }
    if (!doc->line_starts) doc->line_starts = mem_alloc_array<uint32_t>(lines);
    if (!doc->line_starts) return false;
    c->line_starts_capacity = lines;
    return true;
}

bool start_side_reading(ParseContext* side, const ParseContext* c, uint32_t length) {
    void* memory = mem_alloc_zeroed(sizeof(Document));
    if (!memory) return false;
    Document* tables = new (memory) Document{};
    tables->reference_count.store(1, std::memory_order_relaxed);
    // The text stays the loader's Document's; the length sizes the tables.
    tables->text = c->text_start;
    tables->text_length = length;
    side->document = tables;
    side->text_start = c->text_start;
    side->text_end = c->text_end;
    side->strict = c->strict;
    side->scanners = c->scanners;
    return allocate_first_tables(side, length);
}

void end_side_reading(ParseContext* side) {
    mem_free(side->stack);
    mem_free(side->big_containers);
    mem_free(side->child_marks);
    if (side->document) release(side->document);
    *side = ParseContext{};
}

bool reserve_chunk_slots(ParseContext* c, uint32_t chunk) {
    Document* doc = c->document;
    if (chunk >= MAX_NODE_CHUNKS) return false;
    if (chunk < c->chunk_array_capacity) return true;
    uint32_t capacity = c->chunk_array_capacity ? c->chunk_array_capacity : 16;
    while (capacity <= chunk) capacity *= 2;
    Node** chunks = mem_realloc_array(doc->node_chunks, capacity);
    if (!chunks) return false;
    for (uint32_t i = c->chunk_array_capacity; i < capacity; i++) chunks[i] = nullptr;
    doc->node_chunks = chunks;
    c->chunk_array_capacity = capacity;
    return true;
}

namespace {

// Chunk 0 grows by reallocation, so open containers' Node pointers are
// recomputed from their ids when it moves.
bool grow_chunk0(ParseContext* c) {
    Document* doc = c->document;
    uint32_t capacity = c->chunk0_capacity;
    if (capacity == 0) {
        capacity = FIRST_CHUNK0_NODES;
        for (int i = 0; i < 8 && capacity < c->document->text_length / 16; i++) capacity *= 2;
    } else {
        capacity = std::min(capacity * 2, NODE_CHUNK_SIZE);
    }
    if (!reserve_chunk_slots(c, 0)) return false;
    Node* moved = mem_realloc_array(doc->node_chunks[0], capacity);
    if (!moved) return false;
    doc->node_chunks[0] = moved;
    if (doc->chunk_count == 0) doc->chunk_count = 1;
    c->chunk0_capacity = capacity;
    for (uint32_t i = 0; i <= c->depth; i++) {
        if (c->stack[i].node) c->stack[i].node = node_at(doc, c->stack[i].id);
    }
    return true;
}

// Keeps the first 16,777,215 children of a container whose large child count
// cannot be stored, dropping every later Node.
void cut_container(ParseContext* c, StackEntry* entry, uint32_t closing_flags) {
    Document* doc = c->document;
    NodeId child = entry->id + 1;
    for (uint32_t i = 0; i < COUNT_FIELD_LARGE; i++) child = node_at(doc, child)->subtree_end;
    doc->node_count = child;
    set_write_position(c, child);
    uint32_t kept = 0;
    for (uint32_t i = 0; i < doc->large_count_count; i++) {
        if (doc->large_counts[i].id < child) doc->large_counts[kept++] = doc->large_counts[i];
    }
    doc->large_count_count = kept;
    kept = 0;
    for (uint32_t i = 0; i < doc->problem_count; i++) {
        NodeId node = doc->problems[i].node;
        if (node == NO_NODE || node < child) doc->problems[kept++] = doc->problems[i];
    }
    doc->problem_count = kept;
    entry->node->packed |= (COUNT_FIELD_LARGE << NodePacked::CountShift) | (closing_flags << NodePacked::FlagShift);
    entry->node->subtree_end = child;
}

void add_big_container(ParseContext* c, NodeId id) {
    if (c->big_containers_failed) return;
    if (!grow_for_one(&c->big_containers, c->big_container_count, &c->big_container_capacity, 16)) {
        c->big_containers_failed = 1;
        return;
    }
    c->big_containers[c->big_container_count++] = id;
}

}  // namespace

void set_write_position(ParseContext* c, NodeId id) {
    Document* doc = c->document;
    uint32_t chunk = id >> NODE_CHUNK_SHIFT;
    Node* base = chunk < doc->chunk_count ? doc->node_chunks[chunk] : nullptr;
    if (!base) {
        c->write = c->region_end = nullptr;
        return;
    }
    c->write = base + (id & (NODE_CHUNK_SIZE - 1));
    c->region_end = base + (chunk == 0 ? c->chunk0_capacity : NODE_CHUNK_SIZE);
}

bool reserve_nodes(ParseContext* c, NodeId id) {
    Document* doc = c->document;
    uint32_t chunk = id >> NODE_CHUNK_SHIFT;
    if (chunk == 0) {
        while (id >= c->chunk0_capacity) {
            if (c->chunk0_fixed || !grow_chunk0(c)) return false;
        }
    } else if (chunk >= doc->chunk_count || !doc->node_chunks[chunk]) {
        // Later chunks are allocated whole and never move; one left over from
        // a rolled-back record is reused.
        if (!reserve_chunk_slots(c, chunk)) return false;
        Node* nodes = mem_alloc_array<Node>(NODE_CHUNK_SIZE);
        if (!nodes) return false;
        doc->node_chunks[chunk] = nodes;
        if (doc->chunk_count <= chunk) doc->chunk_count = chunk + 1;
    }
    set_write_position(c, id);
    return true;
}

bool add_large_value(ParseContext* c, NodeId id, uint32_t value) {
    Document* doc = c->document;
    if (!grow_for_one(&doc->large_counts, doc->large_count_count, &c->large_counts_capacity, 8)) return false;
    doc->large_counts[doc->large_count_count++] = LargeCount{id, value};
    return true;
}

bool close_container(ParseContext* c, StackEntry* entry, NodeId end, uint32_t closing_flags, const uint8_t* p) {
    uint32_t count = entry->child_count;
    uint32_t field = count;
    uint32_t large = 0;
    if (count >= LARGE_COUNT) {
        if (!add_large_value(c, entry->id, count)) {
            note_out_of_memory(c, p);
            if (!(closing_flags & NodeFlags::Unclosed)) return false;
            cut_container(c, entry, closing_flags);
            add_big_container(c, entry->id);
            return true;
        }
        field = COUNT_FIELD_LARGE;
        large = NodePacked::Large;
    }
    entry->node->packed |= (field << NodePacked::CountShift) | large | (closing_flags << NodePacked::FlagShift);
    entry->node->subtree_end = end;
    if (count >= 64) add_big_container(c, entry->id);
    return true;
}

void add_child_mark(ParseContext* c, NodeId container, uint32_t position, NodeId child) {
    if (c->child_marks_failed) return;
    if (!grow_for_one(&c->child_marks, c->child_mark_count, &c->child_mark_capacity, 64)) {
        c->child_marks_failed = 1;
        return;
    }
    c->child_marks[c->child_mark_count++] = ChildMark{container, position >> 4, child};
}

bool add_problem(ParseContext* c, uint32_t offset, uint32_t message, NodeId node) {
    Document* doc = c->document;
    // One slot is always held back for a later "out of memory" problem.
    uint64_t needed = uint64_t{doc->problem_count} + (message == MSG_OUT_OF_MEMORY ? 1 : 2);
    if (needed > c->problems_capacity) {
        uint64_t grown = c->problems_capacity ? 2ull * c->problems_capacity : 2;
        if (grown > 0xFFFFFFFFull) grown = 0xFFFFFFFFull;
        if (grown < needed) return false;
        Problem* table = mem_realloc_array(doc->problems, grown);
        if (!table) return false;
        doc->problems = table;
        c->problems_capacity = static_cast<uint32_t>(grown);
    }
    // Insert after every problem at or before this offset: equal offsets keep
    // the order in which they were added.
    uint32_t at = doc->problem_count;
    while (at > 0 && doc->problems[at - 1].offset > offset) at--;
    std::memmove(doc->problems + at + 1, doc->problems + at, (doc->problem_count - at) * sizeof(Problem));
    doc->problems[at] = Problem{offset, node, message < PROBLEM_MESSAGE_COUNT ? message : MSG_UNKNOWN};
    doc->problem_count++;
    return true;
}

void close_records(ParseContext* c, const uint8_t* end) {
    c->single_line = 0;
    c->parse_end = end;
    if (c->cancelled) return;
    Document* doc = c->document;
    for (; c->depth > 0; c->depth--) {
        if (!close_container(c, &c->stack[c->depth], doc->node_count, NodeFlags::Unclosed, end)) break;
    }
    c->depth = 0;
    uint32_t root_flags = c->out_of_memory ? NodeFlags::Unclosed : 0;
    if (!close_container(c, &c->stack[0], doc->node_count, root_flags, end))
        (void)close_container(c, &c->stack[0], doc->node_count, NodeFlags::Unclosed, end);
    if (doc->node_count == 1) doc->node_count = 0;
}
