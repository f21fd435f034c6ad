// The last steps of a load: completing the line starts, the long-line test,
// sorting the large counts and building the child index.
#include "core/load_finish.h"

#include <algorithm>

#include "base/memory.h"

namespace {

constexpr uint32_t LONG_LINE = 10000;

}  // namespace

void complete_line_starts(ParseContext* c) {
    Document* doc = c->document;
    const uint8_t* p = c->parse_end ? c->parse_end : c->text_start;
    const uint8_t* end = c->text_end;
    uint32_t last = doc->line_count ? doc->line_starts[doc->line_count - 1] : 0;
    while (p < end && !c->line_starts_failed) {
        const void* line_feed = std::memchr(p, '\n', static_cast<size_t>(end - p));
        if (!line_feed) break;
        p = static_cast<const uint8_t*>(line_feed) + 1;
        if (doc->line_count == 0 || offset_of(c, p) > last) add_line_start(c, p);
    }
}

void shrink_line_starts(ParseContext* c) {
    Document* doc = c->document;
    if (doc->line_count == 0) {
        mem_free(doc->line_starts);
        doc->line_starts = nullptr;
    } else if (doc->line_count < c->line_starts_capacity) {
        // A failed shrink keeps the larger table, which is just as good.
        if (uint32_t* trimmed = mem_realloc_array(doc->line_starts, doc->line_count)) doc->line_starts = trimmed;
    }
    c->line_starts_capacity = doc->line_count;
}

void shrink_node_chunks(ParseContext* c) {
    Document* doc = c->document;
    if (doc->chunk_count == 0) return;
    // Only the last chunk in use can have room to spare; chunks past it are
    // left over from rolled-back records.
    uint32_t used_chunks = (doc->node_count + NODE_CHUNK_SIZE - 1) >> NODE_CHUNK_SHIFT;
    for (uint32_t i = used_chunks; i < doc->chunk_count; i++) {
        mem_free(doc->node_chunks[i]);
        doc->node_chunks[i] = nullptr;
    }
    doc->chunk_count = used_chunks;
    if (used_chunks == 0) return;
    // Chunk 0 was sized to the text and grown by doubling; later chunks are
    // allocated whole. Either way the last one may have room to spare, given
    // back in place by shrinking (no copy: a block only gets smaller).
    uint32_t last = used_chunks - 1;
    uint32_t used = doc->node_count - (last << NODE_CHUNK_SHIFT);
    uint32_t capacity = last == 0 ? c->chunk0_capacity : NODE_CHUNK_SIZE;
    if (used < capacity) {
        // A failed shrink keeps the larger chunk, which is just as good.
        if (Node* trimmed = mem_realloc_array(doc->node_chunks[last], used)) {
            doc->node_chunks[last] = trimmed;
            if (last == 0) c->chunk0_capacity = used;
        }
    }
}

uint8_t find_long_lines(const Document* doc) {
    if (doc->text_length == 0 || doc->line_count == 0) return 0;
    const uint32_t* starts = doc->line_starts;
    uint32_t lines = doc->line_count;
    if (doc->text_length - starts[lines - 1] > LONG_LINE) return 1;
    for (uint32_t i = 0; i + 1 < lines; i++) {
        uint32_t gap = starts[i + 1] - starts[i];
        if (gap < LONG_LINE + 2) continue;
        // Not counting the line feed, nor a carriage return right before it.
        uint32_t length = gap - 1;
        if (doc->text[starts[i + 1] - 2] == '\r') length--;
        if (length > LONG_LINE) return 1;
    }
    return 0;
}

void sort_large_counts(Document* doc) {
    // Entries were appended in closing order and are few: a stable insertion sort.
    LargeCount* table = doc->large_counts;
    for (uint32_t i = 1; i < doc->large_count_count; i++) {
        LargeCount entry = table[i];
        uint32_t j = i;
        while (j > 0 && table[j - 1].id > entry.id) {
            table[j] = table[j - 1];
            j--;
        }
        table[j] = entry;
    }
}

namespace {

// The directory entry of `container`, or nullptr.
ChildIndexDirectoryEntry* directory_entry(ChildIndexDirectoryEntry* directory, uint32_t count, NodeId container) {
    uint32_t low = 0, high = count;
    while (low < high) {
        uint32_t mid = low + (high - low) / 2;
        if (directory[mid].container == container) return &directory[mid];
        if (directory[mid].container < container) low = mid + 1;
        else high = mid;
    }
    return nullptr;
}

}  // namespace

void build_child_index(ParseContext* c) {
    Document* doc = c->document;
    if (c->big_containers_failed || c->child_marks_failed || c->big_container_count == 0) return;
    NodeId* list = c->big_containers;
    uint32_t listed = c->big_container_count;
    if (!std::is_sorted(list, list + listed)) std::sort(list, list + listed);
    uint32_t kept = 0;
    uint64_t entry_count = 0;
    for (uint32_t i = 0; i < listed; i++) {
        NodeId id = list[i];
        if (kept > 0 && list[kept - 1] == id) continue;
        if (id >= doc->node_count || child_count(doc, id) < 64) continue;  // child_count is 0 for scalars
        list[kept++] = id;
        entry_count += (child_count(doc, id) + 15) / 16;
    }
    if (kept == 0) return;
    auto* directory = mem_alloc_array<ChildIndexDirectoryEntry>(kept);
    auto* entries = mem_alloc_array<uint32_t>(entry_count);
    if (!directory || !entries) {
        mem_free(directory);
        mem_free(entries);
        return;  // navigation falls back to walking siblings
    }
    uint32_t next_entry = 0;
    for (uint32_t i = 0; i < kept; i++) {
        directory[i] = ChildIndexDirectoryEntry{list[i], next_entry};
        entries[next_entry] = list[i] + 1;  // child 0 always follows its container
        next_entry += (child_count(doc, list[i]) + 15) / 16;
    }
    // Every later 16th child was noted while parsing; marks of Nodes that were
    // dropped (a cut container) or of small containers find no place.
    for (uint32_t i = 0; i < c->child_mark_count; i++) {
        const ChildMark& mark = c->child_marks[i];
        if (mark.child >= doc->node_count) continue;
        ChildIndexDirectoryEntry* entry = directory_entry(directory, kept, mark.container);
        if (entry && mark.sixteenth < (child_count(doc, mark.container) + 15) / 16)
            entries[entry->start + mark.sixteenth] = mark.child;
    }
    doc->child_index_directory = directory;
    doc->child_index_directory_count = kept;
    doc->child_index_entries = entries;
}
