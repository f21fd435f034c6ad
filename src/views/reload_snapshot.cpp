// Capturing what a view shows before a reload, and the snapshot's storage.
#include "views/reload_snapshot.h"

#include <bit>
#include <cstring>
#include <utility>

#include "base/memory.h"
#include "core/decoded_text.h"
#include "views/snapshot_internal.h"
#include "views/text_view.h"
#include "views/view_state.h"
#include "views/view_state_internal.h"

namespace {

constexpr uint32_t FIRST_ENTRY_CAPACITY = 64;
constexpr uint64_t FIRST_KEY_POOL_CAPACITY = 4096;
constexpr uint64_t KEY_POOL_MAX = 0xFFFFFFFF;

// Room for `length` more bytes in the key pool, doubling from 4096.
bool reserve_key(ReloadSnapshot* snapshot, uint64_t length) {
    uint64_t needed = uint64_t{snapshot->key_pool_length} + length;
    if (needed > KEY_POOL_MAX) return false;
    uint64_t capacity = snapshot->key_pool_capacity;
    if (needed <= capacity) return true;
    if (capacity == 0) capacity = FIRST_KEY_POOL_CAPACITY;
    while (capacity < needed) capacity *= 2;
    if (capacity > KEY_POOL_MAX) capacity = KEY_POOL_MAX;
    uint8_t* moved = mem_realloc_array(snapshot->key_pool, capacity);
    if (!moved) return false;
    snapshot->key_pool = moved;
    snapshot->key_pool_capacity = static_cast<uint32_t>(capacity);
    return true;
}

// A Node already recorded, on the way from the root to the last one recorded.
struct ChainLink {
    NodeId node;
    uint32_t entry;
};

// Records Nodes in document order. The chain holds the path from the root to
// the last Node recorded, so the nearest recorded ancestor of the next Node
// is found by popping the links whose subtree ends before it.
struct Recorder {
    const ViewState* view;
    ReloadSnapshot* snapshot;
    bool with_expansion;
    ChainLink* chain;
    uint32_t chain_count;
    uint32_t chain_capacity;
    NodeId* climb;  // ancestors still to record, deepest first
    uint32_t climb_count;
    uint32_t climb_capacity;
};

uint32_t add_node_entry(Recorder* r, NodeId id, uint32_t parent_entry) {
    const Document* doc = r->view->document;
    bool expanded = r->with_expansion && is_expanded(r->view->row_model, id);
    if (!has_key(doc, id)) return add_entry(r->snapshot, parent_entry, index_in_parent(doc, id), false, nullptr, 0, expanded);
    DecodedText key;
    if (!decode_node_text(doc, id, DecodedPart::Key, &key)) return NO_ENTRY;
    uint32_t entry = add_entry(r->snapshot, parent_entry, index_in_parent(doc, id), true, key.bytes, key.length, expanded);
    release_decoded_text(&key);
    return entry;
}

// The entry of `id`, recorded with its unrecorded ancestors when it is new.
// Nodes must come in ascending order. NO_ENTRY when memory runs out.
uint32_t record(Recorder* r, NodeId id) {
    const Document* doc = r->view->document;
    while (r->chain_count > 0 && id >= subtree_end(doc, r->chain[r->chain_count - 1].node)) r->chain_count--;
    if (r->chain_count > 0 && r->chain[r->chain_count - 1].node == id) return r->chain[r->chain_count - 1].entry;
    NodeId stop = r->chain_count > 0 ? r->chain[r->chain_count - 1].node : NO_NODE;
    r->climb_count = 0;
    for (NodeId n = id; n != stop && n != NO_NODE; n = parent(doc, n)) {
        if (!grow_for_one(&r->climb, r->climb_count, &r->climb_capacity, 64)) return NO_ENTRY;
        r->climb[r->climb_count++] = n;
    }
    uint32_t entry = stop != NO_NODE ? r->chain[r->chain_count - 1].entry : NO_ENTRY;
    while (r->climb_count > 0) {
        NodeId n = r->climb[--r->climb_count];
        entry = add_node_entry(r, n, entry);
        if (entry == NO_ENTRY) return NO_ENTRY;
        if (!grow_for_one(&r->chain, r->chain_count, &r->chain_capacity, 64)) return NO_ENTRY;
        r->chain[r->chain_count++] = ChainLink{n, entry};
    }
    return entry;
}

// Records the expanded Nodes (when asked) and the two special Nodes, all in
// document order; the special Nodes' entries go to selected and top.
bool record_nodes(Recorder* r, NodeId special[2], uint32_t* selected, uint32_t* top) {
    NodeId selected_node = special[0], top_node = special[1];
    if (special[0] > special[1]) std::swap(special[0], special[1]);
    uint32_t next_special = 0;
    auto record_special = [&](NodeId id) {
        uint32_t entry = record(r, id);
        if (id == selected_node) *selected = entry;
        if (id == top_node) *top = entry;
        return entry != NO_ENTRY;
    };
    const RowModel* model = r->view->row_model;
    uint32_t words = r->with_expansion ? (model->node_count + 63) / 64 : 0;
    for (uint32_t word = 0; word < words; word++) {
        for (uint64_t bits = model->expanded[word]; bits; bits &= bits - 1) {
            NodeId id = word * 64 + static_cast<uint32_t>(std::countr_zero(bits));
            while (next_special < 2 && special[next_special] <= id) {
                if (!record_special(special[next_special++])) return false;
            }
            if (record(r, id) == NO_ENTRY) return false;
        }
    }
    while (next_special < 2 && special[next_special] != NO_NODE) {
        if (!record_special(special[next_special++])) return false;
    }
    return true;
}

// What an earlier restore could not place goes on to the next one: the
// selection and top row while the view still shows what the restore chose
// in their place, and the unplaced expanded Nodes while there is room.
bool carry_pending(ReloadSnapshot* snapshot, const ViewState* view, uint32_t top_row) {
    const ReloadSnapshot* pending = view->pending_snapshot;
    if (!pending) return true;
    bool keep_selection = view->selection_pending && view->selected == pending->fallback_selected &&
                          pending->selected_entry != NO_ENTRY;
    bool keep_top = view->top_row_pending && top_row == view->restored_top_row && pending->top_row_entry != NO_ENTRY &&
                    view->view_mode == VIEW_MODE_TREE;
    bool keep_expanded = !snapshot->all_expanded && view->pending_expanded != NO_NODE && view->pending_expanded > 0 &&
                         uint64_t{expanded_count(view->row_model)} + view->pending_expanded <= SNAPSHOT_EXPANDED_MAX;
    if (!keep_selection && !keep_top && !keep_expanded) return true;
    uint32_t base = snapshot->entry_count;
    for (uint32_t i = 0; i < pending->entry_count; i++) {
        uint32_t parent = pending->entries[i].parent;
        bool expanded = keep_expanded && pending->entries[i].expanded;
        if (copy_entry(snapshot, pending, i, parent == NO_ENTRY ? NO_ENTRY : base + parent, expanded) == NO_ENTRY)
            return false;
    }
    if (keep_selection) snapshot->selected_entry = base + pending->selected_entry;
    if (keep_top) snapshot->top_row_entry = base + pending->top_row_entry;
    return true;
}

void record_text_position(ReloadSnapshot* snapshot, const ViewState* view, uint32_t top_row) {
    snapshot->had_text_view = view->text_view ? 1 : 0;
    snapshot->text_mode = text_view_mode(view->text_view);
    if (!in_text_view(view)) return;
    snapshot->caret_line = view->caret_line;
    snapshot->anchor_line = view->anchor_line;
    snapshot->top_line = top_row;
    snapshot->caret_on_selection =
        view->caret_line != NO_LINE && view->caret_line == line_of_node_in_text(view, view->selected);
}

}  // namespace

