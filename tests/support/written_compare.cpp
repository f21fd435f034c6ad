#include "written_compare.h"

#include "load_text.h"

namespace {

uint32_t written_children(const Document* doc, NodeId id) {
    uint32_t count = 0;
    for (NodeId child = first_child(doc, id); child != NO_NODE; child = next_sibling(doc, child))
        count += kind(doc, child) != NodeKind::Error;
    return count;
}

}  // namespace

std::string compare_written(const Document* original, NodeId id, const Document* copy) {
    if (!copy) return "no document";
    if (problem_count(copy)) return "the copy has a problem: " + problem_at(copy);
    bool may_rewrite = features(original) & SyntaxFeatures::RawControlChars;
    NodeId c = 0;
    for (NodeId o = id; o < subtree_end(original, id); o++) {
        if (kind(original, o) == NodeKind::Error) continue;
        std::string where = "node " + std::to_string(o) + " (copy " + std::to_string(c) + "): ";
        if (c >= node_count(copy)) return where + "missing";
        if (kind(original, o) != kind(copy, c)) return where + "kind differs";
        if (has_key(original, o) != has_key(copy, c) || key_of(original, o) != key_of(copy, c))
            return where + "key differs";
        bool rewritten = may_rewrite || (node_flags(original, o) & NodeFlags::Json5Form);
        if (is_container_kind(kind(original, o))) {
            if (written_children(original, o) != child_count(copy, c)) return where + "child count differs";
        } else if (rewritten ? value_of(original, o) != value_of(copy, c) : source_of(original, o) != source_of(copy, c)) {
            return where + "value differs: " + source_of(original, o) + " / " + source_of(copy, c);
        }
        c++;
    }
    return c == node_count(copy) ? "" : "the copy has more nodes";
}
