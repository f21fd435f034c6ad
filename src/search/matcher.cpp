// Compiling a query, testing one Node's field, and finding the occurrences to
// mark on a row.
#include "search/matcher.h"

#include <cstring>
#include <new>

#include "base/memory.h"
#include "base/utf8.h"
#include "search/matcher_internal.h"

namespace {

const char OUT_OF_MEMORY[] = "out of memory";
// Offsets of marks are u32, and the copy is followed by the padding.
constexpr uint64_t MOST_MARKED_BYTES = 0xFFFFFFFFull - MATCHER_PADDING;
// Texts shorter than this are copied on the stack.
constexpr uint64_t STACK_COPY = 1016;
// A replacement for bytes that do not begin a well-formed sequence, so that
// Oniguruma sees valid UTF-8 and every offset stays where it was.
constexpr uint8_t SUBSTITUTE = 0x1A;
const uint8_t NO_TEXT[MATCHER_PADDING + 1] = {};

// The size a buffer grows to when it must hold `length` bytes and the padding.
uint64_t roomy_size(uint64_t length) { return length + (length + MATCHER_PADDING) / 2 + 73; }

[[nodiscard]] bool reserve_scratch(SearchScratch* scratch, uint64_t length) {
    if (scratch->capacity >= length + MATCHER_PADDING) return true;
    uint64_t size = roomy_size(length);
    uint8_t* bytes = mem_realloc_array(scratch->bytes, size);
    if (!bytes) return false;
    scratch->bytes = bytes;
    scratch->capacity = size;
    return true;
}

void decode_field(const Document* doc, NodeId id, bool is_key, BoundedWriter* writer) {
    if (is_key) decode_key_into(doc, id, writer);
    else decode_value_into(doc, id, writer);
}

bool text_matches(const SearchState* state, const uint8_t* bytes, uint64_t length) {
    if (state->regex) return regex_search(state->compiled_regex, bytes, bytes + length, bytes, nullptr) >= 0;
    return find_plain(state, bytes, bytes + length).start != nullptr;
}

}  // namespace

void set_error(char* error, uint32_t error_size, const char* text, uint64_t length) {
    if (!error || error_size == 0) return;
    size_t cut = utf8_cut_point(reinterpret_cast<const uint8_t*>(text), length,
                                length < error_size - 1 ? length : error_size - 1);
    std::memcpy(error, text, cut);
    error[cut] = 0;
}

SearchState* compile_search(Document* doc, const uint8_t* query, uint64_t query_length,
                            const SearchOptions* options, char* error, uint32_t error_size) {
    set_error(error, error_size, "", 0);
    if (!query || query_length == 0) return nullptr;
    SearchOptions chosen = options ? *options : SearchOptions{0, 0, 0, 0};
    void* memory = mem_alloc_zeroed(sizeof(SearchState));
    if (!memory) {
        set_error(error, error_size, OUT_OF_MEMORY, sizeof OUT_OF_MEMORY - 1);
        return nullptr;
    }
    SearchState* state = new (memory) SearchState{};
    state->match_case = chosen.match_case ? 1 : 0;
    state->regex = chosen.regex ? 1 : 0;
    state->keys = chosen.scope != static_cast<uint8_t>(SearchScope::Values);
    state->values = chosen.scope != static_cast<uint8_t>(SearchScope::Keys);
    state->limit = chosen.limit ? chosen.limit : DEFAULT_MATCH_LIMIT;
    uint32_t most = state->limit < node_count(doc) ? state->limit : node_count(doc);
    state->block_count = most ? (most - 1) / MATCH_BLOCK_SIZE + 1 : 1;
    state->match_blocks = static_cast<NodeId**>(mem_alloc_zeroed(uint64_t{state->block_count} * sizeof(NodeId*)));
    bool ready = state->match_blocks && (state->regex || prepare_plain_needle(state, query, query_length));
    if (!ready) {
        set_error(error, error_size, OUT_OF_MEMORY, sizeof OUT_OF_MEMORY - 1);
        release_search(state);
        return nullptr;
    }
    if (state->regex) {
        state->compiled_regex = compile_regex(query, query_length, !state->match_case, error, error_size);
        if (!state->compiled_regex) {
            release_search(state);
            return nullptr;
        }
    }
    state->document = retain(doc);
    return state;
}

void release_search(SearchState* state) {
    if (!state) return;
    if (state->match_blocks) {
        for (uint32_t i = 0; i < state->block_count; i++) mem_free(state->match_blocks[i]);
    }
    mem_free(state->match_blocks);
    mem_free(state->needle);
    free_regex(state->compiled_regex);
    mem_free(state->scratch.bytes);
    release(state->document);
    state->~SearchState();
    mem_free(state);
}

