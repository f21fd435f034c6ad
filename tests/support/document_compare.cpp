#include "document_compare.h"

#include <cstring>

namespace {

template <typename T>
bool same_records(const T* a, const T* b, uint32_t count) {
    return count == 0 || std::memcmp(a, b, sizeof(T) * count) == 0;
}

}  // namespace

std::string document_difference(const Document* a, const Document* b) {
    if (a->form != b->form) return "form";
    if (std::strcmp(a->encoding_label, b->encoding_label) != 0) return "encoding";
    if (a->features != b->features) return "features";
    if (a->text_length != b->text_length || std::memcmp(a->text, b->text, a->text_length) != 0) return "text";
    if (a->node_count != b->node_count) return "node count";
    for (NodeId id = 0; id < a->node_count; id++) {
        if (std::memcmp(node_at(a, id), node_at(b, id), sizeof(Node)) != 0) return "node " + std::to_string(id);
    }
    if (a->line_count != b->line_count || !same_records(a->line_starts, b->line_starts, a->line_count))
        return "line starts";
    if (a->has_long_lines != b->has_long_lines) return "long lines";
    if (a->problem_count != b->problem_count || a->memory_problem_index != b->memory_problem_index) return "problem count";
    for (uint32_t i = 0; i < a->problem_count; i++) {
        const Problem &p = a->problems[i], &q = b->problems[i];
        if (p.offset != q.offset || p.node != q.node || p.message != q.message) return "problem " + std::to_string(i);
    }
    if (a->large_count_count != b->large_count_count ||
        !same_records(a->large_counts, b->large_counts, a->large_count_count))
        return "large counts";
    if (a->child_index_directory_count != b->child_index_directory_count ||
        !same_records(a->child_index_directory, b->child_index_directory, a->child_index_directory_count))
        return "child index directory";
    uint32_t entries = 0;  // one for each 16 children of an indexed container
    for (uint32_t i = 0; i < a->child_index_directory_count; i++)
        entries += (child_count(a, a->child_index_directory[i].container) + 15) / 16;
    if (!same_records(a->child_index_entries, b->child_index_entries, entries)) return "child index entries";
    return "";
}
