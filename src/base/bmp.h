// Uncompressed 24-bit BMP files, as screenshots are saved: a 14-byte file
// header, a 40-byte info header, then the rows bottom-up, three bytes per
// pixel in blue, green, red order, each row padded to a multiple of 4 bytes.
#pragma once

#include <cstdint>

constexpr uint32_t BMP_HEADER_SIZE = 54;

struct BmpLayout {
    uint64_t row_stride;  // bytes per row, padding included
    uint64_t file_size;   // headers and pixel rows
};

// The layout of a width x height image. False when either is not positive or
// the file would not fit the header's 32-bit size field.
[[nodiscard]] bool bmp_layout(int32_t width, int32_t height, BmpLayout* layout);

// Writes the whole file into `out`, which holds the layout's file_size bytes.
// `pixels` are width x height values 0x00RRGGBB, top row first (as a 32-bit
// top-down screen capture gives them); the top byte is ignored.
void write_bmp(const uint32_t* pixels, int32_t width, int32_t height, const BmpLayout& layout, uint8_t* out);
