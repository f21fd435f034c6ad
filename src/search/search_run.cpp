// The search run: one pass over the node table, appending matches to blocks
// that never move, so that a reader on another thread needs no lock.
#include "search/search_run.h"

#include "base/memory.h"
#include "search/matcher_internal.h"

namespace {

constexpr uint32_t NODES_PER_BATCH = 1000000;
constexpr uint64_t PROGRESS_BYTES = 0x1000000;

enum class BatchEnd { Done, LimitReached, Cancelled, OutOfMemory };

// Plain mode keeps one forward scan of the source text for candidate
// positions. The first candidate in [from, limit) is remembered, so every
// field that ends before it is passed over without touching its bytes.
struct CandidateScan {
    const uint8_t* from;
    const uint8_t* limit;
    const uint8_t* candidate;  // `limit` when there is none
};

struct Run {
    SearchState* state;
    const Document* doc;
    const ProgressContext* progress;
    const uint8_t* text_end;
    CandidateScan scan;
};

// The first candidate at or after `start` that can begin a match ending by
// `limit`; `limit` or beyond when there is none.
const uint8_t* first_candidate(Run* run, const uint8_t* start, const uint8_t* limit) {
    CandidateScan& scan = run->scan;
    bool known = scan.from <= start && start <= scan.candidate && (scan.candidate < scan.limit || limit <= scan.limit);
    if (known) return scan.candidate;
    const uint8_t* found = find_candidate(run->state, start, limit);
    scan = CandidateScan{start, limit, found ? found : limit};
    return scan.candidate;
}

bool plain_found(const SearchState* state, const uint8_t* candidate, TextSlice field) {
    if (!field.bytes) return false;
    const uint8_t* start = candidate > field.bytes ? candidate : field.bytes;
    return find_plain(state, start, field.bytes + field.length).start != nullptr;
}

// 1 match, 0 none, -1 out of memory; fields with escapes are matched decoded.
int plain_node_matches(Run* run, NodeId id, const Node* node) {
    SearchState* state = run->state;
    const uint8_t* value_start = run->doc->text + node->value_offset;
    uint32_t packed = node->packed;
    uint32_t flags = (packed >> NodePacked::FlagShift) & NodePacked::FlagMask;
    if (state->keys && node->key_offset != NO_NODE) {
        if (flags & NodeFlags::KeyEscaped) {
            int matched = field_matches(state, &state->scratch, id, node, true);
            if (matched) return matched;
        } else {
            const uint8_t* key_start = run->doc->text + node->key_offset;
            const uint8_t* candidate = first_candidate(run, key_start, state->values ? run->text_end : value_start);
            if (candidate < value_start && plain_found(state, candidate, key_text(run->doc, id))) return 1;
        }
    }
    NodeKind node_kind = static_cast<NodeKind>(packed & NodePacked::KindMask);
    if (!state->values || is_container_kind(node_kind)) return 0;
    if (flags & NodeFlags::ValueEscaped) return field_matches(state, &state->scratch, id, node, false);
    uint32_t length = (packed & NodePacked::Large) ? large_value(run->doc, id) : packed >> NodePacked::CountShift;
    const uint8_t* candidate = first_candidate(run, value_start, run->text_end);
    if (candidate >= value_start + length) return 0;
    return plain_found(state, candidate, field_source(run->doc, id, node, false)) ? 1 : 0;
}

int regex_node_matches(SearchState* state, NodeId id, const Node* node) {
    int matched = field_matches(state, &state->scratch, id, node, true);
    return matched ? matched : field_matches(state, &state->scratch, id, node, false);
}

// Appends a match: the NodeId first, then the count with release ordering,
// which is what publishes it to readers.
[[nodiscard]] bool store_match(SearchState* state, NodeId id) {
    uint32_t count = state->match_count.load(std::memory_order_relaxed);
    NodeId* block;
    if (count % MATCH_BLOCK_SIZE == 0) {
        block = mem_alloc_array<NodeId>(MATCH_BLOCK_SIZE);
        if (!block) return false;
        state->match_blocks[count / MATCH_BLOCK_SIZE] = block;
    } else {
        block = state->match_blocks[count / MATCH_BLOCK_SIZE];
    }
    block[count % MATCH_BLOCK_SIZE] = id;
    state->match_count.store(count + 1, std::memory_order_release);
    return true;
}

// Visits [*id, end), stopping early at the first Node whose value lies at or
// past `threshold`; *id is left at the first Node not visited. All of them lie
// in one node chunk.
BatchEnd visit_batch(Run* run, NodeId* id, NodeId end, uint64_t threshold) {
    SearchState* state = run->state;
    const Node* chunk = run->doc->node_chunks[*id >> NODE_CHUNK_SHIFT];
    bool regex = state->regex;
    for (NodeId at = *id; at < end; at++) {
        const Node* node = chunk + (at & (NODE_CHUNK_SIZE - 1));
        if (node->value_offset >= threshold) {
            *id = at;
            return BatchEnd::Done;
        }
        int matched;
        if (regex) {
            if (progress_cancelled(run->progress)) return BatchEnd::Cancelled;
            matched = regex_node_matches(state, at, node);
        } else {
            matched = plain_node_matches(run, at, node);
        }
        if (matched == 0) continue;
        if (matched < 0 || !store_match(state, at)) return BatchEnd::OutOfMemory;
        if (state->match_count.load(std::memory_order_relaxed) >= state->limit) {
            state->limit_reached.store(1, std::memory_order_release);
            return BatchEnd::LimitReached;
        }
    }
    *id = end;
    return BatchEnd::Done;
}

// Reports progress, then answers whether the run may go on: a cancel that
// arrives while the report is handled is seen at once.
bool report_progress(const ProgressContext* progress, uint64_t done, uint64_t total) {
    return progress_point(progress, done, total) && !progress_cancelled(progress);
}

uint32_t stop(SearchState* state, uint32_t status) {
    state->run_status = status;
    return status;
}

uint32_t finish(SearchState* state, const ProgressContext* progress) {
    uint32_t length = text_length(state->document);
    if (!report_progress(progress, length, length)) return stop(state, SEARCH_CANCELLED);
    state->finished.store(1, std::memory_order_release);
    return stop(state, SEARCH_FINISHED);
}

// The end of the batch that starts at `id`: the next multiple of a million
// Nodes, the end of the node chunk, or the node count, whichever is first.
NodeId batch_end(NodeId id, uint32_t count) {
    uint64_t end = uint64_t{id} - id % NODES_PER_BATCH + NODES_PER_BATCH;
    uint64_t chunk_end = (uint64_t{id} | (NODE_CHUNK_SIZE - 1)) + 1;
    if (chunk_end < end) end = chunk_end;
    return end < count ? static_cast<NodeId>(end) : count;
}

}  // namespace

