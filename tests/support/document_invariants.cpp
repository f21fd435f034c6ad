#include "document_invariants.h"

#include <cstdio>
#include <vector>

namespace {

std::string fault(const char* what, uint64_t a, uint64_t b = 0) {
    char text[160];
    std::snprintf(text, sizeof text, "%s (%llu, %llu)", what, static_cast<unsigned long long>(a),
                  static_cast<unsigned long long>(b));
    return text;
}

std::string check_nodes(const Document* doc) {
    uint32_t count = node_count(doc);
    uint32_t length = text_length(doc);
    bool records = is_records(doc);
    for (NodeId id = 0; id < count; id++) {
        const Node* node = node_at(doc, id);
        NodeKind node_kind = kind(doc, id);
        if (node->parent == NO_NODE) {
            if (id != 0) return fault("a node other than 0 has no parent", id);
            if (node->subtree_end != count) return fault("the root does not span the table", node->subtree_end, count);
        } else if (node->parent >= id) {
            return fault("parent not below id", id, node->parent);
        }
        if (node->subtree_end <= id || node->subtree_end > count) return fault("subtree end out of range", id);
        if (!is_container_kind(node_kind) && node->subtree_end != id + 1) return fault("scalar with descendants", id);
        if (node->value_offset > length) return fault("value offset past the text", id);
        if (node->key_offset != NO_NODE && node->key_offset > length) return fault("key offset past the text", id);
        if (!is_container_kind(node_kind) && uint64_t{node->value_offset} + value_length(doc, id) > length)
            return fault("scalar runs past the text", id);
        if (node_kind == NodeKind::Error && (!records || node->parent != 0)) return fault("misplaced Error node", id);
        if (is_container_kind(node_kind)) {
            // Children follow each other through subtree ends, inside the parent.
            uint32_t children = 0;
            NodeId child = id + 1;
            for (; child < node->subtree_end; child = node_at(doc, child)->subtree_end) {
                if (node_at(doc, child)->parent != id) return fault("child with another parent", child, id);
                if (node_at(doc, child)->subtree_end > node->subtree_end) return fault("child outlives parent", child);
                children++;
            }
            if (child != node->subtree_end) return fault("children do not end at the subtree end", id);
            if (children != child_count(doc, id)) return fault("child count", id, children);
            if (children > 0 && child_at(doc, id, children - 1) == NO_NODE) return fault("child_at of last", id);
        }
    }
    if (count > 0 && records && (kind(doc, 0) != NodeKind::Array || value_offset(doc, 0) != 0))
        return fault("records root is not an Array at 0", 0);
    if (count > 0 && !records && form(doc) != DocumentForm::Single) return fault("nodes in an empty document", count);
    if (count == 0 && form(doc) != DocumentForm::Empty) return fault("no nodes but not Empty", 0);
    return "";
}

std::string check_lines(const Document* doc) {
    uint32_t lines = line_count(doc);
    uint32_t length = text_length(doc);
    if (length == 0) return lines == 0 ? "" : fault("line starts in an empty text", lines);
    if (lines == 0 || line_start(doc, 0) != 0) return fault("line 0 does not start at 0", lines);
    for (uint32_t i = 1; i < lines; i++) {
        uint32_t at = line_start(doc, i);
        if (at <= line_start(doc, i - 1) || at > length) return fault("line starts not ascending", i, at);
        if (text(doc)[at - 1] != '\n') return fault("line start not after a line feed", i, at);
    }
    return "";
}

std::string check_problems(const Document* doc) {
    uint32_t count = problem_count(doc);
    uint32_t memory = NO_NODE;
    for (uint32_t i = 0; i < count; i++) {
        const Problem& problem = doc->problems[i];
        if (problem.offset > text_length(doc)) return fault("problem past the text", i);
        if (i > 0 && problem.offset < doc->problems[i - 1].offset) return fault("problems not sorted", i);
        if (problem.node != NO_NODE && (problem.node >= node_count(doc) || kind(doc, problem.node) != NodeKind::Error))
            return fault("problem names a node that is not an Error", i, problem.node);
        if (problem.message >= PROBLEM_MESSAGE_COUNT) return fault("message index", i);
        if (problem.message == MSG_OUT_OF_MEMORY && memory == NO_NODE) memory = i;
        const ProblemInfo* info = problem_info(doc, i);
        if (info && (info->offset != problem.offset || info->line == 0 || info->column == 0))
            return fault("problem info", i);
    }
    if (memory != memory_problem_index(doc)) return fault("memory problem index", memory, memory_problem_index(doc));
    for (NodeId id = 0; id < node_count(doc); id++) {
        if (kind(doc, id) == NodeKind::Error && !problem_message_for(doc, id)) return fault("Error without problem", id);
    }
    return "";
}

std::string check_tables(const Document* doc) {
    for (uint32_t i = 0; i < doc->large_count_count; i++) {
        if (i > 0 && doc->large_counts[i].id <= doc->large_counts[i - 1].id) return fault("large counts order", i);
        if (doc->large_counts[i].value < LARGE_COUNT) return fault("small figure in large counts", i);
    }
    for (uint32_t i = 0; i < doc->child_index_directory_count; i++) {
        NodeId container = doc->child_index_directory[i].container;
        if (i > 0 && container <= doc->child_index_directory[i - 1].container) return fault("child index order", i);
        if (child_count(doc, container) < 64) return fault("child index for a small container", container);
        NodeId child = container + 1;
        for (uint32_t k = 0; child != NO_NODE && child < subtree_end(doc, container); k++) {
            if (child_at(doc, container, k) != child || index_in_parent(doc, child) != k)
                return fault("child index disagrees with walking", container, k);
            child = next_sibling(doc, child);
        }
    }
    return "";
}

}  // namespace

std::string check_document_invariants(const Document* doc) {
    if (!doc) return "no document";
    if (doc->reference_count.load() < 1) return "dead document";
    for (const uint8_t* p = text(doc) + text_length(doc); p < text(doc) + text_length(doc) + TEXT_PADDING; p++) {
        if (*p != 0) return "padding is not zero";
    }
    std::string result = check_nodes(doc);
    if (result.empty()) result = check_lines(doc);
    if (result.empty()) result = check_problems(doc);
    if (result.empty()) result = check_tables(doc);
    return result;
}
