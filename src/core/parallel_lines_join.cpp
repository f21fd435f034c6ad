// Joining the pieces of a JSON Lines text into the Document. Piece k's Node x
// becomes Node base_k + x, where base_k counts the Nodes before the piece; its
// records' parent NO_NODE becomes the root, 0. Every id a piece's tables hold
// moves up by base_k the same way, its line starts are offsets already, and
// its problems follow the earlier pieces' in offset order.
//
// Moving the Nodes must not keep two node tables at once, nor touch fresh
// memory (page faults cost more than the copy). With s = base_k & 0xFFFFF,
// the piece's chunk i holds the Document's chunk (base_k >> 20) + i from slot
// s on, and the rest of it from slot 0 of the next chunk:
//
//   piece chunks      |0 ........ M-s|M-s ... M|0 ........ M-s|M-s ... M|
//   Document chunks   |    ...  s|0 ........ M-s|M-s ... M|  ...
//                      first (shared)  second, in piece chunk 0's memory
//
// The Document's first chunk for the piece is shared with the Nodes before
// it, and its last one perhaps with the next piece: these boundary chunks are
// allocated (or grown) first, and the pieces fill their own slots of them.
// Every other Document chunk is built in the memory of the piece chunk that
// holds its first Node: that chunk's tail moves down to slot 0 (its head went
// to the chunk before), then the next piece chunk's head follows. Pieces are
// moved in parallel: they share only the boundary chunks, in separate slots.
#include <algorithm>
#include <cstring>

#include "base/memory.h"
#include "core/parallel_lines.h"

