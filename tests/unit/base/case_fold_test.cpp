// Simple case folding from the generated table, checked against Unicode's own
// data where the machine has it, and the comparison built on it.
#include "base/case_fold.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

TEST(CaseFold, ScriptsBeyondLatin1) {
    const std::pair<uint32_t, uint32_t> folds[] = {
        {'A', 'a'},       {0x386, 0x3AC},   {0x1EA0, 0x1EA1}, {0x1C4, 0x1C6}, {0x1C5, 0x1C6}, {0x490, 0x491},
        {0x10400, 0x10428}, {0x1E9E, 0xDF}, {0x212A, 'k'},    {0x17F, 's'},   {0xDF, 0xDF},   {0x130, 0x130},
        {'a', 'a'},       {'1', '1'},       {0x10FFFF, 0x10FFFF},
    };
    for (const auto& [from, to] : folds) EXPECT_EQ(fold_case(from), to) << std::hex << from;
}

// Every code point against the C and S entries of the data file.
TEST(CaseFold, TableMatchesUnicodeData) {
    FILE* data = std::fopen("/usr/share/unicode/CaseFolding.txt", "r");
    if (!data) GTEST_SKIP() << "no CaseFolding.txt on this machine";
    std::map<uint32_t, uint32_t> expected;
    char line[512];
    while (std::fgets(line, sizeof line, data)) {
        unsigned code = 0, mapping = 0;
        char status = 0;
        if (std::sscanf(line, "%x; %c; %x;", &code, &status, &mapping) == 3 && (status == 'C' || status == 'S'))
            expected[code] = mapping;
    }
    std::fclose(data);
    ASSERT_GT(expected.size(), 1000u);
    uint32_t wrong = 0;
    for (uint32_t c = 0; c <= 0x10FFFF; c++) {
        auto found = expected.find(c);
        wrong += fold_case(c) != (found == expected.end() ? c : found->second);
    }
    EXPECT_EQ(wrong, 0u);
}

TEST(CaseFold, EqualWithoutCase) {
    EXPECT_TRUE(equal_without_case("C:\\\xCE\x86\xCE\xBB\xCF\x86\xCE\xB1/\xD2\x90.json", "c:\\\xCE\xAC\xCE\x9B\xCE\xA6\xCE\x91/\xD2\x91.JSON"));
    EXPECT_TRUE(equal_without_case("\xE1\xBA\xA0\xC7\x84", "\xE1\xBA\xA1\xC7\x86"));  // Vietnamese, Latin Extended-B
    EXPECT_FALSE(equal_without_case("a.json", "a.jso"));
    EXPECT_FALSE(equal_without_case("\xC3\x9F", "ss"));  // simple folding: one character stays one
    // A bad byte is itself, not the character of the same value.
    EXPECT_TRUE(equal_without_case("x\xFF", "X\xFF"));
    EXPECT_FALSE(equal_without_case("\xFF", "\xC3\xBF"));
}

}  // namespace
