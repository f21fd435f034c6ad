// Checks the UTF-8 rule against an independent reading of it: decode by bit
// pattern, then reject overlong forms, surrogates and values above U+10FFFF.
// The engine reads lead-byte ranges instead; the two must agree everywhere.
#include "base/utf8.h"

#include <cstdlib>
#include <vector>

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

// Length of the well-formed sequence at p, 0 when p holds a byte >= 0x80 that
// does not start one.
uint32_t reference_length(const uint8_t* p, const uint8_t* end) {
    uint8_t lead = p[0];
    if (lead < 0x80) return 1;
    uint32_t length;
    uint32_t cp;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (static_cast<size_t>(end - p) < length) return 0;
    for (uint32_t i = 1; i < length; i++) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    static const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < smallest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint8_t* end = data + size;

    // Walk the text by the reference rule. last_boundary[i] is the last place
    // at or before i where a cut splits no sequence; characters_before[i] is
    // the count up to that place.
    std::vector<size_t> last_boundary(size + 1);
    std::vector<uint64_t> characters_before(size + 1);
    uint64_t characters = 0;
    for (size_t at = 0; at < size;) {
        uint32_t length = reference_length(data + at, end);
        require(utf8_sequence_length(data + at, end) == length);
        if (size - at >= 8) {
            bool ascii = true;
            for (int i = 0; i < 8; i++) ascii = ascii && data[at + i] < 0x80;
            require(utf8_eight_ascii(data + at) == ascii);
        }
        size_t next = at + (length ? length : 1);
        for (size_t i = at; i < next; i++) {
            last_boundary[i] = at;
            characters_before[i] = characters;
        }
        at = next;
        characters++;
    }
    last_boundary[size] = size;
    characters_before[size] = characters;
    require(utf8_count_chars(data, size) == characters);

    for (size_t limit = 0; limit <= size; limit++) {
        require(utf8_cut_point(data, size, limit) == last_boundary[limit]);
    }
    // Counting from the middle of a text (the SWAR path starts anywhere):
    // the two halves of a cut add up to the whole.
    size_t limits[] = {size / 2, size > 0 ? size - 1 : 0, size > 0 ? data[0] % (size + 1) : 0};
    for (size_t limit : limits) {
        size_t cut = last_boundary[limit];
        require(utf8_count_chars(data, cut) == characters_before[cut]);
        require(utf8_count_chars(data + cut, size - cut) == characters - characters_before[cut]);
    }

    // Encoding any scalar value gives a sequence the rule accepts whole.
    if (size >= 3) {
        uint32_t cp = (uint32_t(data[0]) << 16 | uint32_t(data[1]) << 8 | data[2]) % 0x110000;
        if (cp < 0xD800 || cp > 0xDFFF) {
            uint8_t encoded[4];
            uint32_t length = utf8_encode(cp, encoded);
            require(length >= 1 && length <= 4);
            require(utf8_sequence_length(encoded, encoded + length) == length);
            require(reference_length(encoded, encoded + length) == length);
        }
    }
    return 0;
}
