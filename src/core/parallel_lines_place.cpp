// Placing a helper-read piece of a JSON Lines text into the Document. The
// piece's Node x becomes Node base + x, where base counts the Nodes before the
// piece; its records' parent NO_NODE becomes the root, 0. Every id its tables
// hold moves up by base the same way, its line starts are offsets already, and
// its problems follow the earlier pieces' in offset order.
#include <algorithm>
#include <cstring>

#include <emmintrin.h>

#include "base/memory.h"
#include "core/parallel_lines.h"

namespace {

constexpr uint32_t SLOT_MASK = NODE_CHUNK_SIZE - 1;

// Room for `needed` items, doubling as the one-thread reader's tables do.
template <typename T>
[[nodiscard]] bool room_for(T** items, uint32_t* capacity, uint64_t needed) {
    if (needed <= *capacity) return true;
    if (needed > 0xFFFFFFFFull) return false;
    uint64_t grown = std::min<uint64_t>(std::max<uint64_t>(2ull * *capacity, needed), 0xFFFFFFFFull);
    T* moved = mem_realloc_array(*items, grown);
    if (!moved) return false;
    *items = moved;
    *capacity = static_cast<uint32_t>(grown);
    return true;
}

// Nothing reads the placed Nodes soon: streaming stores keep them out of the
// cache and save reading their lines in first.
void stream_node(Node* out, Node node) {
    uint32_t fields[5];
    std::memcpy(fields, &node, sizeof node);
    int* to = reinterpret_cast<int*>(out);
    for (uint32_t f = 0; f < 5; f++) _mm_stream_si32(to + f, static_cast<int>(fields[f]));
}

struct Placing {
    LinePiece* piece;
    NodeId base;
    uint32_t record;  // the root's children so far
};

// Every 16th child of the root is noted for its child index.
void note_record(Placing* placing, NodeId id) {
    uint32_t record = placing->record++;
    if ((record & 15) == 0 && record != 0)
        placing->piece->root_marks[placing->piece->root_mark_count++] = ChildMark{0, record >> 4, id};
}

void place_node(Placing* placing, Node* out, Node node, NodeId id) {
    node.subtree_end += placing->base;
    if (node.parent == NO_NODE) {
        node.parent = 0;
        note_record(placing, id);
    } else {
        node.parent += placing->base;
    }
    stream_node(out, node);
}

// Four Nodes are five 16-byte lanes, fields in the order below; subtree_end
// (2) and parent (3) move up by base, and a parent of NO_NODE becomes 0.
//   lane 0: 0 1 2 3   lane 1: 4 0 1 2   lane 2: 3 4 0 1   lane 3: 2 3 4 0   lane 4: 1 2 3 4
void place_four(Placing* placing, Node* out, const Node* in, NodeId id) {
    const __m128i* from = reinterpret_cast<const __m128i*>(in);
    __m128i* to = reinterpret_cast<__m128i*>(out);
    int b = static_cast<int>(placing->base);
    const __m128i none = _mm_set1_epi32(-1);
    __m128i v0 = _mm_loadu_si128(from), v1 = _mm_loadu_si128(from + 1), v2 = _mm_loadu_si128(from + 2);
    __m128i v3 = _mm_loadu_si128(from + 3), v4 = _mm_loadu_si128(from + 4);
    __m128i r0 = _mm_and_si128(_mm_cmpeq_epi32(v0, none), _mm_setr_epi32(0, 0, 0, -1));
    __m128i r1 = _mm_and_si128(_mm_cmpeq_epi32(v2, none), _mm_setr_epi32(-1, 0, 0, 0));
    __m128i r2 = _mm_and_si128(_mm_cmpeq_epi32(v3, none), _mm_setr_epi32(0, -1, 0, 0));
    __m128i r3 = _mm_and_si128(_mm_cmpeq_epi32(v4, none), _mm_setr_epi32(0, 0, -1, 0));
    _mm_stream_si128(to, _mm_andnot_si128(r0, _mm_add_epi32(v0, _mm_setr_epi32(0, 0, b, b))));
    _mm_stream_si128(to + 1, _mm_add_epi32(v1, _mm_setr_epi32(0, 0, 0, b)));
    _mm_stream_si128(to + 2, _mm_andnot_si128(r1, _mm_add_epi32(v2, _mm_setr_epi32(b, 0, 0, 0))));
    _mm_stream_si128(to + 3, _mm_andnot_si128(r2, _mm_add_epi32(v3, _mm_setr_epi32(b, b, 0, 0))));
    _mm_stream_si128(to + 4, _mm_andnot_si128(r3, _mm_add_epi32(v4, _mm_setr_epi32(0, b, b, 0))));
    // Records are rare among the Nodes: the root's marks are noted one by one.
    __m128i records = _mm_or_si128(_mm_or_si128(r0, r1), _mm_or_si128(r2, r3));
    if (_mm_movemask_epi8(records) == 0) return;
    for (uint32_t i = 0; i < 4; i++) {
        if (in[i].parent == NO_NODE) note_record(placing, id + i);
    }
}

// Root marks below record position `records`: of children 16, 32, ...
uint32_t root_marks_below(uint64_t records) { return records == 0 ? 0 : static_cast<uint32_t>((records - 1) / 16); }

bool place_tables(ParseContext* c, const ParseContext* reader, NodeId base) {
    Document* doc = c->document;
    const Document* own = reader->document;
    if (!room_for(&doc->line_starts, &c->line_starts_capacity, uint64_t{doc->line_count} + own->line_count) ||
        !room_for(&doc->problems, &c->problems_capacity, uint64_t{doc->problem_count} + own->problem_count + 2) ||
        !room_for(&doc->large_counts, &c->large_counts_capacity, uint64_t{doc->large_count_count} + own->large_count_count))
        return false;
    std::memcpy(doc->line_starts + doc->line_count, own->line_starts, own->line_count * sizeof(uint32_t));
    doc->line_count += own->line_count;
    for (uint32_t i = 0; i < own->problem_count; i++) {
        Problem problem = own->problems[i];
        if (problem.node != NO_NODE) problem.node += base;
        doc->problems[doc->problem_count++] = problem;
    }
    for (uint32_t i = 0; i < own->large_count_count; i++)
        doc->large_counts[doc->large_count_count++] = LargeCount{own->large_counts[i].id + base, own->large_counts[i].value};
    doc->features |= own->features;
    // Without room for these the Document simply has no child index, as
    // when they fail to grow while parsing.
    c->big_containers_failed |= reader->big_containers_failed;
    c->child_marks_failed |= reader->child_marks_failed;
    if (!c->big_containers_failed) {
        if (room_for(&c->big_containers, &c->big_container_capacity,
                     uint64_t{c->big_container_count} + reader->big_container_count)) {
            for (uint32_t i = 0; i < reader->big_container_count; i++)
                c->big_containers[c->big_container_count++] = reader->big_containers[i] + base;
        } else {
            c->big_containers_failed = 1;
        }
    }
    // The piece's own marks of the root counted its records from 0: the
    // root's marks are noted afresh as its Nodes are copied.
    for (uint32_t i = 0; i < reader->child_mark_count; i++) {
        ChildMark mark = reader->child_marks[i];
        if (mark.container != NO_NODE) add_child_mark(c, mark.container + base, mark.sixteenth << 4, mark.child + base);
    }
    return true;
}

}  // namespace

