// tarnwell-cli nodes: the Document's facts, every Node and every problem.
#include <cstdio>

#include "cli_common.h"
#include "cli_commands.h"

namespace {

const char* const FORM_NAMES[] = {"Empty", "Single", "JsonLines", "Concatenated"};
const char* const KIND_NAMES[] = {"Object", "Array", "String", "Number", "True", "False", "Null", "Error"};

void print_names(const char* const* names, uint32_t bits, int count) {
    bool any = false;
    for (int i = 0; i < count; i++) {
        if (!(bits & (1u << i))) continue;
        std::printf("%s%s", any ? "," : "", names[i]);
        any = true;
    }
    if (!any) std::printf("-");
}

void print_id(const char* label, NodeId id) {
    if (id == NO_NODE) std::printf(" %s=-", label);
    else std::printf(" %s=%u", label, id);
}

void print_node(const Document* doc, NodeId id) {
    static const char* const FLAG_NAMES[] = {"ValueEscaped", "KeyEscaped", "Unclosed", "Json5Form"};
    NodeKind node_kind = kind(doc, id);
    std::printf("%u %s", id, KIND_NAMES[static_cast<uint32_t>(node_kind)]);
    print_id("parent", parent(doc, id));
    std::printf(" end=%u depth=%u length=%u", subtree_end(doc, id), depth(doc, id), value_length(doc, id));
    if (is_container_kind(node_kind)) std::printf(" children=%u", child_count(doc, id));
    if (has_key(doc, id)) {
        std::printf(" key=");
        print_key(stdout, doc, id);
    }
    if (uint32_t flags = node_flags(doc, id)) {
        std::printf(" flags=");
        print_names(FLAG_NAMES, flags, 4);
    }
    if (uint32_t line = record_line(doc, id)) std::printf(" line=%u", line);
    if (!is_container_kind(node_kind)) {
        std::printf(" value=");
        print_value(stdout, doc, id);
    }
    std::printf("\n");
}

}  // namespace

int run_nodes_command(const CliArguments& args) {
    Document* doc = cli_load(args.file, args.options);
    if (!doc) return 1;
    static const char* const FEATURE_NAMES[] = {"Comments", "TrailingCommas", "Json5", "RawControlChars"};
    std::printf("form=%s\n", FORM_NAMES[static_cast<uint32_t>(form(doc))]);
    std::printf("encoding=%s\n", encoding_label(doc));
    std::printf("features=");
    print_names(FEATURE_NAMES, features(doc), 4);
    std::printf("\nnodes=%u\nlines=%u\nlong_lines=%u\nproblems=%u\n", node_count(doc), line_count(doc),
                has_long_lines(doc), problem_count(doc));
    for (NodeId id = 0; id < node_count(doc); id++) print_node(doc, id);
    for (uint32_t i = 0; i < problem_count(doc); i++) {
        const ProblemInfo* info = problem_info(doc, i);
        if (!info) continue;
        std::printf("problem %u offset=%u line=%u column=%u", i, info->offset, info->line, info->column);
        print_id("node", info->node);
        std::printf(" %s\n", info->message);
    }
    release(doc);
    return 0;
}
