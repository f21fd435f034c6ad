// RowPaint runs and marks, and the one-character decoder.
#include <gtest/gtest.h>

#include <string>

#include "views/row_paint.h"

namespace {

// "style/mark[text]" for each run.
std::string runs_of(const RowPaint& paint) {
    std::string out;
    for (uint32_t i = 0; i < paint.run_count; i++) {
        const TextRun& run = paint.runs[i];
        out += std::to_string(static_cast<int>(run.style)) + "/" + std::to_string(run.mark) + "[" +
               std::string(reinterpret_cast<const char*>(paint.text) + run.start, run.length) + "]";
    }
    return out;
}

bool append(RowPaint* paint, const std::string& text, RunStyle style) {
    return append_run(paint, reinterpret_cast<const uint8_t*>(text.data()), uint32_t(text.size()), style);
}

TEST(RowPaint, MarksSplitAndMergeRuns) {
    struct Case { uint32_t start, length; const char* expected; } cases[] = {
        {1, 2, "1/0[a]1/1[bc]1/0[d]7/0[: ]"},
        {2, 3, "1/0[ab]1/1[cd]7/1[:]7/0[ ]"},
        {4, 100, "1/0[abcd]7/1[: ]"},
        {6, 1, "1/0[abcd]7/0[: ]"},
        {0, 0, "1/0[abcd]7/0[: ]"},
    };
    for (const Case& c : cases) {
        RowPaint paint = row_paint();
        ASSERT_TRUE(append(&paint, "abcd", RunStyle::Key) && append(&paint, ": ", RunStyle::Punctuation));
        ASSERT_TRUE(mark_range(&paint, c.start, c.length, 1));
        EXPECT_EQ(runs_of(paint), c.expected) << c.start << "+" << c.length;
        release_row_paint(&paint);
    }
    // Neighbouring marks of the same kind join; a current match stays apart.
    RowPaint paint = row_paint();
    ASSERT_TRUE(append(&paint, "abcdef", RunStyle::String));
    ASSERT_TRUE(mark_range(&paint, 0, 2, 1) && mark_range(&paint, 2, 2, 1) && mark_range(&paint, 4, 1, 2));
    EXPECT_EQ(runs_of(paint), "3/1[abcd]3/2[e]3/0[f]");
    release_row_paint(&paint);
}

TEST(RowPaint, DecoderYieldsOneCharacterAtATime) {
    const std::string fffd = "\xEF\xBF\xBD|";
    const struct { std::string source; bool escapes; std::string expected; } cases[] = {
        {"a\xC3\xA9", true, "a|\xC3\xA9|"},
        {"\\u00e9\\ud83d\\ude00\\x41\\n", true, "\xC3\xA9|\xF0\x9F\x98\x80|A|\n|"},
        {"a\\\nb\\\r\nc\\\xE2\x80\xA8" "d", true, "a|b|c|d|"},  // escaped line breaks are nothing
        {"\\q\\\"\\", true, "q|\"|"},
        {"\\ud800x\\udc00\\u12\\xZ", true, fffd + "x|" + fffd + fffd + "1|2|" + fffd + "Z|"},
        {"\xFF\xC0\xAF\xED\xA0\x80", false, fffd + fffd + fffd + fffd + fffd + fffd},
        {"\\n", false, "\\|n|"},
    };
    for (const auto& c : cases) {
        CharDecoder decoder = char_decoder(reinterpret_cast<const uint8_t*>(c.source.data()),
                                           uint32_t(c.source.size()), c.escapes);
        std::string out;
        uint8_t bytes[4];
        while (uint32_t length = next_char(&decoder, bytes)) out += std::string(reinterpret_cast<char*>(bytes), length) + "|";
        EXPECT_EQ(out, c.expected) << c.source;
    }
}

}  // namespace