bool fix_node_tables(ParseContext* c) {
    // Every Node but the root takes at least one byte of the text.
    uint64_t length = static_cast<uint64_t>(c->text_end - c->text_start);
    NodeId last = static_cast<NodeId>(std::min<uint64_t>(NODE_CHUNK_SIZE, length + 2) - 1);
    c->chunk0_fixed = reserve_chunk_slots(c, MAX_NODE_CHUNKS - 1) && reserve_nodes(c, last);
    set_write_position(c, c->document->node_count);
    return c->chunk0_fixed;
}

bool reserve_piece(PieceRun* run, LinePiece* piece) {
    ParseContext* c = run->loader;
    Document* doc = c->document;
    const ParseContext* reader = &piece->reader->context;
    uint32_t count = reader->document->node_count;
    NodeId base = doc->node_count;
    if (uint64_t{base} + count > 0xFFFFFFFFull) return false;
    for (uint64_t id = base; id < uint64_t{base} + count; id = (id | SLOT_MASK) + 1) {
        if (!reserve_nodes(c, static_cast<NodeId>(id))) return false;
    }
    uint32_t records = reader->stack[0].child_count;
    piece->base = base;
    piece->record_base = c->stack[0].child_count;
    uint32_t marks = root_marks_below(uint64_t{piece->record_base} + records) - root_marks_below(piece->record_base);
    if (marks > 0 && !(piece->root_marks = mem_alloc_array<ChildMark>(marks))) return false;
    if (!place_tables(c, reader, base)) return false;
    doc->node_count = base + count;
    c->stack[0].child_count += records;
    piece->reserved.store(1, std::memory_order_release);
    return true;
}

void copy_piece(LinePiece* piece, Document* doc) {
    const Document* own = piece->reader->context.document;
    uint32_t count = own->node_count;
    Placing placing{piece, piece->base, piece->record_base};
    for (uint32_t x = 0; x < count;) {
        NodeId id = placing.base + x;
        Node* out = node_at(doc, id);
        const Node* in = own->node_chunks[x >> NODE_CHUNK_SHIFT] + (x & SLOT_MASK);
        uint32_t run = std::min({count - x, NODE_CHUNK_SIZE - (id & SLOT_MASK), NODE_CHUNK_SIZE - (x & SLOT_MASK)});
        uint32_t i = 0;
        // Four at a time from a Node on a 16-byte boundary (every fourth
        // one, as chunks start on one).
        if ((reinterpret_cast<uintptr_t>(node_at(doc, id & ~SLOT_MASK)) & 15) == 0) {
            for (; i < run && ((id + i) & 3) != 0; i++) place_node(&placing, out + i, in[i], id + i);
            for (; i + 4 <= run; i += 4) place_four(&placing, out + i, in + i, id + i);
        }
        for (; i < run; i++) place_node(&placing, out + i, in[i], id + i);
        x += run;
    }
    _mm_sfence();
}
