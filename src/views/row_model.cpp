#include "views/row_model.h"

#include <bit>
#include <cstring>

#include "base/memory.h"

namespace {

constexpr uint32_t FIRST_CAPACITY = 16;
constexpr uint32_t SHRINK_ABOVE = 1024;
constexpr uint32_t SMALL_ROW_COUNT = 512;

bool valid(const RowModel* model, NodeId id) { return model && id < model->node_count; }

bool bit_of(const RowModel* model, NodeId id) { return (model->expanded[id >> 6] >> (id & 63)) & 1; }

void set_bit(RowModel* model, NodeId id) {
    model->expanded[id >> 6] |= uint64_t{1} << (id & 63);
    model->expanded_count++;
}

NodeId end_of(const RowModel* model, NodeId id) { return node_at(model->document, id)->subtree_end; }

bool node_is_expandable(const Node* node, NodeId id) {
    return is_container_kind(static_cast<NodeKind>(node->packed & NodePacked::KindMask)) && node->subtree_end > id + 1;
}

// The first row at or after `from` whose NodeId is at or beyond `id`
// (row_count when there is none).
uint32_t first_row_at_or_beyond(const RowModel* model, uint32_t from, NodeId id) {
    uint32_t low = from, high = model->row_count;
    while (low < high) {
        uint32_t mid = low + (high - low) / 2;
        if (model->rows[mid] < id) low = mid + 1;
        else high = mid;
    }
    return low;
}

[[nodiscard]] bool resize_rows(RowModel* model, uint32_t capacity) {
    uint32_t* rows = mem_realloc_array(model->rows, capacity);
    if (!rows) return false;
    model->rows = rows;
    model->row_capacity = capacity;
    return true;
}

// Makes room for `needed` rows: doubling from the old capacity (16 from
// nothing), never past the node count.
[[nodiscard]] bool grow_rows(RowModel* model, uint32_t needed) {
    if (needed <= model->row_capacity) return true;
    uint64_t capacity = model->row_capacity ? model->row_capacity : FIRST_CAPACITY;
    while (capacity < needed) capacity *= 2;
    if (capacity > model->node_count) capacity = model->node_count;
    return resize_rows(model, static_cast<uint32_t>(capacity));
}

// Gives back most of a row array that has become mostly empty. A failed
// reallocation keeps the larger array, which is still correct.
void shrink_rows(RowModel* model) {
    if (model->row_capacity <= SHRINK_ABOVE || model->row_count >= model->row_capacity / 4) return;
    uint32_t capacity = model->row_count <= SMALL_ROW_COUNT ? SHRINK_ABOVE : model->row_count * 2;
    (void)resize_rows(model, capacity);
}

// Removes the visible descendants of a Node that is a row: they are exactly
// the rows between it and the first row at or beyond its subtree end.
void remove_descendant_rows(RowModel* model, NodeId id) {
    uint32_t row = row_of_node(model, id);
    if (row == NO_NODE) return;
    uint32_t first_kept = first_row_at_or_beyond(model, row + 1, end_of(model, id));
    uint32_t tail = model->row_count - first_kept;
    std::memmove(model->rows + row + 1, model->rows + first_kept, uint64_t{tail} * sizeof(uint32_t));
    model->row_count = row + 1 + tail;
    shrink_rows(model);
}

// The bits of the ids in [from, to) within one word, as a mask.
uint64_t word_mask(uint64_t word, uint64_t from, uint64_t to) {
    uint64_t first = word * 64, low = from > first ? from - first : 0, high = to < first + 64 ? to - first : 64;
    uint64_t upper = high == 64 ? ~uint64_t{0} : (uint64_t{1} << high) - 1;
    return upper & ~((uint64_t{1} << low) - 1);
}

// Sets the bit of every expandable Node in [from, to), a word at a time.
void set_expandable_bits(RowModel* model, NodeId from, NodeId to) {
    for (uint64_t word = from >> 6; word * 64 < to; word++) {
        uint64_t mask = word_mask(word, from, to), found = 0;
        for (uint64_t bits = mask; bits; bits &= bits - 1) {
            NodeId id = static_cast<NodeId>(word * 64 + std::countr_zero(bits));
            if (node_is_expandable(node_at(model->document, id), id)) found |= bits & -bits;
        }
        uint64_t before = model->expanded[word];
        model->expanded[word] = before | found;
        model->expanded_count += std::popcount(before | found) - std::popcount(before);
    }
}

// Clears the bits of [from, to): whole words at once, counted by population.
void clear_bits(RowModel* model, NodeId from, NodeId to) {
    for (uint64_t word = from >> 6; word * 64 < to; word++) {
        uint64_t mask = word_mask(word, from, to);
        model->expanded_count -= std::popcount(model->expanded[word] & mask);
        model->expanded[word] &= ~mask;
    }
}

uint64_t word_count(uint32_t node_count) { return node_count ? (uint64_t{node_count} + 63) / 64 : 1; }

void reset_to_root(RowModel* model) {
    std::memset(model->expanded, 0, word_count(model->node_count) * sizeof(uint64_t));
    model->expanded_count = 0;
    model->rows[0] = 0;
    model->row_count = 1;
}

}  // namespace

