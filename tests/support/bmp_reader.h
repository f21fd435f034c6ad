// Reads the uncompressed 24-bit BMP files screenshots are saved as, for pixel
// checks in tests.
#pragma once

#include <cstdint>
#include <string>

struct BmpImage {
    int32_t width = 0;
    int32_t height = 0;
    std::string bytes;  // the whole file
    uint64_t stride = 0;
    bool bottom_up = true;
};

// False (with the reason in `error`) for anything but a well-formed 24-bit,
// uncompressed BMP whose rows all lie inside the file.
bool read_bmp(const std::string& bytes, BmpImage* image, std::string* error);
bool read_bmp_file(const std::string& path, BmpImage* image, std::string* error);

// 0xRRGGBB of the pixel (x, y), y counted from the top; x and y in range.
uint32_t bmp_pixel(const BmpImage& image, int32_t x, int32_t y);
