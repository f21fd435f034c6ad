// Lifetime, whole-document facts, navigation and lines.
#include "core/document.h"

#include "base/memory.h"

namespace {

bool valid(const Document* doc, NodeId id) { return doc && id < doc->node_count; }

// Index of the last entry of a sorted u32 array at or below `value`, or
// NO_NODE when every entry is above it.
uint32_t last_at_or_below(const uint32_t* values, uint32_t count, uint32_t value) {
    uint32_t low = 0, high = count;
    while (low < high) {
        uint32_t mid = low + (high - low) / 2;
        if (values[mid] <= value) low = mid + 1;
        else high = mid;
    }
    return low == 0 ? NO_NODE : low - 1;
}

// The child index of a container, or nullptr when it has none.
const uint32_t* child_index_of(const Document* doc, NodeId container) {
    uint32_t low = 0, high = doc->child_index_directory_count;
    while (low < high) {
        uint32_t mid = low + (high - low) / 2;
        NodeId at = doc->child_index_directory[mid].container;
        if (at == container) return doc->child_index_entries + doc->child_index_directory[mid].start;
        if (at < container) low = mid + 1;
        else high = mid;
    }
    return nullptr;
}

// From `pos`, skips whitespace, commas and comments; then steps over one
// closing bracket if there is one. Commas are skipped so that a trailing comma
// before the bracket belongs to the container's text.
uint32_t past_closing(const Document* doc, uint32_t pos) {
    const uint8_t* text = doc->text;
    uint32_t end = doc->text_length;
    while (pos < end) {
        uint8_t byte = text[pos];
        if (byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r' || byte == ',') {
            pos++;
        } else if (byte == '/' && pos + 1 < end && text[pos + 1] == '/') {
            pos += 2;
            while (pos < end && text[pos] != '\n') pos++;
        } else if (byte == '/' && pos + 1 < end && text[pos + 1] == '*') {
            pos += 2;
            while (pos < end && !(text[pos] == '*' && pos + 1 < end && text[pos + 1] == '/')) pos++;
            pos = pos < end ? pos + 2 : end;
        } else {
            break;
        }
    }
    if (pos < end && (text[pos] == ']' || text[pos] == '}')) return pos + 1;
    return pos;
}

}  // namespace

Document* retain(Document* doc) {
    if (doc) doc->reference_count.fetch_add(1, std::memory_order_relaxed);
    return doc;
}