bool is_expandable(const Document* doc, NodeId id) {
    return doc && id < doc->node_count && node_is_expandable(node_at(doc, id), id);
}

RowModel* create_row_model(Document* doc) {
    RowModel* model = static_cast<RowModel*>(mem_alloc_zeroed(sizeof(RowModel)));
    if (!model) return nullptr;
    uint32_t nodes = node_count(doc);
    uint32_t capacity = nodes == 0 ? 1 : nodes < FIRST_CAPACITY ? nodes : FIRST_CAPACITY;
    model->rows = mem_alloc_array<uint32_t>(capacity);
    model->expanded = static_cast<uint64_t*>(mem_alloc_zeroed(word_count(nodes) * sizeof(uint64_t)));
    if (!model->rows || !model->expanded) {
        mem_free(model->rows);
        mem_free(model->expanded);
        mem_free(model);
        return nullptr;
    }
    model->document = retain(doc);
    model->node_count = nodes;
    model->row_capacity = capacity;
    if (nodes) {
        model->rows[0] = 0;
        model->row_count = 1;
    }
    return model;
}

void release_row_model(RowModel* model) {
    if (!model) return;
    release(model->document);
    mem_free(model->rows);
    mem_free(model->expanded);
    mem_free(model);
}

uint32_t row_count(const RowModel* model) { return model ? model->row_count : 0; }

NodeId node_at_row(const RowModel* model, uint32_t row) {
    return model && row < model->row_count ? model->rows[row] : NO_NODE;
}

uint32_t row_of_node(const RowModel* model, NodeId id) {
    if (!valid(model, id)) return NO_NODE;
    uint32_t row = first_row_at_or_beyond(model, 0, id);
    return row < model->row_count && model->rows[row] == id ? row : NO_NODE;
}

bool is_expanded(const RowModel* model, NodeId id) { return valid(model, id) && bit_of(model, id); }

uint32_t expanded_count(const RowModel* model) { return model ? model->expanded_count : 0; }

void expand(RowModel* model, NodeId id) {
    if (!valid(model, id) || bit_of(model, id) || !is_expandable(model->document, id)) return;
    uint32_t row = row_of_node(model, id);
    if (row == NO_NODE) {
        set_bit(model, id);
        return;
    }
    // The visible-descendant walk: a child with its bit set shows its own
    // children (from id + 1), any other child's subtree is skipped. Run once
    // to count, once to write.
    NodeId end = end_of(model, id);
    uint32_t added = 0;
    for (NodeId child = id + 1; child < end; child = bit_of(model, child) ? child + 1 : end_of(model, child)) added++;
    if (!grow_rows(model, model->row_count + added)) return;
    uint32_t* after = model->rows + row + 1;
    std::memmove(after + added, after, uint64_t{model->row_count - row - 1} * sizeof(uint32_t));
    for (NodeId child = id + 1; child < end; child = bit_of(model, child) ? child + 1 : end_of(model, child)) {
        *after++ = child;
    }
    model->row_count += added;
    set_bit(model, id);
}

