// Problems: their messages, and the described form (line, column) built on
// demand, 1,024 at a time, into chunks that any thread may publish once.
#include <atomic>
#include <cstring>

#include "base/memory.h"
#include "core/document.h"

namespace {

const char* const MESSAGES[PROBLEM_MESSAGE_COUNT] = {
    "unexpected end of file",
    "expected a value",
    "expected , or } after a value",
    "expected , or ] after a value",
    "expected : after the key",
    "expected a key in double quotes",
    "invalid number",
    "invalid escape",
    "unterminated string",
    "control character in string",
    "invalid literal",
    "unexpected text after the JSON value",
    "nesting deeper than 100,000 levels",
    "trailing comma",
    "comments are not allowed",
    "out of memory",
    "unexpected end of line",
    "expected the end of the line",
    "unknown error",
};

}  // namespace

const char* problem_message_text(uint32_t message) {
    return MESSAGES[message < PROBLEM_MESSAGE_COUNT ? message : MSG_UNKNOWN];
}

uint32_t problem_count(const Document* doc) { return doc ? doc->problem_count : 0; }
uint32_t memory_problem_index(const Document* doc) { return doc ? doc->memory_problem_index : NO_NODE; }

void describe_problem(const Document* doc, uint32_t index, ProblemInfo* info) {
    const Problem& problem = doc->problems[index];
    std::memset(info, 0, sizeof *info);
    info->offset = problem.offset;
    info->line = doc->line_count ? line_of_offset(doc, problem.offset) + 1 : 1;
    info->column = column_of_offset(doc, problem.offset);
    info->node = problem.node;
    const char* message = problem_message_text(problem.message);
    size_t length = std::strlen(message);
    std::memcpy(info->message, message, length < 79 ? length : 79);
}

const ProblemInfo* problem_info(const Document* doc, uint32_t index) {
    if (!doc || index >= doc->problem_count) return nullptr;
    if (index == 0) return &doc->first_problem_info;
    uint32_t chunk = index / PROBLEM_INFO_CHUNK;
    if (chunk >= doc->problem_info_chunk_count) return nullptr;
    std::atomic_ref<ProblemInfo*> slot(doc->problem_info_chunks[chunk]);
    ProblemInfo* infos = slot.load(std::memory_order_acquire);
    if (!infos) {
        uint32_t first = chunk * PROBLEM_INFO_CHUNK;
        uint32_t count = doc->problem_count - first;
        if (count > PROBLEM_INFO_CHUNK) count = PROBLEM_INFO_CHUNK;
        ProblemInfo* built = mem_alloc_array<ProblemInfo>(count);
        if (!built) return nullptr;
        for (uint32_t i = 0; i < count; i++) describe_problem(doc, first + i, &built[i]);
        ProblemInfo* expected = nullptr;
        if (slot.compare_exchange_strong(expected, built, std::memory_order_acq_rel, std::memory_order_acquire)) {
            infos = built;
        } else {
            mem_free(built);  // another thread published first: use its copy
            infos = expected;
        }
    }
    return &infos[index % PROBLEM_INFO_CHUNK];
}

const char* problem_message_for(const Document* doc, NodeId id) {
    if (!doc || id >= doc->node_count) return nullptr;
    uint32_t offset = node_at(doc, id)->value_offset;
    uint32_t low = 0, high = doc->problem_count;
    while (low < high) {
        uint32_t mid = low + (high - low) / 2;
        if (doc->problems[mid].offset < offset) low = mid + 1;
        else high = mid;
    }
    for (uint32_t i = low; i < doc->problem_count; i++) {
        NodeId node = doc->problems[i].node;
        if (node == id) return problem_message_text(doc->problems[i].message);
        if (node != NO_NODE && node > id) break;
    }
    return nullptr;
}
