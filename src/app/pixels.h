// Screen lengths. Sizes are designed at 96 DPI; a window at another DPI
// multiplies them by its scale s = DPI / 96. Every function here takes plain
// numbers, so that the Win32 program's layout decisions are tested natively.
#pragma once

#include <cmath>
#include <cstdint>

struct PixelRect {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

struct PixelPoint {
    int32_t x;
    int32_t y;
};

// A half-open range [left, right) of x positions; empty when right <= left.
struct XRange {
    float left;
    float right;
};

inline bool x_in_range(XRange range, float x) { return x >= range.left && x < range.right; }

// A value held in 64 bits, brought into the range of int32_t.
inline int32_t clamp_to_i32(int64_t value) {
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// floor(length * s + 0.5): a 96-DPI length in device pixels.
inline int32_t scaled_pixels(double length, float scale) {
    double pixels = std::floor(length * scale + 0.5);
    if (std::isnan(pixels)) return 0;
    if (pixels < INT32_MIN) return INT32_MIN;
    if (pixels > INT32_MAX) return INT32_MAX;
    return static_cast<int32_t>(pixels);
}