namespace {

constexpr uint32_t SLOT_MASK = NODE_CHUNK_SIZE - 1;

// Marks of children 16, 32, ... of the root below record position `records`.
uint32_t root_marks_below(uint64_t records) { return records == 0 ? 0 : static_cast<uint32_t>((records - 1) / 16); }

uint32_t own_mark_count(const ParseContext* c) {
    uint32_t count = 0;
    for (uint32_t i = 0; i < c->child_mark_count; i++) count += c->child_marks[i].container != NO_NODE;
    return count;
}

// Room for `count` items, growing the array only when it is short.
template <typename T>
[[nodiscard]] bool room_for(T** items, uint32_t* capacity, uint64_t count) {
    if (count <= *capacity) return true;
    if (count > 0xFFFFFFFFull) return false;
    T* grown = mem_realloc_array(*items, count);
    if (!grown) return false;
    *items = grown;
    *capacity = static_cast<uint32_t>(count);
    return true;
}

// The Document's node chunks from the loader's last one to the pieces' last:
// boundary chunks allocated, every other slot empty for a piece's own chunk.
bool prepare_chunks(PieceRun* run, uint64_t total) {
    ParseContext* c = run->loader;
    Document* doc = c->document;
    if (total > uint64_t{MAX_NODE_CHUNKS} << NODE_CHUNK_SHIFT) return false;
    uint32_t last = static_cast<uint32_t>((total - 1) >> NODE_CHUNK_SHIFT);
    if (!reserve_chunk_slots(c, last)) return false;
    // Chunks past the ones in use are left over from rolled-back records.
    uint32_t used = (doc->node_count + SLOT_MASK) >> NODE_CHUNK_SHIFT;
    for (uint32_t i = used; i < doc->chunk_count; i++) {
        mem_free(doc->node_chunks[i]);
        doc->node_chunks[i] = nullptr;
    }
    doc->chunk_count = used;
    for (uint32_t k = 1; k < run->piece_count; k++) {
        LinePiece* piece = &run->pieces[k];
        uint32_t count = piece->tables->node_count;
        if (count == 0) continue;
        uint32_t first = piece->base >> NODE_CHUNK_SHIFT;
        uint32_t end = (piece->base + count - 1) >> NODE_CHUNK_SHIFT;
        if (first == 0) {
            if (!reserve_nodes(c, static_cast<NodeId>(std::min<uint64_t>(total, NODE_CHUNK_SIZE) - 1))) return false;
        } else if (first >= doc->chunk_count || !doc->node_chunks[first]) {
            if (!reserve_nodes(c, first << NODE_CHUNK_SHIFT)) return false;
        }
        // The piece's chunk 0 becomes a whole Document chunk when the next
        // chunk is the piece's own; it may have been sized to a small piece.
        bool chunk0_reused = (piece->base & SLOT_MASK) != 0 && end > first && piece->next_chunk != first + 1;
        ParseContext* reader = &piece->context;
        if (chunk0_reused && reader->chunk0_capacity < NODE_CHUNK_SIZE) {
            Node* grown = mem_realloc_array(piece->tables->node_chunks[0], NODE_CHUNK_SIZE);
            if (!grown) return false;
            piece->tables->node_chunks[0] = grown;
            reader->chunk0_capacity = NODE_CHUNK_SIZE;
        }
    }
    doc->chunk_count = last + 1;
    return true;
}

// Where each piece's Nodes and tables go, and room for them all. False when
// memory for the Document's tables cannot be had.
bool plan_join(PieceRun* run) {
    ParseContext* c = run->loader;
    Document* doc = c->document;
    uint64_t nodes = doc->node_count, records = c->stack[0].child_count, lines = doc->line_count;
    uint64_t problems = doc->problem_count, larges = doc->large_count_count;
    uint64_t bigs = c->big_container_count, marks = c->child_mark_count;
    for (uint32_t k = 1; k < run->piece_count; k++) {
        LinePiece* piece = &run->pieces[k];
        const ParseContext* reader = &piece->context;
        const Document* tables = piece->tables;
        piece->base = static_cast<NodeId>(nodes);
        piece->record_base = static_cast<uint32_t>(records);
        piece->line_at = static_cast<uint32_t>(lines);
        piece->problem_at = static_cast<uint32_t>(problems);
        piece->large_at = static_cast<uint32_t>(larges);
        piece->big_at = static_cast<uint32_t>(bigs);
        piece->mark_at = static_cast<uint32_t>(marks);
        uint64_t records_after = records + reader->stack[0].child_count;
        piece->root_mark_at = static_cast<uint32_t>(marks + own_mark_count(reader));
        marks = piece->root_mark_at + root_marks_below(records_after) - root_marks_below(records);
        nodes += tables->node_count;
        records = records_after;
        lines += tables->line_count;
        problems += tables->problem_count;
        larges += tables->large_count_count;
        bigs += reader->big_container_count;
        doc->features |= tables->features;
        c->big_containers_failed |= reader->big_containers_failed;
        c->child_marks_failed |= reader->child_marks_failed;
        if (nodes > 0xFFFFFFFFull) return false;
    }
    uint32_t next_chunk = NO_NODE;
    for (uint32_t k = run->piece_count; k-- > 1;) {
        LinePiece* piece = &run->pieces[k];
        piece->next_chunk = next_chunk;
        if (piece->tables->node_count > 0) next_chunk = piece->base >> NODE_CHUNK_SHIFT;
    }
    if (!prepare_chunks(run, nodes) || !room_for(&doc->line_starts, &c->line_starts_capacity, lines) ||
        !room_for(&doc->problems, &c->problems_capacity, problems + 2) ||
        !room_for(&doc->large_counts, &c->large_counts_capacity, larges))
        return false;
    // Without room for these the Document simply has no child index, as
    // when they fail to grow while parsing.
    if (!c->big_containers_failed && !room_for(&c->big_containers, &c->big_container_capacity, bigs))
        c->big_containers_failed = 1;
    if (!c->child_marks_failed && !room_for(&c->child_marks, &c->child_mark_capacity, marks)) c->child_marks_failed = 1;
    doc->node_count = static_cast<uint32_t>(nodes);
    c->stack[0].child_count = static_cast<uint32_t>(records);
    doc->line_count = static_cast<uint32_t>(lines);
    doc->problem_count = static_cast<uint32_t>(problems);
    doc->large_count_count = static_cast<uint32_t>(larges);
    if (!c->big_containers_failed) c->big_container_count = static_cast<uint32_t>(bigs);
    if (!c->child_marks_failed) c->child_mark_count = static_cast<uint32_t>(marks);
    return true;
}

// Moves the piece's Nodes to their ids in the Document (see the top of the
// file), noting every 16th record among them in `root_marks` when given.
void move_nodes(Document* doc, LinePiece* piece, ChildMark* root_marks) {
    Document* tables = piece->tables;
    Node** own = tables->node_chunks;
    uint32_t count = tables->node_count;
    if (count == 0) return;
    NodeId base = piece->base;
    uint32_t record = piece->record_base;
    uint32_t first = base >> NODE_CHUNK_SHIFT, last = (base + count - 1) >> NODE_CHUNK_SHIFT;
    for (uint32_t chunk = first; chunk <= last; chunk++) {
        uint64_t chunk_start = uint64_t{chunk} << NODE_CHUNK_SHIFT;
        uint32_t from = chunk == first ? 0 : static_cast<uint32_t>(chunk_start - base);
        uint32_t to = static_cast<uint32_t>(std::min<uint64_t>(count, chunk_start + NODE_CHUNK_SIZE - base));
        Node* target = doc->node_chunks[chunk];
        uint32_t taken = NO_NODE;
        if (!target) {
            // Node `from` sits at or after its slot in the Document's chunk,
            // so copying upwards reads every Node before overwriting it.
            taken = from >> NODE_CHUNK_SHIFT;
            target = own[taken];
            doc->node_chunks[chunk] = target;
        }
        Node* out = target + (base + from - chunk_start);
        // The end of one of the piece's chunks, then the start of the next.
        for (uint32_t x = from; x < to;) {
            const Node* in = own[x >> NODE_CHUNK_SHIFT] + (x & SLOT_MASK);
            uint32_t run = std::min(to, (x | SLOT_MASK) + 1) - x;
            for (uint32_t i = 0; i < run; i++) {
                Node node = in[i];
                node.subtree_end += base;
                bool is_record = node.parent == NO_NODE;
                node.parent = is_record ? 0 : node.parent + base;
                out[i] = node;
                if (is_record) {
                    if (root_marks && (record & 15) == 0 && record != 0)
                        *root_marks++ = ChildMark{0, record >> 4, base + x + i};
                    record++;
                }
            }
            out += run;
            x += run;
        }
        if (taken != NO_NODE) own[taken] = nullptr;
    }
}

void join_piece(PieceRun* run, LinePiece* piece) {
    ParseContext* c = run->loader;
    Document* doc = c->document;
    ParseContext* reader = &piece->context;
    Document* tables = piece->tables;
    NodeId base = piece->base;
    move_nodes(doc, piece, c->child_marks_failed ? nullptr : c->child_marks + piece->root_mark_at);
    std::memcpy(doc->line_starts + piece->line_at, tables->line_starts, tables->line_count * sizeof(uint32_t));
    for (uint32_t i = 0; i < tables->problem_count; i++) {
        Problem problem = tables->problems[i];
        if (problem.node != NO_NODE) problem.node += base;
        doc->problems[piece->problem_at + i] = problem;
    }
    for (uint32_t i = 0; i < tables->large_count_count; i++)
        doc->large_counts[piece->large_at + i] = LargeCount{tables->large_counts[i].id + base, tables->large_counts[i].value};
    if (!c->big_containers_failed) {
        for (uint32_t i = 0; i < reader->big_container_count; i++)
            c->big_containers[piece->big_at + i] = reader->big_containers[i] + base;
    }
    if (!c->child_marks_failed) {
        // The piece's own marks of the root counted its records from 0:
        // move_nodes noted the root's marks afresh.
        ChildMark* out = c->child_marks + piece->mark_at;
        for (uint32_t i = 0; i < reader->child_mark_count; i++) {
            ChildMark mark = reader->child_marks[i];
            if (mark.container != NO_NODE) *out++ = ChildMark{mark.container + base, mark.sixteenth, mark.child + base};
        }
    }
    free_piece(piece);
}

}  // namespace

bool join_pieces(PieceRun* run) {
    if (!plan_join(run)) return false;
    for_each_piece_in_parallel(run, 1, join_piece);
    ParseContext* c = run->loader;
    set_write_position(c, c->document->node_count);
    return true;
}
