// The two fixed colour palettes every painted window draws with, and the
// colour each run style of a row is drawn in.
#pragma once

#include <cstdint>

#include "views/row_paint.h"

constexpr uint32_t PALETTE_SIZE = 18;

namespace Colour {
constexpr uint32_t ViewBackground = 0;
constexpr uint32_t BarBackground = 1;
constexpr uint32_t Border = 2;
constexpr uint32_t IndentGuide = 3;
constexpr uint32_t Text = 4;
constexpr uint32_t SecondaryText = 5;
constexpr uint32_t FaintText = 6;
constexpr uint32_t Accent = 7;
constexpr uint32_t Selection = 13;
constexpr uint32_t Match = 14;
constexpr uint32_t CurrentMatch = 15;
constexpr uint32_t Error = 16;
constexpr uint32_t ErrorBar = 17;
}  // namespace Colour

// 0xRRGGBB of a palette index in the light or the dark palette; 0 (black) for
// an index that does not exist.
uint32_t palette_rgb(uint32_t index, bool dark);

// The palette index a run is drawn in; Plain and unknown styles take the
// default text colour.
uint32_t run_style_colour(RunStyle style);