ReloadSnapshot* new_snapshot() {
    auto* snapshot = static_cast<ReloadSnapshot*>(mem_alloc_zeroed(sizeof(ReloadSnapshot)));
    if (!snapshot) return nullptr;
    snapshot->caret_line = NO_LINE;
    snapshot->anchor_line = NO_LINE;
    snapshot->top_line = NO_LINE;
    snapshot->selected_entry = NO_ENTRY;
    snapshot->top_row_entry = NO_ENTRY;
    snapshot->fallback_selected = NO_NODE;
    return snapshot;
}

uint32_t add_entry(ReloadSnapshot* snapshot, uint32_t parent, uint32_t index, bool has_key, const uint8_t* key,
                   uint64_t key_length, bool expanded) {
    // NO_ENTRY is never an entry's index.
    if (snapshot->entry_count == NO_ENTRY - 1) return NO_ENTRY;
    if (!grow_for_one(&snapshot->entries, snapshot->entry_count, &snapshot->entry_capacity, FIRST_ENTRY_CAPACITY))
        return NO_ENTRY;
    NodeLocator locator{parent, index, snapshot->key_pool_length, 0, has_key ? uint8_t{1} : uint8_t{0},
                        expanded ? uint8_t{1} : uint8_t{0}};
    if (has_key && key_length > 0) {
        if (!reserve_key(snapshot, key_length)) return NO_ENTRY;
        std::memcpy(snapshot->key_pool + snapshot->key_pool_length, key, key_length);
        snapshot->key_pool_length += static_cast<uint32_t>(key_length);
        locator.key_length = static_cast<uint32_t>(key_length);
    }
    snapshot->entries[snapshot->entry_count] = locator;
    return snapshot->entry_count++;
}

uint32_t copy_entry(ReloadSnapshot* to, const ReloadSnapshot* from, uint32_t i, uint32_t parent, bool expanded) {
    const NodeLocator& entry = from->entries[i];
    return add_entry(to, parent, entry.index, entry.has_key, from->key_pool + entry.key_offset, entry.key_length,
                     expanded);
}

ReloadSnapshot* capture_snapshot(const ViewState* view, uint32_t top_row) {
    if (!view) return nullptr;
    ReloadSnapshot* snapshot = new_snapshot();
    if (!snapshot) return nullptr;
    snapshot->view_mode = view->view_mode;
    record_text_position(snapshot, view, top_row);
    uint32_t expanded = expanded_count(view->row_model);
    snapshot->all_expanded = expanded > SNAPSHOT_EXPANDED_MAX || expanded == view->expand_all_count;
    Recorder r{view, snapshot, !snapshot->all_expanded, nullptr, 0, 0, nullptr, 0, 0};
    NodeId top_node = in_text_view(view) ? NO_NODE : node_at_row(view->row_model, top_row);
    NodeId special[2] = {view->selected, top_node};
    bool recorded = record_nodes(&r, special, &snapshot->selected_entry, &snapshot->top_row_entry) &&
                    carry_pending(snapshot, view, top_row);
    mem_free(r.chain);
    mem_free(r.climb);
    if (recorded) return snapshot;
    release_snapshot(snapshot);
    return nullptr;
}

void release_snapshot(ReloadSnapshot* snapshot) {
    if (!snapshot) return;
    mem_free(snapshot->entries);
    mem_free(snapshot->key_pool);
    mem_free(snapshot);
}