void release(Document* doc) {
    if (!doc) return;
    if (doc->reference_count.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    for (uint32_t i = 0; i < doc->chunk_count; i++) mem_free(doc->node_chunks[i]);
    mem_free(doc->node_chunks);
    mem_free(doc->line_starts);
    mem_free(doc->problems);
    for (uint32_t i = 0; i < doc->problem_info_chunk_count; i++) mem_free(doc->problem_info_chunks[i]);
    mem_free(doc->problem_info_chunks);
    mem_free(doc->large_counts);
    mem_free(doc->child_index_directory);
    mem_free(doc->child_index_entries);
    mem_free(doc->text_allocation);
    doc->~Document();
    mem_free(doc);
}

uint32_t node_count(const Document* doc) { return doc ? doc->node_count : 0; }
const uint8_t* text(const Document* doc) { return doc ? doc->text : nullptr; }
uint32_t text_length(const Document* doc) { return doc ? doc->text_length : 0; }
DocumentForm form(const Document* doc) { return doc ? doc->form : DocumentForm::Empty; }
const char* encoding_label(const Document* doc) { return doc && doc->encoding_label ? doc->encoding_label : "UTF-8"; }
uint32_t features(const Document* doc) { return doc ? doc->features : 0; }
uint8_t has_long_lines(const Document* doc) { return doc ? doc->has_long_lines : 0; }

bool is_records(const Document* doc) {
    DocumentForm f = form(doc);
    return f == DocumentForm::JsonLines || f == DocumentForm::Concatenated;
}

uint32_t large_value(const Document* doc, NodeId id) {
    uint32_t low = 0, high = doc ? doc->large_count_count : 0;
    while (low < high) {
        uint32_t mid = low + (high - low) / 2;
        NodeId at = doc->large_counts[mid].id;
        if (at == id) return doc->large_counts[mid].value;
        if (at < id) low = mid + 1;
        else high = mid;
    }
    return COUNT_FIELD_LARGE;
}

uint32_t node_count_field(const Document* doc, NodeId id) {
    if (!valid(doc, id)) return 0;
    uint32_t packed = node_at(doc, id)->packed;
    if (packed & NodePacked::Large) return large_value(doc, id);
    return packed >> NodePacked::CountShift;
}

NodeKind kind(const Document* doc, NodeId id) {
    if (!valid(doc, id)) return NodeKind::Null;
    return static_cast<NodeKind>(node_at(doc, id)->packed & NodePacked::KindMask);
}

uint32_t node_flags(const Document* doc, NodeId id) {
    if (!valid(doc, id)) return 0;
    return (node_at(doc, id)->packed >> NodePacked::FlagShift) & NodePacked::FlagMask;
}

NodeId parent(const Document* doc, NodeId id) { return valid(doc, id) ? node_at(doc, id)->parent : NO_NODE; }
NodeId subtree_end(const Document* doc, NodeId id) { return valid(doc, id) ? node_at(doc, id)->subtree_end : NO_NODE; }

NodeId first_child(const Document* doc, NodeId id) {
    if (!valid(doc, id)) return NO_NODE;
    return id + 1 < node_at(doc, id)->subtree_end ? id + 1 : NO_NODE;
}

NodeId next_sibling(const Document* doc, NodeId id) {
    if (!valid(doc, id)) return NO_NODE;
    const Node* node = node_at(doc, id);
    if (node->parent == NO_NODE || node->parent >= doc->node_count) return NO_NODE;
    return node->subtree_end < node_at(doc, node->parent)->subtree_end ? node->subtree_end : NO_NODE;
}

uint32_t child_count(const Document* doc, NodeId id) {
    if (!is_container_kind(kind(doc, id))) return 0;
    return node_count_field(doc, id);
}

NodeId child_at(const Document* doc, NodeId id, uint32_t index) {
    uint32_t count = child_count(doc, id);
    if (index >= count) return NO_NODE;
    NodeId child = id + 1;
    uint32_t steps = index;
    if (count > 63) {
        if (const uint32_t* entries = child_index_of(doc, id)) {
            child = entries[index >> 4];
            steps = index & 15;
        }
    }
    while (steps-- > 0) child = node_at(doc, child)->subtree_end;
    return child;
}

uint32_t index_in_parent(const Document* doc, NodeId id) {
    NodeId up = parent(doc, id);
    if (up == NO_NODE) return 0;
    NodeId child = up + 1;
    uint32_t index = 0;
    uint32_t count = child_count(doc, up);
    if (count > 63) {
        if (const uint32_t* entries = child_index_of(doc, up)) {
            uint32_t entry = last_at_or_below(entries, (count + 15) / 16, id);
            if (entry != NO_NODE) {
                child = entries[entry];
                index = entry * 16;
            }
        }
    }
    while (child < id) {
        child = node_at(doc, child)->subtree_end;
        index++;
    }
    return index;
}

uint32_t depth(const Document* doc, NodeId id) {
    if (!valid(doc, id)) return 0;
    uint32_t levels = 0;
    for (NodeId up = node_at(doc, id)->parent; up != NO_NODE && up < doc->node_count; up = node_at(doc, up)->parent)
        levels++;
    return levels;
}

uint32_t depth_after(const Document* doc, NodeId previous, uint32_t previous_depth, NodeId id) {
    if (!valid(doc, id)) return 0;
    NodeId target = node_at(doc, id)->parent;
    if (target == NO_NODE) return 0;
    if (!valid(doc, previous) || previous >= id || target > previous) return depth(doc, id);
    // The parent's subtree runs from itself past `id`, so it holds `previous`:
    // the parent is `previous` or one of its ancestors.
    NodeId up = previous;
    uint32_t levels = previous_depth;
    while (up != target && up != NO_NODE && levels > 0) {
        up = node_at(doc, up)->parent;
        levels--;
    }
    return up == target ? levels + 1 : depth(doc, id);
}

bool has_key(const Document* doc, NodeId id) { return valid(doc, id) && node_at(doc, id)->key_offset != NO_NODE; }
uint32_t key_offset(const Document* doc, NodeId id) { return valid(doc, id) ? node_at(doc, id)->key_offset : NO_NODE; }
uint32_t value_offset(const Document* doc, NodeId id) { return valid(doc, id) ? node_at(doc, id)->value_offset : 0; }

uint32_t value_end_after(const Document* doc, NodeId id, uint32_t last_child_end) {
    if (!valid(doc, id)) return 0;
    const Node* node = node_at(doc, id);
    if (!is_container_kind(kind(doc, id))) return node->value_offset + node_count_field(doc, id);
    if (id == 0 && is_records(doc)) return doc->text_length;
    uint32_t end = node->subtree_end > id + 1 ? last_child_end : node->value_offset + 1;
    return (node_flags(doc, id) & NodeFlags::Unclosed) ? end : past_closing(doc, end);
}

uint32_t value_length(const Document* doc, NodeId id) {
    if (!valid(doc, id)) return 0;
    // The subtree's last Node ends first; every container from there up to
    // `id` adds its own closing bracket. The records' root ends with the text.
    NodeId last = (id == 0 && is_records(doc)) ? id : node_at(doc, id)->subtree_end - 1;
    uint32_t end = value_end_after(doc, last, 0);
    for (NodeId up = last; up != id;) {
        up = node_at(doc, up)->parent;
        if (up == NO_NODE) break;
        end = value_end_after(doc, up, end);
    }
    return end - node_at(doc, id)->value_offset;
}

uint32_t line_count(const Document* doc) { return doc ? doc->line_count : 0; }

uint32_t line_start(const Document* doc, uint32_t line) {
    if (!doc) return 0;
    return line < doc->line_count ? doc->line_starts[line] : doc->text_length;
}

uint32_t line_of_offset(const Document* doc, uint32_t offset) {
    if (!doc || doc->line_count == 0) return 0;
    uint32_t line = last_at_or_below(doc->line_starts, doc->line_count, offset);
    return line == NO_NODE ? 0 : line;
}

uint32_t record_line(const Document* doc, NodeId id) {
    if (!valid(doc, id) || id == 0 || !is_records(doc) || node_at(doc, id)->parent != 0) return 0;
    if (doc->line_count == 0) return 1;
    return line_of_offset(doc, node_at(doc, id)->value_offset) + 1;
}
