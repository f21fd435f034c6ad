// tarnwell-cli nodes: the Document's facts, every Node and every problem.
#include <cstdio>
#include <vector>

#include "cli_common.h"
#include "cli_commands.h"

namespace {

const char* const FORM_NAMES[] = {"Empty", "Single", "JsonLines", "Concatenated"};
const char* const KIND_NAMES[] = {"Object", "Array", "String", "Number", "True", "False", "Null", "Error"};

void print_names(FILE* out, const char* const* names, uint32_t bits, int count) {
    bool any = false;
    for (int i = 0; i < count; i++) {
        if (!(bits & (1u << i))) continue;
        std::fprintf(out, "%s%s", any ? "," : "", names[i]);
        any = true;
    }
    if (!any) std::fprintf(out, "-");
}

void print_id(FILE* out, const char* label, NodeId id) {
    if (id == NO_NODE) std::fprintf(out, " %s=-", label);
    else std::fprintf(out, " %s=%u", label, id);
}

// Where every Node's value ends, in one backward pass: a Node's last child
// comes before it and leaves its end in the Node's slot.
std::vector<uint32_t> value_ends(const Document* doc) {
    std::vector<uint32_t> ends(node_count(doc), 0);
    for (NodeId id = node_count(doc); id-- > 0;) {
        ends[id] = value_end_after(doc, id, ends[id]);
        NodeId up = parent(doc, id);
        if (up != NO_NODE && subtree_end(doc, id) == subtree_end(doc, up)) ends[up] = ends[id];
    }
    return ends;
}

void print_node(FILE* out, const Document* doc, NodeId id, uint32_t node_depth, uint32_t value_end) {
    static const char* const FLAG_NAMES[] = {"ValueEscaped", "KeyEscaped", "Unclosed", "Json5Form"};
    NodeKind node_kind = kind(doc, id);
    std::fprintf(out, "%u %s", id, KIND_NAMES[static_cast<uint32_t>(node_kind)]);
    print_id(out, "parent", parent(doc, id));
    std::fprintf(out, " end=%u depth=%u length=%u", subtree_end(doc, id), node_depth, value_end - value_offset(doc, id));
    if (is_container_kind(node_kind)) std::fprintf(out, " children=%u", child_count(doc, id));
    if (has_key(doc, id)) {
        std::fprintf(out, " key=");
        print_key(out, doc, id);
    }
    if (uint32_t flags = node_flags(doc, id)) {
        std::fprintf(out, " flags=");
        print_names(out, FLAG_NAMES, flags, 4);
    }
    if (uint32_t line = record_line(doc, id)) std::fprintf(out, " line=%u", line);
    if (!is_container_kind(node_kind)) {
        std::fprintf(out, " value=");
        print_value(out, doc, id);
    }
    std::fprintf(out, "\n");
}

}  // namespace

int run_nodes_command(const CliArguments& args, FILE* out) {
    Document* doc = cli_load(out, args.file, args.options);
    if (!doc) return 1;
    static const char* const FEATURE_NAMES[] = {"Comments", "TrailingCommas", "Json5", "RawControlChars"};
    std::fprintf(out, "form=%s\n", FORM_NAMES[static_cast<uint32_t>(form(doc))]);
    std::fprintf(out, "encoding=%s\n", encoding_label(doc));
    std::fprintf(out, "features=");
    print_names(out, FEATURE_NAMES, features(doc), 4);
    std::fprintf(out, "\nnodes=%u\nlines=%u\nlong_lines=%u\nproblems=%u\n", node_count(doc), line_count(doc),
                has_long_lines(doc), problem_count(doc));
    std::vector<uint32_t> ends = value_ends(doc);
    uint32_t node_depth = 0;
    for (NodeId id = 0; id < node_count(doc); id++) {
        node_depth = depth_after(doc, id - 1, node_depth, id);  // id - 1 is NO_NODE for the root
        print_node(out, doc, id, node_depth, ends[id]);
    }
    for (uint32_t i = 0; i < problem_count(doc); i++) {
        const ProblemInfo* info = problem_info(doc, i);
        if (!info) continue;
        std::fprintf(out, "problem %u offset=%u line=%u column=%u", i, info->offset, info->line, info->column);
        print_id(out, "node", info->node);
        std::fprintf(out, " %s\n", info->message);
    }
    release(doc);
    return 0;
}