void collapse(RowModel* model, NodeId id) {
    if (!valid(model, id) || !bit_of(model, id)) return;
    model->expanded[id >> 6] &= ~(uint64_t{1} << (id & 63));
    model->expanded_count--;
    remove_descendant_rows(model, id);
}

void toggle(RowModel* model, NodeId id) {
    if (is_expanded(model, id)) collapse(model, id);
    else expand(model, id);
}

void expand_subtree(RowModel* model, NodeId id) {
    if (!valid(model, id) || !is_expandable(model->document, id)) return;
    NodeId end = end_of(model, id);
    uint32_t row = row_of_node(model, id);
    if (row != NO_NODE) {
        // Every descendant becomes a row: the rows after them are those from
        // the first one at or beyond the subtree end.
        uint32_t first_kept = first_row_at_or_beyond(model, row + 1, end);
        uint32_t tail = model->row_count - first_kept;
        uint32_t descendants = end - id - 1;
        uint32_t new_count = row + 1 + descendants + tail;
        if (!grow_rows(model, new_count)) return;
        uint32_t* after = model->rows + row + 1;
        std::memmove(after + descendants, model->rows + first_kept, uint64_t{tail} * sizeof(uint32_t));
        for (uint32_t i = 0; i < descendants; i++) after[i] = id + 1 + i;
        model->row_count = new_count;
    }
    set_expandable_bits(model, id, end);
}

void collapse_subtree(RowModel* model, NodeId id) {
    if (!valid(model, id)) return;
    clear_bits(model, id, end_of(model, id));
    remove_descendant_rows(model, id);
}

void expand_to_level(RowModel* model, uint32_t levels) {
    if (!model || model->node_count == 0) return;
    std::memset(model->expanded, 0, word_count(model->node_count) * sizeof(uint64_t));
    model->expanded_count = 0;
    model->row_count = 0;
    NodeId id = 0, current_parent = NO_NODE;
    uint32_t level = 0;
    while (id < model->node_count) {
        if (!grow_rows(model, model->row_count + 1)) {
            reset_to_root(model);
            return;
        }
        model->rows[model->row_count++] = id;
        if (level < levels && is_expandable(model->document, id)) {
            set_bit(model, id);
            current_parent = id++;
            level++;
            continue;
        }
        id = end_of(model, id);
        while (current_parent != NO_NODE && id >= end_of(model, current_parent)) {
            current_parent = node_at(model->document, current_parent)->parent;
            level--;
        }
    }
    shrink_rows(model);
}

void expand_all(RowModel* model) {
    if (!model || model->node_count == 0) return;
    if (model->row_capacity < model->node_count && !resize_rows(model, model->node_count)) return;
    for (uint32_t i = 0; i < model->node_count; i++) model->rows[i] = i;
    model->row_count = model->node_count;
    std::memset(model->expanded, 0, word_count(model->node_count) * sizeof(uint64_t));
    model->expanded_count = 0;
    set_expandable_bits(model, 0, model->node_count);
}

void collapse_all(RowModel* model) { expand_to_level(model, 1); }

void initial_expansion(RowModel* model) {
    if (model) expand_to_level(model, model->node_count <= 5000 ? 3 : 1);
}

void reveal(RowModel* model, NodeId id) {
    if (!valid(model, id)) return;
    // Nearest ancestor first: those that are not rows only get their bit, and
    // the first that is a row inserts every row below it in one step.
    for (NodeId up = node_at(model->document, id)->parent; up != NO_NODE; up = node_at(model->document, up)->parent) {
        expand(model, up);
    }
}
