// Keys, clicks and type-ahead: the user's moves, none of which records history.
#include <cstdio>

#include "base/utf8.h"
#include "views/text_view.h"
#include "views/view_state.h"
#include "views/view_state_internal.h"

namespace {

// Longest decoded key that type-ahead compares, in bytes.
constexpr uint32_t TYPE_AHEAD_KEY_BYTES = 263;

bool is_movement_key(uint32_t key) {
    return key >= ViewKey::Up && key <= ViewKey::End && key != ViewKey::Left && key != ViewKey::Right;
}

bool is_tree_key(uint32_t key) {
    return key == ViewKey::Left || key == ViewKey::Right || key == ViewKey::Space || key == ViewKey::Enter;
}

// The row or line a movement key leads to from `current` among `count` (> 0).
uint32_t moved_row(uint32_t key, uint32_t current, uint32_t count, uint32_t page_rows) {
    uint32_t last = count - 1;
    switch (key) {
    case ViewKey::Up: return current > 0 ? current - 1 : 0;
    case ViewKey::Down: return current < last ? current + 1 : last;
    case ViewKey::PageUp: return current > page_rows ? current - page_rows : 0;
    case ViewKey::PageDown: return last - current > page_rows ? current + page_rows : last;
    case ViewKey::Home: return 0;
    default: return last;
    }
}

void move_caret(ViewState* view, uint32_t line, bool extend) {
    view->caret_line = line;
    if (!extend || view->anchor_line == NO_LINE) view->anchor_line = line;
    NodeId id = node_of_line(view->text_view, line);
    if (id != NO_NODE) view->selected = id;
}

void move_by_key(ViewState* view, uint32_t key, uint32_t modifiers, uint32_t page_rows) {
    uint32_t count = visible_row_count(view);
    uint32_t current = selected_row(view);
    if (current == NO_LINE) current = 0;
    uint32_t target = moved_row(key, current, count, page_rows ? page_rows : 1);
    if (in_text_view(view)) move_caret(view, target, modifiers & KeyModifier::Shift);
    else view->selected = node_at_row(view->row_model, target);
}

// Left and Right without modifiers: open, enter, close and leave containers.
void step_in_tree(ViewState* view, bool right) {
    RowModel* model = view->row_model;
    NodeId id = view->selected;
    if (is_expandable(view->document, id)) {
        bool open = is_expanded(model, id);
        if (right && !open) expand(model, id);
        else if (right) view->selected = id + 1;
        else if (open) collapse(model, id);
        else if (id != 0) view->selected = parent(view->document, id);
    } else if (!right && id != 0) {
        view->selected = parent(view->document, id);
    }
}

// Handles Left, Right, Space and Enter in the tree view; false for modifier
// combinations that belong to the caller's accelerators.
bool tree_key(ViewState* view, uint32_t key, uint32_t modifiers) {
    NodeId id = view->selected;
    if (key == ViewKey::Left || key == ViewKey::Right) {
        if (modifiers == KeyModifier::Alt) {
            if (key == ViewKey::Right) expand_subtree(view->row_model, id);
            else collapse_subtree(view->row_model, id);
        } else if (modifiers == 0) {
            step_in_tree(view, key == ViewKey::Right);
        } else {
            return false;
        }
    } else {
        if (modifiers != 0) return false;
        if (is_expandable(view->document, id)) toggle(view->row_model, id);
    }
    resynchronise_selection(view);
    return true;
}

uint32_t lower_case(uint32_t code_point) {
    if (code_point >= 'A' && code_point <= 'Z') return code_point + 32;
    if (code_point >= 192 && code_point <= 222 && code_point != 215) return code_point + 32;
    return code_point;
}

// The code point of the well-formed sequence of `length` bytes at p.
uint32_t code_point_at(const uint8_t* p, uint32_t length) {
    static const uint8_t lead_mask[5] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    uint32_t code_point = p[0] & lead_mask[length];
    for (uint32_t i = 1; i < length; i++) code_point = (code_point << 6) | (p[i] & 0x3F);
    return code_point;
}

// Whether the typed characters begin the UTF-8 text, compared lower-cased.
bool typed_prefix_of(const ViewState* view, const uint8_t* text, uint64_t length) {
    const uint8_t* p = text;
    const uint8_t* end = text + length;
    for (uint32_t i = 0; i < view->typed_count; i++) {
        if (p >= end) return false;
        uint32_t bytes = utf8_sequence_length(p, end);
        uint32_t code_point = bytes ? code_point_at(p, bytes) : 0xFFFD;
        if (lower_case(code_point) != view->typed[i]) return false;
        p += bytes ? bytes : 1;
    }
    return true;
}

// A key-less Node is found by its number: the record's line for a top-level
// record, else its index in its parent.
bool row_matches(const ViewState* view, NodeId id) {
    const Document* doc = view->document;
    if (id == 0) return false;
    if (has_key(doc, id)) {
        uint8_t key[TYPE_AHEAD_KEY_BYTES + 1];
        BoundedWriter writer = bounded_writer(key, sizeof key);
        decode_key_into(doc, id, &writer);
        return typed_prefix_of(view, key, writer.written);
    }
    if (view->typed[0] < '0' || view->typed[0] > '9') return false;
    uint32_t number = record_line(doc, id);
    if (number == 0) number = index_in_parent(doc, id);
    char digits[16];
    int length = std::snprintf(digits, sizeof digits, "%u", number);
    return typed_prefix_of(view, reinterpret_cast<const uint8_t*>(digits), static_cast<uint64_t>(length));
}

}  // namespace

