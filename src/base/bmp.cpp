#include "base/bmp.h"

#include <cstring>

namespace {

void put16(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void put32(uint8_t* at, uint32_t value) {
    put16(at, value & 0xFFFF);
    put16(at + 2, value >> 16);
}

}  // namespace

bool bmp_layout(int32_t width, int32_t height, BmpLayout* layout) {
    if (width <= 0 || height <= 0) return false;
    uint64_t stride = (static_cast<uint64_t>(width) * 3 + 3) & ~uint64_t{3};
    uint64_t size = BMP_HEADER_SIZE + stride * static_cast<uint64_t>(height);
    if (size > UINT32_MAX) return false;
    *layout = {stride, size};
    return true;
}

void write_bmp(const uint32_t* pixels, int32_t width, int32_t height, const BmpLayout& layout, uint8_t* out) {
    std::memset(out, 0, BMP_HEADER_SIZE);
    out[0] = 'B';
    out[1] = 'M';
    put32(out + 2, static_cast<uint32_t>(layout.file_size));
    put32(out + 10, BMP_HEADER_SIZE);
    put32(out + 14, 40);
    put32(out + 18, static_cast<uint32_t>(width));
    put32(out + 22, static_cast<uint32_t>(height));  // positive: rows run bottom-up
    put16(out + 26, 1);                              // planes
    put16(out + 28, 24);                             // bits per pixel
    put32(out + 34, static_cast<uint32_t>(layout.file_size - BMP_HEADER_SIZE));
    uint64_t row_bytes = static_cast<uint64_t>(width) * 3;
    for (int32_t y = 0; y < height; y++) {
        const uint32_t* source = pixels + static_cast<uint64_t>(height - 1 - y) * static_cast<uint64_t>(width);
        uint8_t* row = out + BMP_HEADER_SIZE + static_cast<uint64_t>(y) * layout.row_stride;
        for (int32_t x = 0; x < width; x++) {
            uint32_t rgb = source[x];
            row[3 * x] = static_cast<uint8_t>(rgb);
            row[3 * x + 1] = static_cast<uint8_t>(rgb >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(rgb >> 16);
        }
        std::memset(row + row_bytes, 0, layout.row_stride - row_bytes);
    }
}
