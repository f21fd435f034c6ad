// Placing a ReloadSnapshot on a new Document: each entry is looked for under
// its parent's Node, by index for array items and by key for object members.
#include <cstring>

#include "base/memory.h"
#include "core/decoded_text.h"
#include "views/reload_snapshot.h"
#include "views/snapshot_internal.h"
#include "views/text_view.h"
#include "views/view_state.h"
#include "views/view_state_internal.h"

namespace {

// Objects with more children than this get a hash index of their keys.
constexpr uint32_t SCAN_CHILDREN_MAX = 32;
constexpr uint64_t HASH_SLOTS_MIN = 64;
constexpr uint32_t FNV_OFFSET_BASIS = 0x811C9DC5u;
constexpr uint32_t FNV_PRIME = 16777619u;

constexpr uint8_t PLACED = 1;
constexpr uint8_t NEEDED = 2;  // kept for the next reload

uint32_t fnv1a(const uint8_t* bytes, uint64_t length) {
    uint32_t hash = FNV_OFFSET_BASIS;
    for (uint64_t i = 0; i < length; i++) hash = (hash ^ bytes[i]) * FNV_PRIME;
    return hash;
}

struct HashSlot {
    uint32_t hash;
    NodeId node;  // NO_NODE: empty
    uint32_t child;
};

// An entry on the way from the root to the entry being placed, with what
// its children's lookups share: the shift found for earlier siblings and the
// hash index of its keys, built on first need.
struct PlacedLink {
    uint32_t entry;
    NodeId node;  // NO_NODE when it could not be placed
    int64_t shift;
    HashSlot* slots;
    uint64_t mask;
};

struct Restorer {
    Document* doc;
    const ReloadSnapshot* snapshot;
    ViewState* view;
    PlacedLink* chain;
    uint32_t chain_count;
    uint32_t chain_capacity;
    uint8_t* flags;  // per entry: PLACED, NEEDED
    bool out_of_memory;
    bool expand_root;
    NodeId selected;  // the selected entry's Node, or its nearest placed ancestor's
    NodeId top;       // the same for the top row entry
};

void pop_link(Restorer* r) { mem_free(r->chain[--r->chain_count].slots); }

// Whether the decoded key of `id` is these bytes; a key that cannot be
// decoded for want of memory stops the restore.
bool key_is(Restorer* r, NodeId id, const uint8_t* key, uint64_t length) {
    DecodedText decoded;
    if (!decode_node_text(r->doc, id, DecodedPart::Key, &decoded)) {
        r->out_of_memory = true;
        return false;
    }
    bool same = decoded.length == length && (length == 0 || std::memcmp(decoded.bytes, key, length) == 0);
    release_decoded_text(&decoded);
    return same;
}

// Slots: the smallest power of two at least twice the child count, at least
// 64; linear probing keeps equal keys in child order.
bool build_hash_index(Restorer* r, PlacedLink* link, uint32_t count) {
    uint64_t slot_count = HASH_SLOTS_MIN;
    while (slot_count < 2 * uint64_t{count}) slot_count *= 2;
    HashSlot* slots = mem_alloc_array<HashSlot>(slot_count);
    if (!slots) return false;
    for (uint64_t i = 0; i < slot_count; i++) slots[i].node = NO_NODE;
    uint64_t mask = slot_count - 1;
    NodeId child = link->node + 1;
    for (uint32_t k = 0; k < count; k++, child = subtree_end(r->doc, child)) {
        DecodedText key;
        if (!decode_node_text(r->doc, child, DecodedPart::Key, &key)) {
            mem_free(slots);
            return false;
        }
        uint32_t hash = fnv1a(key.bytes, key.length);
        release_decoded_text(&key);
        uint64_t at = hash & mask;
        while (slots[at].node != NO_NODE) at = (at + 1) & mask;
        slots[at] = HashSlot{hash, child, k};
    }
    link->slots = slots;
    link->mask = mask;
    return true;
}

// The child of `link`'s object whose key is the entry's; NO_NODE when there
// is none. *found is its index among the children.
NodeId find_by_hash(Restorer* r, PlacedLink* link, uint32_t count, const uint8_t* key, uint64_t length,
                    uint32_t* found) {
    if (!link->slots && !build_hash_index(r, link, count)) {
        r->out_of_memory = true;
        return NO_NODE;
    }
    uint32_t hash = fnv1a(key, length);
    for (uint64_t at = hash & link->mask; link->slots[at].node != NO_NODE; at = (at + 1) & link->mask) {
        const HashSlot& slot = link->slots[at];
        if (slot.hash == hash && key_is(r, slot.node, key, length)) {
            *found = slot.child;
            return slot.node;
        }
        if (r->out_of_memory) return NO_NODE;
    }
    return NO_NODE;
}

NodeId find_by_scan(Restorer* r, const PlacedLink* link, uint32_t count, const uint8_t* key, uint64_t length,
                    uint32_t* found) {
    NodeId child = link->node + 1;
    for (uint32_t k = 0; k < count && !r->out_of_memory; k++, child = subtree_end(r->doc, child)) {
        if (!key_is(r, child, key, length)) continue;
        *found = k;
        return child;
    }
    return NO_NODE;
}

// An object member: at its old index moved by the shift its earlier siblings
// showed, at its old index, then anywhere among the children.
NodeId find_member(Restorer* r, PlacedLink* link, const NodeLocator& entry) {
    const uint8_t* key = r->snapshot->key_pool + entry.key_offset;
    uint32_t count = child_count(r->doc, link->node);
    uint32_t found = NO_ENTRY;
    NodeId node = NO_NODE;
    int64_t shifted = int64_t{entry.index} + link->shift;
    if (link->shift != 0 && shifted >= 0 && shifted < count) {
        node = child_at(r->doc, link->node, static_cast<uint32_t>(shifted));
        if (key_is(r, node, key, entry.key_length)) found = static_cast<uint32_t>(shifted);
        else node = NO_NODE;
    }
    if (node == NO_NODE && entry.index < count && !r->out_of_memory) {
        node = child_at(r->doc, link->node, entry.index);
        if (key_is(r, node, key, entry.key_length)) found = entry.index;
        else node = NO_NODE;
    }
    if (node == NO_NODE && !r->out_of_memory) {
        node = count > SCAN_CHILDREN_MAX ? find_by_hash(r, link, count, key, entry.key_length, &found)
                                         : find_by_scan(r, link, count, key, entry.key_length, &found);
    }
    if (node != NO_NODE) link->shift = int64_t{found} - int64_t{entry.index};
    return node;
}

NodeId locate(Restorer* r, PlacedLink* parent, const NodeLocator& entry) {
    if (!parent) return 0;
    if (parent->node == NO_NODE) return NO_NODE;
    NodeKind parent_kind = kind(r->doc, parent->node);
    if (!entry.has_key) return parent_kind == NodeKind::Array ? child_at(r->doc, parent->node, entry.index) : NO_NODE;
    return parent_kind == NodeKind::Object ? find_member(r, parent, entry) : NO_NODE;
}

// The deepest placed Node on the chain: the entry just placed, or its
// nearest placed ancestor.
NodeId nearest_placed(const Restorer* r) {
    for (uint32_t i = r->chain_count; i > 0; i--) {
        if (r->chain[i - 1].node != NO_NODE) return r->chain[i - 1].node;
    }
    return NO_NODE;
}

// Entries come in pre-order, so an entry's parent is on the chain; an entry
// whose parent is not is left unplaced.
bool place_entry(Restorer* r, uint32_t i) {
    const NodeLocator& entry = r->snapshot->entries[i];
    while (r->chain_count > 0 && r->chain[r->chain_count - 1].entry != entry.parent) pop_link(r);
    bool orphan = entry.parent != NO_ENTRY && r->chain_count == 0;
    PlacedLink* parent = r->chain_count > 0 ? &r->chain[r->chain_count - 1] : nullptr;
    NodeId node = orphan ? NO_NODE : locate(r, parent, entry);
    if (r->out_of_memory) return false;
    if (!grow_for_one(&r->chain, r->chain_count, &r->chain_capacity, 64)) return false;
    r->chain[r->chain_count++] = PlacedLink{i, node, 0, nullptr, 0};
    if (node != NO_NODE) {
        r->flags[i] |= PLACED;
        // Only bits are set while the root is collapsed; the rows are built
        // once, when the root is expanded last.
        if (entry.expanded && !r->snapshot->all_expanded) {
            if (node == 0) r->expand_root = true;
            else expand(r->view->row_model, node);
        }
    }
    if (i == r->snapshot->selected_entry) r->selected = nearest_placed(r);
    if (i == r->snapshot->top_row_entry) r->top = nearest_placed(r);
    return true;
}

bool place_entries(Restorer* r) {
    bool placed = true;
    for (uint32_t i = 0; i < r->snapshot->entry_count && placed; i++) placed = place_entry(r, i);
    while (r->chain_count > 0) pop_link(r);
    if (!placed) return false;
    RowModel* model = r->view->row_model;
    if (r->snapshot->all_expanded) {
        expand_all(model);
        r->view->expand_all_count = expanded_count(model);
        return row_count(model) == node_count(r->doc);
    }
    if (!r->expand_root) return true;
    expand(model, 0);
    return is_expanded(model, 0) || !is_expandable(r->doc, 0);
}

// A line of the new text for a remembered one: the last line for one past
// the end, NO_LINE when the text has none.
uint32_t clamp_line(uint32_t line, uint32_t line_count) {
    if (line_count == 0) return NO_LINE;
    return line < line_count ? line : line_count - 1;
}

// The text view of the kind that existed, in the remembered mode, with the
// caret on the selection's line when it was there, else where it was.
bool rebuild_text_view(ViewState* view, const ReloadSnapshot* snapshot) {
    uint32_t outcome = 0;
    view->text_view = build_text_view(view->document, snapshot->text_mode, nullptr, &outcome);
    if (!view->text_view) return false;
    if (snapshot->view_mode != VIEW_MODE_TEXT) return true;
    view->view_mode = VIEW_MODE_TEXT;
    uint32_t lines = text_line_count(view->text_view);
    if (snapshot->caret_on_selection || snapshot->caret_line == NO_LINE) {
        uint32_t line = line_of_node_in_text(view, view->selected);
        view->caret_line = line != NO_LINE ? line : clamp_line(0, lines);
        view->anchor_line = snapshot->anchor_line == snapshot->caret_line
                                ? view->caret_line
                                : clamp_line(snapshot->anchor_line, lines);
    } else {
        view->caret_line = clamp_line(snapshot->caret_line, lines);
        view->anchor_line = clamp_line(snapshot->anchor_line, lines);
    }
    return true;
}

uint32_t restored_top_row(const Restorer* r) {
    const ViewState* view = r->view;
    if (in_text_view(view)) {
        uint32_t line = clamp_line(r->snapshot->top_line, text_line_count(view->text_view));
        return line != NO_LINE ? line : 0;
    }
    NodeId node = r->top;
    while (node != NO_NODE && row_of_node(view->row_model, node) == NO_LINE) node = parent(r->doc, node);
    return node != NO_NODE ? row_of_node(view->row_model, node) : 0;
}

bool missed(const Restorer* r, uint32_t entry) { return entry != NO_ENTRY && !(r->flags[entry] & PLACED); }

// A copy of what could not be placed (the selection and the top row with
// their ancestors, every unplaced expanded entry with its ancestors) for the
// next reload. True when nothing is left over or the copy was made.
bool keep_pending(Restorer* r) {
    const ReloadSnapshot* snapshot = r->snapshot;
    ViewState* view = r->view;
    bool selection_missed = missed(r, snapshot->selected_entry);
    bool top_missed = missed(r, snapshot->top_row_entry);
    uint32_t expanded_missed = 0;
    for (uint32_t i = snapshot->entry_count; i > 0; i--) {
        uint32_t e = i - 1;
        const NodeLocator& entry = snapshot->entries[e];
        bool expanded = entry.expanded && !snapshot->all_expanded && !(r->flags[e] & PLACED);
        expanded_missed += expanded ? 1 : 0;
        if (expanded || (e == snapshot->selected_entry && selection_missed) ||
            (e == snapshot->top_row_entry && top_missed))
            r->flags[e] |= NEEDED;
        if ((r->flags[e] & NEEDED) && entry.parent != NO_ENTRY) r->flags[entry.parent] |= NEEDED;
    }
    if (!selection_missed && !top_missed && expanded_missed == 0) return true;
    ReloadSnapshot* kept = new_snapshot();
    uint32_t* moved = kept ? mem_alloc_array<uint32_t>(snapshot->entry_count) : nullptr;
    bool copied = moved != nullptr;
    for (uint32_t i = 0; i < snapshot->entry_count && copied; i++) {
        moved[i] = NO_ENTRY;
        if (!(r->flags[i] & NEEDED)) continue;
        uint32_t parent = snapshot->entries[i].parent;
        bool expanded = snapshot->entries[i].expanded && !(r->flags[i] & PLACED);
        moved[i] = copy_entry(kept, snapshot, i, parent == NO_ENTRY ? NO_ENTRY : moved[parent], expanded);
        copied = moved[i] != NO_ENTRY;
    }
    if (copied) {
        if (selection_missed) kept->selected_entry = moved[snapshot->selected_entry];
        if (top_missed) kept->top_row_entry = moved[snapshot->top_row_entry];
    }
    mem_free(moved);
    if (!copied) {
        release_snapshot(kept);
        return false;
    }
    kept->fallback_selected = view->selected;
    view->pending_snapshot = kept;
    view->selection_pending = selection_missed ? 1 : 0;
    view->top_row_pending = top_missed ? 1 : 0;
    view->pending_expanded = expanded_missed;
    return true;
}

bool restore_into(Restorer* r, uint32_t* top_row) {
    const ReloadSnapshot* snapshot = r->snapshot;
    ViewState* view = r->view;
    r->flags = static_cast<uint8_t*>(mem_alloc_zeroed(snapshot->entry_count));
    if (!r->flags || !place_entries(r)) return false;
    NodeId selected = r->selected != NO_NODE ? r->selected : 0;
    view->selected = selected;
    if (snapshot->had_text_view && !rebuild_text_view(view, snapshot)) return false;
    if (!in_text_view(view)) {
        show_node(view, selected);
        // Revealing it only fails for want of memory.
        if (view->selected != selected) return false;
    }
    *top_row = restored_top_row(r);
    view->restored_top_row = *top_row;
    view->restored = 1;
    return keep_pending(r);
}

}  // namespace

ViewState* restore_snapshot(Document* doc, const ReloadSnapshot* snapshot, uint32_t* top_row) {
    *top_row = 0;
    bool plain = !snapshot || snapshot->entry_count == 0 || node_count(doc) == 0;
    ViewState* view = create_view_state(doc, plain);
    if (!view || plain) return view;
    Restorer r{doc, snapshot, view, nullptr, 0, 0, nullptr, false, false, NO_NODE, NO_NODE};
    bool restored = restore_into(&r, top_row);
    mem_free(r.chain);
    mem_free(r.flags);
    if (restored) return view;
    release_view_state(view);
    *top_row = 0;
    return nullptr;
}
