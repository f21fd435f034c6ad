#include "base/bmp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bmp_reader.h"

namespace {

TEST(Bmp, RowsRunBottomUpInBlueGreenRedWithPaddedRows) {
    // Width 3: 9 bytes of pixels and 3 of padding per row.
    const std::vector<uint32_t> pixels = {0xFF0000, 0x00FF00, 0x0000FF,   // top row
                                          0x123456, 0xFBFBFA, 0xAB000000};  // the top byte is ignored
    BmpLayout layout;
    ASSERT_TRUE(bmp_layout(3, 2, &layout));
    EXPECT_EQ(layout.row_stride, 12u);
    EXPECT_EQ(layout.file_size, 54u + 24u);
    std::string file(layout.file_size, '\x55');
    write_bmp(pixels.data(), 3, 2, layout, reinterpret_cast<uint8_t*>(file.data()));

    BmpImage image;
    std::string error;
    ASSERT_TRUE(read_bmp(file, &image, &error)) << error;
    EXPECT_TRUE(image.bottom_up);
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < 3; x++) EXPECT_EQ(bmp_pixel(image, x, y), pixels[y * 3 + x] & 0xFFFFFF) << x << "," << y;
    // The first stored row is the bottom one, blue first; padding is zero.
    EXPECT_EQ(file.substr(54, 3), std::string("\x56\x34\x12", 3));
    EXPECT_EQ(file.substr(54 + 9, 3), std::string(3, '\0'));
    EXPECT_EQ(file.substr(54 + 12 + 9, 3), std::string(3, '\0'));
}

TEST(Bmp, LayoutRefusesEmptySizesAndFilesBeyondThe32BitSizeField) {
    BmpLayout layout;
    EXPECT_FALSE(bmp_layout(0, 10, &layout));
    EXPECT_FALSE(bmp_layout(10, -1, &layout));
    EXPECT_FALSE(bmp_layout(40000, 40000, &layout));
    // One row so wide that its stride only fits in 64-bit arithmetic: the last
    // width that still fits the size field, and the next one.
    ASSERT_TRUE(bmp_layout(1431655746, 1, &layout));
    EXPECT_EQ(layout.row_stride, 4294967240u);
    EXPECT_EQ(layout.file_size, 4294967294u);
    EXPECT_FALSE(bmp_layout(1431655747, 1, &layout));
}

}  // namespace
