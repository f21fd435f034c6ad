#include "describe/format.h"

#include <bit>
#include <cstring>

#include "base/memory.h"
#include "base/utf8.h"

namespace {

constexpr uint32_t TYPE_SUMMARY_BUILDER_SIZE = 128;
// "18,446,744,073,709,551,615.9 GB" and its zero byte fit with room to spare.
constexpr uint32_t SIZE_TEXT_SIZE = 48;

// Writes the grouped digits of value at the end of out[COUNT_TEXT_SIZE] and
// returns where they start.
char* grouped_digits(uint64_t value, char (&out)[COUNT_TEXT_SIZE]) {
    char* p = out + COUNT_TEXT_SIZE - 1;
    *p = 0;
    uint32_t digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0) *--p = ',';
        *--p = static_cast<char>('0' + value % 10);
        value /= 10;
        digits++;
    } while (value > 0);
    return p;
}

uint32_t size_text(uint64_t bytes, char (&out)[SIZE_TEXT_SIZE]) {
    TextBuilder builder = tb_fixed(out, sizeof out);
    append_formatted_size(&builder, bytes);
    return static_cast<uint32_t>(builder.length);
}

// Bytes that are not UTF-8 continuation bytes (10xxxxxx), 16 at a time. In
// each word, w & ~(w << 1) keeps bit 7 of a byte only when its bit 6 is clear:
// for "é" (C3 A9) it keeps A9's bit alone, so the pair counts once.
uint64_t count_lead_bytes(const uint8_t* p, uint64_t n) {
    constexpr uint64_t HIGH_BITS = 0x8080808080808080ull;
    uint64_t continuations = 0;
    uint64_t i = 0;
    for (; n - i >= 16; i += 16) {
        uint64_t a, b;
        std::memcpy(&a, p + i, 8);
        std::memcpy(&b, p + i + 8, 8);
        continuations += std::popcount(a & ~(a << 1) & HIGH_BITS) + std::popcount(b & ~(b << 1) & HIGH_BITS);
    }
    for (; i < n; i++) continuations += (p[i] & 0xC0) == 0x80;
    return n - continuations;
}

}  // namespace

uint32_t format_count(uint64_t value, void* buffer, uint64_t size) {
    char digits[COUNT_TEXT_SIZE];
    const char* text = grouped_digits(value, digits);
    return static_cast<uint32_t>(copy_out(text, std::strlen(text), buffer, size));
}

void append_formatted_count(TextBuilder* builder, uint64_t value) {
    char digits[COUNT_TEXT_SIZE];
    tb_append_text(builder, grouped_digits(value, digits));
}

void append_count(TextBuilder* builder, uint64_t value, const char* singular, const char* plural) {
    append_formatted_count(builder, value);
    tb_append(builder, " ", 1);
    tb_append_text(builder, value == 1 ? singular : plural);
}

void append_formatted_size(TextBuilder* builder, uint64_t bytes) {
    if (bytes < 1024) {
        append_count(builder, bytes, "byte", "bytes");
        return;
    }
    static const char* const UNITS[] = {" KB", " MB", " GB"};
    uint32_t unit = 0;
    uint64_t tenths_total;
    for (;;) {
        uint64_t divisor = 1ull << (10 * (unit + 1));
        uint64_t whole = bytes / divisor;
        uint64_t tenths = (divisor / 2 + (bytes % divisor) * 10) / divisor;
        tenths_total = whole * 10 + tenths;
        // A value that rounds to 1,024.0 reads better in the next unit.
        if (tenths_total < 10240 || unit == 2) break;
        unit++;
    }
    char fraction[2] = {static_cast<char>('0' + tenths_total % 10), 0};
    append_formatted_count(builder, tenths_total / 10);
    tb_append(builder, ".", 1);
    tb_append_text(builder, fraction);
    tb_append_text(builder, UNITS[unit]);
}

uint32_t format_size(uint64_t bytes, void* buffer, uint64_t size) {
    char text[SIZE_TEXT_SIZE];
    uint32_t length = size_text(bytes, text);
    return static_cast<uint32_t>(copy_out(text, length, buffer, size));
}

uint64_t string_character_count(const Document* doc, NodeId id) {
    if (kind(doc, id) != NodeKind::String) return 0;
    uint32_t length = value_length(doc, id);
    if (length < 2) return 0;
    if (!(node_flags(doc, id) & NodeFlags::ValueEscaped))
        return utf8_count_chars(text(doc) + value_offset(doc, id) + 1, length - 2);
    uint64_t decoded_length = copy_value(doc, id, nullptr, 0);
    uint8_t* decoded = decoded_length < ~0ull ? mem_alloc_array<uint8_t>(decoded_length + 1) : nullptr;
    if (!decoded) return 0;
    copy_value(doc, id, decoded, decoded_length + 1);
    uint64_t characters = count_lead_bytes(decoded, decoded_length);
    mem_free(decoded);
    return characters;
}

void append_type_summary(TextBuilder* builder, const Document* doc, NodeId id) {
    if (id >= node_count(doc)) return;
    switch (kind(doc, id)) {
    case NodeKind::Object:
        tb_append_text(builder, "object · ");
        append_count(builder, child_count(doc, id), "key", "keys");
        break;
    case NodeKind::Array:
        if (id == 0 && is_records(doc)) {
            tb_append_text(builder, "records · ");
            append_count(builder, child_count(doc, id), "record", "records");
        } else {
            tb_append_text(builder, "array · ");
            append_count(builder, child_count(doc, id), "item", "items");
        }
        break;
    case NodeKind::String:
        tb_append_text(builder, "string · ");
        append_count(builder, string_character_count(doc, id), "character", "characters");
        break;
    case NodeKind::Number: tb_append_text(builder, "number"); break;
    case NodeKind::True:
    case NodeKind::False: tb_append_text(builder, "boolean"); break;
    case NodeKind::Null: tb_append_text(builder, "null"); break;
    case NodeKind::Error: tb_append_text(builder, "error"); break;
    }
}

uint32_t type_summary(const Document* doc, NodeId id, void* buffer, uint64_t size) {
    char storage[TYPE_SUMMARY_BUILDER_SIZE];
    TextBuilder builder = tb_fixed(storage, sizeof storage);
    append_type_summary(&builder, doc, id);
    return static_cast<uint32_t>(tb_copy_out(&builder, buffer, size));
}
