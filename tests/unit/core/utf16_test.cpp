#include "core/utf16.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf16, WellFormedOnlyWithWholeSurrogatePairs) {
    const uint16_t pair[] = {'a', 0xD83D, 0xDE00, 'b'};
    EXPECT_TRUE(utf16_well_formed(pair, 4));
    EXPECT_TRUE(utf16_well_formed(pair, 0));
    EXPECT_FALSE(utf16_well_formed(pair, 2));  // the high half ends the text
    const uint16_t low_first[] = {0xDE00, 0xD83D};
    EXPECT_FALSE(utf16_well_formed(low_first, 2));
    const uint16_t two_highs[] = {0xD83D, 0xD83D, 0xDE00};
    EXPECT_FALSE(utf16_well_formed(two_highs, 3));
}

}  // namespace
