#pragma once

#include <cstdint>

// Text out, with the snprintf contract: stores at most capacity - 1 bytes and a
// terminating zero, counts everything. An append that does not fit stores the
// longest prefix that fits without splitting a UTF-8 sequence, then sets full;
// nothing is stored after that, but the total keeps counting.
struct BoundedWriter {
    uint8_t* buffer;  // may be absent: measure only
    uint64_t capacity;
    uint64_t written;
    uint64_t total;
    bool full;
};

BoundedWriter bounded_writer(void* buffer, uint64_t capacity);
void bw_append(BoundedWriter* writer, const uint8_t* bytes, uint64_t length);
// Stores all of `bytes` or, when they do not fit, none of them (then sets
// full): for a piece that means nothing when cut, such as an escape.
void bw_append_whole(BoundedWriter* writer, const uint8_t* bytes, uint64_t length);
