#include "base/bounded_writer.h"

#include <cstring>

#include "base/utf8.h"

namespace {

void append_bounded(BoundedWriter* writer, const uint8_t* bytes, uint64_t length, bool whole) {
    writer->total += length;
    if (writer->full || length == 0) return;
    if (!writer->buffer || writer->capacity == 0) {
        writer->full = true;
        return;
    }
    uint64_t room = writer->capacity - 1 - writer->written;
    uint64_t take = length;
    if (length > room) {
        take = whole ? 0 : utf8_cut_point(bytes, length, room);
        writer->full = true;
    }
    std::memcpy(writer->buffer + writer->written, bytes, take);
    writer->written += take;
    writer->buffer[writer->written] = 0;
}

}  // namespace

BoundedWriter bounded_writer(void* buffer, uint64_t capacity) {
    BoundedWriter writer{static_cast<uint8_t*>(buffer), buffer ? capacity : 0, 0, 0, false};
    if (writer.buffer && writer.capacity > 0) writer.buffer[0] = 0;
    return writer;
}

void bw_append(BoundedWriter* writer, const uint8_t* bytes, uint64_t length) {
    append_bounded(writer, bytes, length, false);
}

void bw_append_whole(BoundedWriter* writer, const uint8_t* bytes, uint64_t length) {
    append_bounded(writer, bytes, length, true);
}
