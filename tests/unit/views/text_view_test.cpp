// The text view's pretty and source lines, their marks and copied text, and the
// builder's progress, cancellation and failures.
#include <gtest/gtest.h>

#include <string>

#include "alloc_sweep.h"
#include "progress_log.h"
#include "view_checks.h"

namespace {

const std::string ELLIPSIS = "\xE2\x80\xA6";

TEST(TextViewPretty, Layouts) {
    const struct { std::string json, expected; LoadOptions options = {}; } cases[] = {
        {"[[[1]],[]]", "[\n  [\n    [\n      1\n    ]\n  ],\n  []\n]"},
        {"{'k': 0x1F, b: .5,}", "{\n  'k': 0x1F,\n  b: .5\n}"},
        {"{\"a\":1}\n[2, oops\n", "{\n  \"a\": 1\n}\n\xE2\x9A\xA0 line 2: expected a value: [2, oops", {0, 1}},
        // Copied text keeps raw control characters; bad bytes become U+FFFD.
        {"[\"a\tb\xFF\"]", "[\n  \"a\tb\xEF\xBF\xBD\"\n]"},
    };
    for (const auto& c : cases) {
        DocumentPtr doc = load_text(c.json, c.options);
        EXPECT_EQ(all_text(build_view(doc.get(), TEXT_PRETTY).get()), c.expected) << c.json;
    }
}

TEST(TextViewPretty, PaintingShowsSymbolsAndCutsAtTheBudget) {
    DocumentPtr doc = load_text("{\"ab\": [\"a\tb\xFF\"], \"t\": true}");
    TextViewPtr view = build_view(doc.get(), TEXT_PRETTY);
    EXPECT_EQ(painted_line(view.get(), 2), "    \"a\xE2\x87\xA5" "b\xEF\xBF\xBD\"");
    // Line 1 is `  "ab": [`, 9 characters; "…" takes the style of the one it replaces.
    const std::pair<uint32_t, std::string> budgets[] = {
        {0, ""}, {1, "<Punctuation>" + ELLIPSIS}, {6, "<Punctuation>  <Key>\"ab" + ELLIPSIS},
        {8, "<Punctuation>  <Key>\"ab\"<Punctuation>:" + ELLIPSIS}, {9, "<Punctuation>  <Key>\"ab\"<Punctuation>: ["},
    };
    for (const auto& [budget, expected] : budgets)
        EXPECT_EQ(painted_line(view.get(), 1, budget, true), expected) << budget;
    // Indentation stops growing at 80 spaces.
    DocumentPtr deep = load_text(std::string(50, '[') + "7" + std::string(50, ']'));
    view = build_view(deep.get(), TEXT_PRETTY);
    EXPECT_EQ(painted_line(view.get(), 39), std::string(78, ' ') + "[");
    EXPECT_EQ(painted_line(view.get(), 50), std::string(80, ' ') + "7");
}

TEST(TextViewSource, CommentsTokensAndGaps) {
    DocumentPtr doc = load_text("// lead\n{ /* one\n  two\n  */ 'k': 0x1F,\n\tb: \"s\"/*c*/} x\r\n\x01\xFF");
    TextViewPtr view = build_view(doc.get(), TEXT_SOURCE);
    ASSERT_EQ(text_line_count(view.get()), 6u);
    const std::string expected[] = {
        "<Comment>// lead",
        "<Punctuation>{ <Comment>/* one",
        "<Comment>  two",
        "<Comment>  */<Punctuation> <Key>'k'<Punctuation>: <Number>0x1F<Punctuation>,",
        "<Punctuation>    <Key>b<Punctuation>: <String>\"s\"<Comment>/*c*/<Punctuation>} <Warning>x  \xE2\x97\x80 "
        "unexpected text after the JSON value",
        "<Comment>\xE2\x90\x81\xEF\xBF\xBD",
    };
    for (uint32_t line = 0; line < 6; line++)
        EXPECT_EQ(painted_line(view.get(), line, TEXT_LINE_BUDGET, true), expected[line]) << line;
}

TEST(TextViewSource, TabStopsLongLinesAndNotes) {
    DocumentPtr doc = load_text("[1,\t2,\t\t3,\n\"" + std::string(2500, 'a') + "\",\n\"" + std::string(9998, 'b') +
                                "\xC3\xA9" + std::string(3000, 'c') + "\"]");
    TextViewPtr view = build_view(doc.get(), TEXT_SOURCE);
    EXPECT_EQ(painted_line(view.get(), 0), "[1, 2,      3,");
    EXPECT_EQ(painted_line(view.get(), 0, 9), "[1, 2,  " + ELLIPSIS);
    EXPECT_EQ(painted_line(view.get(), 1), "\"" + std::string(1998, 'a') + ELLIPSIS);
    // The 10,000-byte limit falls inside "é", which is left for the note.
    const std::string shown = "\"" + std::string(9998, 'b');
    EXPECT_TRUE(painted_line(view.get(), 2, 20000) == shown + " " + ELLIPSIS + " 2.9 KB more on this line");
    EXPECT_TRUE(painted_line(view.get(), 2, 10002) == shown + " " + ELLIPSIS + ELLIPSIS);
    EXPECT_TRUE(painted_line(view.get(), 2, 9999) == "\"" + std::string(9997, 'b') + ELLIPSIS);
}

TEST(TextView, TextOfLinesFollowsTheSnprintfContract) {
    DocumentPtr doc = load_text("[\"\xC3\xA9\",\n\"\xFF\"]\r\n");
    TextViewPtr view = build_view(doc.get(), TEXT_SOURCE);
    const std::string whole = "[\"\xC3\xA9\",\n\"\xEF\xBF\xBD\"]\n";
    EXPECT_EQ(text_of_lines(view.get(), 2, 0, nullptr, 0), whole.size());
    EXPECT_EQ(text_of_lines(view.get(), 1, 99, nullptr, 0), 7u);
    // "é" is never split: a buffer of 4 holds "[\"" and the zero byte.
    const std::pair<uint64_t, std::string> cuts[] = {{0, "x"}, {1, ""}, {4, "[\""}, {5, "[\"\xC3\xA9"}, {whole.size() + 1, whole}};
    for (const auto& [size, stored] : cuts) {
        char buffer[64];
        std::memset(buffer, 'x', sizeof buffer);
        buffer[1] = 0;
        EXPECT_EQ(text_of_lines(view.get(), 0, 2, buffer, size), whole.size());
        EXPECT_EQ(std::string(buffer), stored) << size;
    }
}

TEST(TextView, SearchMarks) {
    DocumentPtr doc = load_text("{\"ab\": \"abc\",\n\"k\":\t\"a\tb\", \"x\": \"" + std::string(30, 'x') + "bz\"}");
    SearchState* b = search_of(doc.get(), "b");
    TextViewPtr pretty = build_view(doc.get(), TEXT_PRETTY);
    EXPECT_EQ(painted_line(pretty.get(), 1, TEXT_LINE_BUDGET, false, b), "  \"a[[b]]\": \"a[[b]]c\",");
    RowPaint paint = row_paint();
    build_text_line(pretty.get(), 1, TEXT_LINE_BUDGET, b, 1, &paint);
    EXPECT_EQ(run_marks(paint), "22");  // the current match's line
    release_row_paint(&paint);
    // Tabs widen to the next stop; the marks follow the shown text.
    TextViewPtr source = build_view(doc.get(), TEXT_SOURCE);
    EXPECT_EQ(painted_line(source.get(), 1, TEXT_LINE_BUDGET, false, b),
              "\"k\":    \"a  [[b]]\", \"x\": \"" + std::string(30, 'x') + "[[b]]z\"}");
    // A token cut by the budget shows no match but holds one: all of it is marked.
    SearchState* bz = search_of(doc.get(), "bz");
    EXPECT_EQ(painted_line(pretty.get(), 3, 20, false, bz), "  \"x\": [[\"" + std::string(11, 'x') + ELLIPSIS + "]]");
    release_search(b);
    release_search(bz);
}

TEST(TextViewBuild, ReportsProgressEveryMillionNodes) {
    std::string items = "/* c */\n[0";
    for (uint32_t i = 1; i < 1100000; i++) items += ",0";
    DocumentPtr doc = load_text(items + "]");
    uint64_t n = node_count(doc.get());
    ASSERT_EQ(n, 1100001u);
    const std::pair<uint32_t, ProgressReports> cases[] = {
        {TEXT_PRETTY, {{0, 2 * n}, {1 << 20, 2 * n}, {n + (1 << 20), 2 * n}, {2 * n, 2 * n}}},
        {TEXT_SOURCE, {{0, n}, {1 << 20, n}, {n, n}}},
    };
    for (const auto& [mode, expected] : cases) {
        // Cancelled at any report, the build stops at the next one; never
        // cancelled, it reports them all.
        for (size_t at = 1; at <= expected.size(); at++) {
            ProgressLog log;
            if (at < expected.size()) log.cancel_at = at;
            ProgressContext progress = log.context();
            uint32_t outcome = 99;
            TextViewPtr view(build_text_view(doc.get(), mode, &progress, &outcome));
            EXPECT_EQ(outcome, at < expected.size() ? TEXT_VIEW_CANCELLED : TEXT_VIEW_DONE) << mode;
            EXPECT_EQ(view == nullptr, at < expected.size());
            EXPECT_EQ(log.reports, ProgressReports(expected.begin(), expected.begin() + at)) << mode;
        }
    }
}


TEST(TextViewBuild, OutOfMemoryAndLimits) {
    DocumentPtr doc = load_text("// c\n{/* a\nb */ \"k\": [1,\n2]}");
    for (uint32_t mode : {TEXT_PRETTY, TEXT_SOURCE}) {
        std::string expected = all_text(build_view(doc.get(), mode).get());
        sweep_allocation_failures([&](uint64_t n) {
            uint32_t outcome = 99;
            TextView* view = build_text_view(doc.get(), mode, nullptr, &outcome);
            if (view) EXPECT_EQ(all_text(view), expected);
            else EXPECT_EQ(outcome, TEXT_VIEW_OUT_OF_MEMORY) << "allocation " << n;
            release_text_view(view);
        });
    }
    // Pretty lines hold NodeIds in 31 bits: 2^31 Nodes are refused before
    // anything is read.
    Document huge{};
    huge.reference_count = 1;
    huge.node_count = 0x80000000u;
    uint32_t outcome = 99;
    EXPECT_EQ(build_text_view(&huge, TEXT_PRETTY, nullptr, &outcome), nullptr);
    EXPECT_EQ(outcome, TEXT_VIEW_OUT_OF_MEMORY);
}

}  // namespace
