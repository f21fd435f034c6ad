#include "bmp_reader.h"

#include <fstream>
#include <sstream>

namespace {

uint32_t get16(const std::string& b, size_t at) {
    return static_cast<uint8_t>(b[at]) | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8;
}

uint32_t get32(const std::string& b, size_t at) { return get16(b, at) | get16(b, at + 2) << 16; }

bool fail(std::string* error, const char* reason) {
    *error = reason;
    return false;
}

}  // namespace

bool read_bmp(const std::string& bytes, BmpImage* image, std::string* error) {
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return fail(error, "no BMP header");
    if (get32(bytes, 2) != bytes.size()) return fail(error, "file size field differs from the file");
    if (get32(bytes, 14) != 40) return fail(error, "not a 40-byte info header");
    if (get16(bytes, 26) != 1 || get16(bytes, 28) != 24 || get32(bytes, 30) != 0)
        return fail(error, "not 24-bit uncompressed");
    int32_t width = static_cast<int32_t>(get32(bytes, 18));
    int32_t height = static_cast<int32_t>(get32(bytes, 22));
    if (width <= 0 || height == 0 || height == INT32_MIN) return fail(error, "bad size");
    uint64_t offset = get32(bytes, 10);
    uint64_t stride = (static_cast<uint64_t>(width) * 3 + 3) & ~uint64_t{3};
    uint64_t rows = height < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(height)) : static_cast<uint64_t>(height);
    if (offset + stride * rows > bytes.size()) return fail(error, "pixel rows run past the end");
    image->width = width;
    image->height = static_cast<int32_t>(rows);
    image->bytes = bytes.substr(offset);
    image->stride = stride;
    image->bottom_up = height > 0;
    return true;
}

bool read_bmp_file(const std::string& path, BmpImage* image, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail(error, "cannot open the file");
    std::stringstream content;
    content << in.rdbuf();
    return read_bmp(content.str(), image, error);
}

uint32_t bmp_pixel(const BmpImage& image, int32_t x, int32_t y) {
    uint64_t row = image.bottom_up ? static_cast<uint64_t>(image.height - 1 - y) : static_cast<uint64_t>(y);
    size_t at = static_cast<size_t>(row * image.stride + static_cast<uint64_t>(x) * 3);
    auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(image.bytes[at + i])); };
    return byte(2) << 16 | byte(1) << 8 | byte(0);
}
