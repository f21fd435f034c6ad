// Proves that the regular-expression library is linked and works on UTF-8 in
// both builds (natively and in the Windows build run under Wine).
#include "oniguruma_probe.h"

#include <gtest/gtest.h>

namespace {

TEST(Oniguruma, CaseInsensitiveUtf8Search) {
    // "café+" against "Le CAFÉé est ouvert": É and é fold together.
    OnigProbe probe = onig_probe_search("caf\xC3\xA9+", "Le CAF\xC3\x89\xC3\xA9 est ouvert", true);
    ASSERT_EQ(probe.compile_code, 0);
    EXPECT_EQ(probe.match_start, 3);
    EXPECT_EQ(probe.match_end, 3 + 7);
    EXPECT_LT(onig_probe_search("caf\xC3\xA9", "CAF\xC3\x89", false).match_start, 0);
}

TEST(Oniguruma, CompileErrorHasText) {
    OnigProbe probe = onig_probe_search("(a", "a", false);
    EXPECT_NE(probe.compile_code, 0);
    EXPECT_GT(probe.error_length, 0);
}

}  // namespace