uint32_t run_search(SearchState* state, const ProgressContext* progress) {
    if (!state) return SEARCH_FINISHED;
    if (state->started) return state->run_status;
    state->started = 1;
    if (progress_cancelled(progress)) return stop(state, SEARCH_CANCELLED);
    const Document* doc = state->document;
    uint32_t length = text_length(doc);
    const uint8_t* text_end = doc->text + length;
    Run run{state, doc, progress, text_end, CandidateScan{text_end, text_end, text_end}};
    uint32_t count = node_count(doc);
    uint64_t threshold = PROGRESS_BYTES;  // 64 bits: the last threshold lies past 4 GB
    for (NodeId id = 0; id < count;) {
        switch (visit_batch(&run, &id, batch_end(id, count), threshold)) {
        case BatchEnd::Done: break;
        case BatchEnd::LimitReached: return finish(state, progress);
        case BatchEnd::Cancelled: return stop(state, SEARCH_CANCELLED);
        case BatchEnd::OutOfMemory: return stop(state, SEARCH_OUT_OF_MEMORY);
        }
        if (id == count) break;
        uint32_t offset = node_at(doc, id)->value_offset;
        if (id % NODES_PER_BATCH != 0 && offset < threshold) continue;
        if (!report_progress(progress, offset, length)) return stop(state, SEARCH_CANCELLED);
        threshold = uint64_t{offset} + PROGRESS_BYTES;
    }
    return finish(state, progress);
}
