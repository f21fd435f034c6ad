// The code font's zoom: one step bigger or smaller within 9 to 24 points,
// starting from the effective size, or back to the default.
#pragma once

#include <cstdint>

#include "files/settings.h"

// Step +1 or -1 changes the stored size from the effective one, clamped;
// step 0 stores 0, which every reader takes as the default. The effective
// size afterwards.
int32_t zoom_font_size(Settings* settings, int32_t step);
