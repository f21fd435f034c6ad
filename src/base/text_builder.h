// TextBuilder: UTF-8 text built piece by piece, into memory it grows itself or
// into a caller's fixed buffer, with an optional cap on its length.
//
// A builder that fails (no memory, or a fixed buffer too small) stores nothing
// more; one that reaches its cap is cut there (never inside a UTF-8 sequence)
// and stores nothing more either. Callers check `failed` and `truncated` once,
// at the end, instead of after every append.
#pragma once

#include <cstdint>

constexpr uint64_t TB_NO_CAP = ~0ull;

struct TextBuilder {
    uint8_t* data;         // zero-terminated once anything has been stored
    uint64_t length;       // bytes of text (in measure-only mode: bytes counted)
    uint64_t capacity;     // bytes allocated, or the size of the fixed buffer
    uint64_t cap;          // largest length allowed; TB_NO_CAP for none
    uint8_t fixed;         // data is the caller's buffer and is never reallocated
    uint8_t measure_only;  // count lengths, store nothing
    uint8_t failed;
    uint8_t truncated;
};

// A builder that allocates through mem_alloc; release it with tb_free. Its
// data may instead be taken over by the caller (then freed with mem_free).
TextBuilder tb_growable(uint64_t cap = TB_NO_CAP);
// A builder over the caller's buffer of `size` bytes (it gets a zero byte at
// once, so an untouched builder reads as an empty text).
TextBuilder tb_fixed(void* buffer, uint64_t size);
TextBuilder tb_measuring();
void tb_free(TextBuilder* builder);

// Makes room for length + extra + 1 bytes; false (and failed set) when that
// cannot be had.
[[nodiscard]] bool tb_reserve(TextBuilder* builder, uint64_t extra);
void tb_append(TextBuilder* builder, const void* bytes, uint64_t n);
void tb_append_text(TextBuilder* builder, const char* text);
void tb_append_spaces(TextBuilder* builder, uint64_t n);
// Appends text with every byte that does not begin a well-formed UTF-8
// sequence replaced by U+FFFD.
void tb_append_repaired(TextBuilder* builder, const uint8_t* bytes, uint64_t n);

// Copies text into buffer[size] with the snprintf contract, cutting before a
// UTF-8 sequence rather than inside it; returns the full length.
uint64_t copy_out(const void* text, uint64_t length, void* buffer, uint64_t size);
// The builder's text through copy_out; empty when it failed.
uint64_t tb_copy_out(const TextBuilder* builder, void* buffer, uint64_t size);
