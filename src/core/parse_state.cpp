// The loader's bookkeeping that does not depend on the vector width: the
// error slot, line starts, memory exhaustion, progress checkpoints and the
// records root.
#include "base/cpu_variant.h"
#include "base/memory.h"
#include "core/parse_context.h"

const uint8_t NUMBER_END_IS_BAD[256] = {
    // 0x2B "+", 0x2D "-", 0x2E ".", 0x30-0x39 digits, 0x41-0x5A, 0x5F "_", 0x61-0x7A
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 1, 0,  1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0,
    0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 1,
    0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0,
};

void note_out_of_memory(ParseContext* c, const uint8_t* p) {
    if (!c->out_of_memory) c->out_of_memory_position = p;
    c->out_of_memory = 1;
    c->next_checkpoint = c->text_start;
}

void add_line_start(ParseContext* c, const uint8_t* p) {
    if (c->line_starts_failed) return;
    Document* doc = c->document;
    if (!grow_for_one(&doc->line_starts, doc->line_count, &c->line_starts_capacity, 1024)) {
        c->line_starts_failed = 1;
        note_out_of_memory(c, p);
        return;
    }
    doc->line_starts[doc->line_count++] = offset_of(c, p);
}

bool checkpoint(ParseContext* c, const uint8_t* p) {
    if (c->out_of_memory) return false;
    const LoadProgress* progress = c->progress;
    if (progress && progress->cancel && progress->cancel->load(std::memory_order_relaxed)) {
        c->cancelled = 1;
        return false;
    }
    if (progress && progress->callback)
        progress->callback(progress->argument, offset_of(c, p), c->text_end - c->text_start);
    c->next_checkpoint = checkpoint_after(c, p);
    return true;
}

void set_error_at(ParseContext* c, const uint8_t* p, uint32_t message) {
    if (message == MSG_EXPECTED_VALUE || message == MSG_EXPECTED_KEY) {
        if (p >= c->text_end) {
            message = c->single_line ? MSG_UNEXPECTED_END_OF_LINE : MSG_UNEXPECTED_END_OF_FILE;
        } else if (c->single_line && *p == '\n') {
            message = MSG_UNEXPECTED_END_OF_LINE;
            if (p > c->text_start && p[-1] == '\r') p--;
        } else if (is_comment_start(p)) {
            message = MSG_COMMENTS_NOT_ALLOWED;
        }
    }
    if (p > c->text_end) p = c->text_end;
    c->error_offset = offset_of(c, p);
    c->error_message = message;
}

bool insert_records_root(ParseContext* c) {
    Document* doc = c->document;
    NodeId count = doc->node_count;
    if (c->write == c->region_end && !reserve_nodes(c, count)) return false;
    for (NodeId id = count; id-- > 0;) {
        Node moved = *node_at(doc, id);
        moved.subtree_end++;
        moved.parent = moved.parent == NO_NODE ? 0 : moved.parent + 1;
        *node_at(doc, id + 1) = moved;
    }
    *node_at(doc, 0) = Node{NO_NODE, 0, count + 1, NO_NODE, static_cast<uint32_t>(NodeKind::Array)};
    doc->node_count = count + 1;
    c->write++;
    for (uint32_t i = 0; i < doc->large_count_count; i++) doc->large_counts[i].id++;
    for (uint32_t i = 0; i < c->big_container_count; i++) c->big_containers[i]++;
    for (uint32_t i = 0; i < c->child_mark_count; i++) {
        c->child_marks[i].container++;
        c->child_marks[i].child++;
    }
    c->stack[0].node = node_at(doc, 0);
    c->stack[0].id = 0;
    return true;
}

namespace vector_sse2 {
extern const LoaderScanners LOADER_SCANNERS;
}
namespace vector_avx2 {
extern const LoaderScanners LOADER_SCANNERS;
}

const LoaderScanners* loader_scanners() {
    return cpu_variant() == CPU_VARIANT_AVX2 ? &vector_avx2::LOADER_SCANNERS : &vector_sse2::LOADER_SCANNERS;
}
