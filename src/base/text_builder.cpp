#include "base/text_builder.h"

#include <cstring>

#include "base/memory.h"
#include "base/utf8.h"

namespace {

constexpr uint64_t LARGEST_REQUEST = 1ull << 62;
const char SPACES[] = "                                                                ";
constexpr uint64_t SPACES_PIECE = sizeof SPACES - 1;
static_assert(SPACES_PIECE == 64);

bool stopped(const TextBuilder* builder) { return builder->failed || builder->truncated; }

}  // namespace

TextBuilder tb_growable(uint64_t cap) { return TextBuilder{nullptr, 0, 0, cap, 0, 0, 0, 0}; }

TextBuilder tb_fixed(void* buffer, uint64_t size) {
    TextBuilder builder{static_cast<uint8_t*>(buffer), 0, buffer ? size : 0, TB_NO_CAP, 1, 0, 0, 0};
    if (builder.capacity > 0) builder.data[0] = 0;
    return builder;
}

TextBuilder tb_measuring() { return TextBuilder{nullptr, 0, 0, TB_NO_CAP, 0, 1, 0, 0}; }

void tb_free(TextBuilder* builder) {
    if (!builder->fixed) mem_free(builder->data);
    builder->data = nullptr;
    builder->capacity = 0;
}

bool tb_reserve(TextBuilder* builder, uint64_t extra) {
    if (builder->failed) return false;
    if (builder->measure_only) return true;
    if (extra >= LARGEST_REQUEST - 1 - builder->length) {
        builder->failed = 1;
        return false;
    }
    uint64_t needed = builder->length + extra + 1;
    if (needed <= builder->capacity) return true;
    if (builder->fixed) {
        builder->failed = 1;
        return false;
    }
    uint64_t grown = builder->capacity;
    if (grown == 0) grown = needed <= 256 ? 256 : 512;
    while (grown < needed) grown *= 2;
    uint8_t* data = mem_realloc_array(builder->data, grown);
    if (!data) {
        builder->failed = 1;
        return false;
    }
    builder->data = data;
    builder->capacity = grown;
    return true;
}

void tb_append(TextBuilder* builder, const void* bytes, uint64_t n) {
    if (stopped(builder)) return;
    if (builder->measure_only) {
        builder->length += n;
        return;
    }
    if (n > builder->cap - builder->length) {
        // Cut at the cap, but never inside a character: the text must stay
        // UTF-8 whatever comes after it.
        n = utf8_cut_point(static_cast<const uint8_t*>(bytes), n, builder->cap - builder->length);
        builder->truncated = 1;
    }
    if (n == 0 || !tb_reserve(builder, n)) return;
    std::memcpy(builder->data + builder->length, bytes, n);
    builder->length += n;
    builder->data[builder->length] = 0;
}

void tb_append_text(TextBuilder* builder, const char* text) { tb_append(builder, text, std::strlen(text)); }

void tb_append_spaces(TextBuilder* builder, uint64_t n) {
    while (n > 0 && !stopped(builder)) {
        uint64_t piece = n < SPACES_PIECE ? n : SPACES_PIECE;
        tb_append(builder, SPACES, piece);
        n -= piece;
    }
}

void tb_append_repaired(TextBuilder* builder, const uint8_t* bytes, uint64_t n) {
    static const uint8_t REPLACEMENT[3] = {0xEF, 0xBF, 0xBD};
    const uint8_t* p = bytes;
    const uint8_t* end = bytes + n;
    while (p < end && !stopped(builder)) {
        // Well-formed text goes in one piece, up to the next bad byte.
        const uint8_t* run = p;
        while (p < end) {
            if (end - p >= 8 && utf8_eight_ascii(p)) {
                p += 8;
                continue;
            }
            uint32_t length = utf8_sequence_length(p, end);
            if (length == 0) break;
            p += length;
        }
        tb_append(builder, run, static_cast<uint64_t>(p - run));
        if (p < end) {
            tb_append(builder, REPLACEMENT, 3);
            p++;
        }
    }
}

uint64_t copy_out(const void* text, uint64_t length, void* buffer, uint64_t size) {
    if (!buffer || size == 0) return length;
    uint64_t take = length;
    if (take > size - 1) take = utf8_cut_point(static_cast<const uint8_t*>(text), length, size - 1);
    if (take > 0) std::memcpy(buffer, text, take);
    static_cast<uint8_t*>(buffer)[take] = 0;
    return length;
}

uint64_t tb_copy_out(const TextBuilder* builder, void* buffer, uint64_t size) {
    if (builder->failed || !builder->data) return copy_out("", 0, buffer, size);
    return copy_out(builder->data, builder->length, buffer, size);
}
