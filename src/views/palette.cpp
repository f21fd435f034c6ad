#include "views/palette.h"

namespace {

const uint32_t LIGHT[PALETTE_SIZE] = {
    0xFBFBFA, 0xF2F2F0, 0xDEDEDA, 0xE8E8E5, 0x1F2328, 0x6A737D, 0xA0A6AD, 0x0B57D0, 0x1E7A34,
    0xA3500B, 0x7A3EC8, 0x6A737D, 0x8A9099, 0xDCE8FA, 0xFCE7A6, 0xF6C744, 0xC62828, 0xFDECEA,
};
const uint32_t DARK[PALETTE_SIZE] = {
    0x1D1F22, 0x24272B, 0x33373C, 0x2C3035, 0xD9DCE0, 0x8B929A, 0x5C636B, 0x82AAFF, 0xA8D5A2,
    0xF2B872, 0xC3A6FF, 0x8B929A, 0x6B727A, 0x2B3F5C, 0x5C4A1F, 0x8C6A1A, 0xFF8A80, 0x3B2325,
};

// Indexed by RunStyle.
const uint8_t STYLE_COLOUR[RUN_STYLE_COUNT] = {4, 7, 5, 8, 9, 10, 11, 12, 5, 5, 5, 16};

}  // namespace

uint32_t palette_rgb(uint32_t index, bool dark) {
    if (index >= PALETTE_SIZE) return 0;
    return dark ? DARK[index] : LIGHT[index];
}

uint32_t run_style_colour(RunStyle style) {
    uint32_t value = static_cast<uint32_t>(style);
    return value < RUN_STYLE_COUNT ? STYLE_COLOUR[value] : Colour::Text;
}