TextSlice field_source(const Document* doc, NodeId id, const Node* node, bool is_key) {
    if (is_key) return key_text(doc, id);
    uint32_t length = node_count_field(doc, id);
    const uint8_t* bytes = doc->text + node->value_offset;
    if (static_cast<NodeKind>(node->packed & NodePacked::KindMask) != NodeKind::String) {
        return TextSlice{bytes, length, false};
    }
    bool escaped = (node_flags(doc, id) & NodeFlags::ValueEscaped) != 0;
    return TextSlice{bytes + 1, length >= 2 ? length - 2 : 0, escaped};  // the text between the quotes
}

int field_matches(SearchState* state, SearchScratch* scratch, NodeId id, const Node* node, bool is_key) {
    if (!state || !scratch || !node || id >= node_count(state->document)) return 0;
    const Document* doc = state->document;
    if (is_key ? !state->keys || node->key_offset == NO_NODE
               : !state->values || is_container_kind(static_cast<NodeKind>(node->packed & NodePacked::KindMask))) {
        return 0;
    }
    TextSlice slice = field_source(doc, id, node, is_key);
    const uint8_t* bytes = slice.bytes ? slice.bytes : NO_TEXT;
    uint64_t length = slice.length;
    bool escaped = slice.escaped;
    // Plain mode matches in the source itself; only escapes (and, for
    // Oniguruma, bytes that are not UTF-8) need the decoded form.
    if (escaped || (state->regex && !utf8_is_valid(bytes, length))) {
        // Straight into the scratch buffer: only a field longer than any
        // before it is decoded a second time, into a larger buffer.
        uint64_t room = scratch->bytes ? scratch->capacity - MATCHER_PADDING + 1 : 0;
        BoundedWriter writer = bounded_writer(scratch->bytes, room);
        decode_field(doc, id, is_key, &writer);
        if (!scratch->bytes || writer.written < writer.total) {
            if (!reserve_scratch(scratch, writer.total)) return -1;
            writer = bounded_writer(scratch->bytes, writer.total + 1);
            decode_field(doc, id, is_key, &writer);
        }
        std::memset(scratch->bytes + writer.written, 0, MATCHER_PADDING);
        bytes = scratch->bytes;
        length = writer.written;
    }
    return text_matches(state, bytes, length) ? 1 : 0;
}

uint32_t find_marks(const SearchState* state, const uint8_t* text, uint64_t length, bool is_key, uint32_t* starts,
                    uint32_t* lengths, uint32_t max) {
    if (!state || !(is_key ? state->keys : state->values)) return 0;
    if (length > MOST_MARKED_BYTES) length = MOST_MARKED_BYTES;
    uint8_t on_stack[STACK_COPY + MATCHER_PADDING];
    uint8_t* copy = on_stack;
    if (length >= STACK_COPY) {
        copy = mem_alloc_array<uint8_t>(roomy_size(length));
        if (!copy) return 0;
    }
    if (length) std::memcpy(copy, text, length);
    std::memset(copy + length, 0, MATCHER_PADDING);
    const uint8_t* end = copy + length;

    uint32_t count = 0;
    auto record = [&](uint64_t start, uint64_t stop) {
        if (starts && lengths && count < max) {
            starts[count] = static_cast<uint32_t>(start);
            lengths[count] = static_cast<uint32_t>(stop - start);
        }
        count++;
    };
    if (!state->regex) {
        for (PlainMatch match = find_plain(state, copy, end); match.start; match = find_plain(state, match.end, end)) {
            record(match.start - copy, match.end - copy);
        }
    } else {
        for (uint8_t* p = copy; p < end;) {
            uint32_t sequence = utf8_sequence_length(p, end);
            if (!sequence) *p = SUBSTITUTE;
            p += sequence ? sequence : 1;
        }
        for (uint64_t position = 0;;) {
            uint64_t stop = 0;
            int64_t at = regex_search(state->compiled_regex, copy, end, copy + position, &stop);
            if (at < 0) break;
            uint64_t start = static_cast<uint64_t>(at);
            if (stop > start) {
                record(start, stop);
                position = stop;
            } else {  // an empty match is skipped: go on one character later
                if (start >= length) break;
                position = start + utf8_sequence_length(copy + start, end);
                if (position >= length) break;
            }
        }
    }
    if (copy != on_stack) mem_free(copy);
    return count;
}
