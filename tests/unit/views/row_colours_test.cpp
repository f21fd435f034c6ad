#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "views/palette.h"
#include "views/row_units.h"

namespace {

struct RowUnitsOwner {
    RowUnits row{};
    ~RowUnitsOwner() { release_row_units(&row); }
};

std::u16string units_of(const RowUnits& row, uint32_t start, uint32_t end) {
    return std::u16string(reinterpret_cast<const char16_t*>(row.units) + start, end - start);
}

std::u16string convert(RowUnitsOwner* owner, const std::string& text) {
    EXPECT_TRUE(convert_row_units(&owner->row, reinterpret_cast<const uint8_t*>(text.data()),
                                  static_cast<uint32_t>(text.size())));
    return units_of(owner->row, 0, owner->row.unit_count);
}

TEST(RowUnits, DecodesWellFormedTextAndReplacesBadBytes) {
    const std::pair<std::string, std::u16string> cases[] = {
        {"a\xC3\xA9\xE2\x82\xAC", u"a\u00E9\u20AC"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},  // a surrogate pair
        // One U+FFFD per bad byte: stray continuation, C0, F5, a cut sequence.
        {"\x80\xC0\xF5", u"\uFFFD\uFFFD\uFFFD"},
        {"\xE2\x82", u"\uFFFD\uFFFD"},
        {"\xC3" "A", u"\uFFFDA"},
        // A three- or four-byte shape with an overlong, surrogate or too large
        // value is one U+FFFD for the whole shape.
        {"\xE0\x80\x80" "b", u"\uFFFDb"},
        {"\xED\xA0\x80" "b", u"\uFFFDb"},
        {"\xF4\x90\x80\x80" "b", u"\uFFFDb"},
        {"\xF0\x80\x80\x80" "b", u"\uFFFDb"},
    };
    for (const auto& [text, expected] : cases) {
        RowUnitsOwner owner;
        EXPECT_EQ(convert(&owner, text), expected) << text;
        EXPECT_EQ(owner.row.unit_of_byte[text.size()], expected.size()) << "the end entry";
    }
}

TEST(RowUnits, EveryByteMapsToTheFirstUnitOfItsSequence) {
    RowUnitsOwner owner;
    convert(&owner, "\xF0\x9F\x98\x80x\xC3\xA9\xFF");
    const std::vector<uint32_t> expected = {0, 0, 0, 0, 2, 3, 3, 4, 5};
    EXPECT_EQ(std::vector<uint32_t>(owner.row.unit_of_byte, owner.row.unit_of_byte + 9), expected);
}

TEST(RowUnits, BadBytesDoNotShiftTheColoursOfLaterRuns) {
    RowPaint paint = row_paint();
    const std::string key = "k\xFF\xFE\xE2\x82";  // three bad bytes and a cut sequence
    const std::string value = "\"\xE2\x82\xAC\"";
    ASSERT_TRUE(append_run(&paint, reinterpret_cast<const uint8_t*>(key.data()), key.size(), RunStyle::Key));
    ASSERT_TRUE(append_run(&paint, reinterpret_cast<const uint8_t*>(": "), 2, RunStyle::Punctuation));
    ASSERT_TRUE(append_run(&paint, reinterpret_cast<const uint8_t*>(value.data()), value.size(), RunStyle::String));
    ASSERT_TRUE(mark_range(&paint, key.size() + 3, 3, 1));  // the euro sign

    RowUnitsOwner owner;
    ASSERT_TRUE(convert_row_units(&owner.row, paint.text, paint.length));
    std::vector<std::pair<std::u16string, uint32_t>> drawn;
    for (uint32_t i = 0; i < paint.run_count; i++) {
        UnitRange range = run_unit_range(&owner.row, paint.runs[i], paint.length);
        drawn.emplace_back(units_of(owner.row, range.start, range.end), run_style_colour(paint.runs[i].style));
    }
    const std::vector<std::pair<std::u16string, uint32_t>> expected = {
        {u"k\uFFFD\uFFFD\uFFFD\uFFFD", 7}, {u": ", 12}, {u"\"", 8}, {u"\u20AC", 8}, {u"\"", 8}};
    EXPECT_EQ(drawn, expected);
    EXPECT_EQ(paint.runs[3].mark, 1);
    release_row_paint(&paint);
}

TEST(RowUnits, RunsReachingPastTheTextAreCutToIt) {
    RowUnitsOwner owner;
    convert(&owner, "abc");
    UnitRange range = run_unit_range(&owner.row, TextRun{2, 10, RunStyle::Plain, 0}, 3);
    EXPECT_EQ(range.start, 2u);
    EXPECT_EQ(range.end, 3u);
    range = run_unit_range(&owner.row, TextRun{7, 1, RunStyle::Plain, 0}, 3);
    EXPECT_EQ(range.start, range.end);
}

TEST(Palette, StylesTakeTheirRoleColoursInBothPalettes) {
    EXPECT_EQ(palette_rgb(run_style_colour(RunStyle::Key), false), 0x0B57D0u);
    EXPECT_EQ(palette_rgb(run_style_colour(RunStyle::Key), true), 0x82AAFFu);
    EXPECT_EQ(palette_rgb(run_style_colour(RunStyle::Warning), false), 0xC62828u);
    EXPECT_EQ(palette_rgb(run_style_colour(RunStyle::Summary), true), 0x8B929Au);
    EXPECT_EQ(run_style_colour(static_cast<RunStyle>(40)), Colour::Text);
    EXPECT_EQ(palette_rgb(Colour::Selection, false), 0xDCE8FAu);
    EXPECT_EQ(palette_rgb(Colour::ErrorBar, true), 0x3B2325u);
    EXPECT_EQ(palette_rgb(PALETTE_SIZE, false), 0u);
}

}  // namespace