uint32_t navigate_key(ViewState* view, uint32_t key, uint32_t modifiers, uint32_t page_rows) {
    if (!view || visible_row_count(view) == 0) return 0;
    if (!in_text_view(view) && view->selected == NO_NODE) return 0;
    if (is_movement_key(key)) {
        if (modifiers & (KeyModifier::Alt | KeyModifier::Ctrl)) return 0;
        move_by_key(view, key, modifiers, page_rows);
    } else if (in_text_view(view) || !is_tree_key(key) || !tree_key(view, key, modifiers)) {
        return 0;
    }
    note_user_move(view);
    return 1;
}

void click_row(ViewState* view, uint32_t row, bool on_chevron, uint32_t modifiers) {
    if (!view || row >= visible_row_count(view)) return;
    note_user_move(view);
    if (in_text_view(view)) {
        move_caret(view, row, modifiers & KeyModifier::Shift);
        return;
    }
    RowModel* model = view->row_model;
    NodeId id = node_at_row(model, row);
    view->selected = id;
    if (!on_chevron || !is_expandable(view->document, id)) return;
    if (!(modifiers & KeyModifier::Alt)) toggle(model, id);
    else if (is_expanded(model, id)) collapse_subtree(model, id);
    else expand_subtree(model, id);
    resynchronise_selection(view);
}

void double_click_row(ViewState* view, uint32_t row) {
    if (!view || row >= visible_row_count(view)) return;
    click_row(view, row, false, 0);
    if (in_text_view(view) || !is_expandable(view->document, view->selected)) return;
    toggle(view->row_model, view->selected);
    resynchronise_selection(view);
}

uint32_t type_ahead(ViewState* view, uint32_t code_point, uint64_t now_ms) {
    if (!view || in_text_view(view)) return 0;
    if (code_point < 32 || code_point > 0x10FFFF || code_point == 127) return 0;
    uint32_t count = row_count(view->row_model);
    uint32_t current = row_of_node(view->row_model, view->selected);
    if (count == 0 || current == NO_LINE) return 0;
    uint32_t start = current;
    if (view->typed_count == 0 || now_ms < view->typed_tick || now_ms - view->typed_tick > TYPE_AHEAD_PAUSE_MS) {
        view->typed_count = 0;
        start = current + 1 < count ? current + 1 : 0;
    }
    if (view->typed_count < TYPE_AHEAD_SIZE) view->typed[view->typed_count++] = lower_case(code_point);
    view->typed_tick = now_ms;
    for (uint32_t step = 0, row = start; step < count; step++, row = row + 1 < count ? row + 1 : 0) {
        NodeId id = node_at_row(view->row_model, row);
        if (!row_matches(view, id)) continue;
        view->selected = id;
        view->user_moved = 1;
        view->scroll_request = 1;
        return 1;
    }
    return 0;
}
