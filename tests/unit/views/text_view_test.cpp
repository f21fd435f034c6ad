// The text view's two kinds of text: pretty layout, source lines with their
// comments, notes and budget, search marks, copied text, and the builder's
// progress, cancellation and failures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "alloc_sweep.h"
#include "progress_log.h"
#include "view_checks.h"

namespace {

const std::string ELLIPSIS = "\xE2\x80\xA6";
const std::string SEVEN_LINES = R"({"a": [1, 2], "b": {}})";

struct TextCase { std::string json; std::string expected; LoadOptions options = {}; };

std::string plain_text(const TextCase& c, uint32_t mode) {
    DocumentPtr doc = load_text(c.json, c.options);
    TextViewPtr view = build_view(doc.get(), mode);
    return all_text(view.get());
}

TEST(TextViewPretty, Layouts) {
    const TextCase cases[] = {
        {"[[[1]],[]]", "[\n  [\n    [\n      1\n    ]\n  ],\n  []\n]"},
        {"{'k': 0x1F, b: .5,}", "{\n  'k': 0x1F,\n  b: .5\n}"}, {"42", "42"},
        {"1\n\"x\"\n", "1\n\"x\"", {0, 1}}, {"{\"a\":1}\n[]\n", "{\n  \"a\": 1\n}\n[]", {0, 1}},
        {"{\"a\":1}\n[2, oops\n", "{\n  \"a\": 1\n}\n\xE2\x9A\xA0 line 2: expected a value: [2, oops", {0, 1}},
        // Containers that were never closed still get their closing lines.
        {"[1, {\"a\": 2", "[\n  1,\n  {\n    \"a\": 2\n  }\n]"},
        // Copied text keeps raw control characters; bad bytes become U+FFFD.
        {"[\"a\tb\xFF\"]", "[\n  \"a\tb\xEF\xBF\xBD\"\n]"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(plain_text(c, TEXT_PRETTY), c.expected) << c.json;
}

TEST(TextViewPretty, PaintingShowsSymbolsAndCutsAtTheBudget) {
    DocumentPtr doc = load_text("{\"ab\": [\"a\tb\xFF\"], \"t\": true}");
    TextViewPtr view = build_view(doc.get(), TEXT_PRETTY);
    EXPECT_EQ(painted_line(view.get(), 2), "    \"a\xE2\x87\xA5" "b\xEF\xBF\xBD\"");
    const std::pair<uint32_t, std::string> budgets[] = {
        {0, ""}, {1, "<Punctuation>" + ELLIPSIS},
        {2, "<Punctuation> " + ELLIPSIS}, {6, "<Punctuation>  <Key>\"ab" + ELLIPSIS},
        {8, "<Punctuation>  <Key>\"ab\"<Punctuation>:" + ELLIPSIS}, {9, "<Punctuation>  <Key>\"ab\"<Punctuation>: ["},
    };
    // Line 1 is `  "ab": [`, 9 characters; "…" takes the style of the one it replaces.
    for (const auto& [budget, expected] : budgets)
        EXPECT_EQ(painted_line(view.get(), 1, budget, true), expected) << budget;
    RowPaint paint = row_paint();
    build_text_line(view.get(), 3, TEXT_LINE_BUDGET, nullptr, NO_NODE, &paint);
    EXPECT_EQ(paint.node, 1u);
    EXPECT_EQ(paint.closing_line, 1);
    EXPECT_EQ(paint.line_number, 4u);
    build_text_line(view.get(), 99, TEXT_LINE_BUDGET, nullptr, NO_NODE, &paint);
    EXPECT_EQ(paint.node, NO_NODE);
    EXPECT_EQ(paint.length, 0u);
    release_row_paint(&paint);
}

TEST(TextViewPretty, DeepNestingStaysIndentedByEightySpaces) {
    DocumentPtr doc = load_text(std::string(50, '[') + "7" + std::string(50, ']'));
    TextViewPtr view = build_view(doc.get(), TEXT_PRETTY);
    EXPECT_EQ(painted_line(view.get(), 39), std::string(78, ' ') + "[");
    EXPECT_EQ(painted_line(view.get(), 45), std::string(80, ' ') + "[");
    EXPECT_EQ(painted_line(view.get(), 50), std::string(80, ' ') + "7");
}

// The source lines of a JSON5 text, as painted with their styles.
TEST(TextViewSource, CommentsTokensAndGaps) {
    const std::string text =
        "// lead\n"
        "{ /* one\n"
        "  two\n"
        "  */ 'k': 0x1F,\n"
        "\tb: \"s\"/*c*/} x\r\n"
        "\x01\xFF";
    DocumentPtr doc = load_text(text);
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

TEST(TextViewSource, TabStopsAndLongLines) {
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

TEST(TextViewSource, ProblemNotesKeepTheirRoom) {
    DocumentPtr doc = load_text("[" + std::string(50, '1') + " 2]");
    TextViewPtr view = build_view(doc.get(), TEXT_SOURCE);
    const std::string note = "  \xE2\x97\x80 expected , or ] after a value";  // 33 characters
    EXPECT_EQ(painted_line(view.get(), 0), "[" + std::string(50, '1') + " 2]" + note);
    EXPECT_EQ(painted_line(view.get(), 0, 44), "[" + std::string(9, '1') + ELLIPSIS + note);
    EXPECT_EQ(painted_line(view.get(), 0, 34), ELLIPSIS + note);
    // Notes as long as the budget get no room of their own.
    EXPECT_EQ(painted_line(view.get(), 0, 33), "[" + std::string(31, '1') + ELLIPSIS);
}

TEST(TextView, DocumentsWithoutNodes) {
    DocumentPtr empty = load_text("");
    EXPECT_EQ(text_line_count(build_view(empty.get(), TEXT_SOURCE).get()), 0u);
    EXPECT_EQ(text_line_count(build_view(empty.get(), TEXT_PRETTY).get()), 0u);

    // A text of comments only: its lines show in source text, none in pretty.
    DocumentPtr comments = load_text("/* a\n b */\n// c");
    ASSERT_EQ(node_count(comments.get()), 0u);
    TextViewPtr source = build_view(comments.get(), TEXT_SOURCE);
    ASSERT_EQ(text_line_count(source.get()), 3u);
    EXPECT_EQ(painted_line(source.get(), 1, TEXT_LINE_BUDGET, true), "<Comment> b */");
    EXPECT_EQ(node_of_line(source.get(), 1), NO_NODE);
    EXPECT_EQ(all_text(source.get()), "/* a\n b */\n// c");
    EXPECT_EQ(text_line_count(build_view(comments.get(), TEXT_PRETTY).get()), 0u);
}

TEST(TextView, TextOfLinesFollowsTheSnprintfContract) {
    DocumentPtr doc = load_text("[\"\xC3\xA9\",\n\"\xFF\"]\r\n");
    TextViewPtr view = build_view(doc.get(), TEXT_SOURCE);
    const std::string whole = "[\"\xC3\xA9\",\n\"\xEF\xBF\xBD\"]\n";
    EXPECT_EQ(text_of_lines(view.get(), 0, 2, nullptr, 0), whole.size());
    EXPECT_EQ(text_of_lines(view.get(), 2, 0, nullptr, 0), whole.size());
    EXPECT_EQ(text_of_lines(view.get(), 1, 99, nullptr, 0), 7u);
    EXPECT_EQ(text_of_lines(view.get(), 3, 9, nullptr, 0), 0u);
    struct Cut { uint64_t size; std::string stored; };
    // "é" is never split: a buffer of 4 holds "[\"" and the zero byte.
    const Cut cuts[] = {{1, ""}, {3, "[\""}, {4, "[\""}, {5, "[\"\xC3\xA9"}, {whole.size() + 1, whole}};
    for (const Cut& cut : cuts) {
        char buffer[64];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(text_of_lines(view.get(), 0, 2, buffer, cut.size), whole.size());
        EXPECT_EQ(std::string(buffer), cut.stored) << cut.size;
    }
    char untouched = 'x';
    EXPECT_EQ(text_of_lines(view.get(), 0, 2, &untouched, 0), whole.size());
    EXPECT_EQ(untouched, 'x');
    EXPECT_EQ(text_of_lines(nullptr, 0, 0, nullptr, 0), 0u);
}

std::string line_marks(const TextView* view, uint32_t line, const SearchState* search, NodeId current) {
    RowPaint paint = row_paint();
    build_text_line(view, line, TEXT_LINE_BUDGET, search, current, &paint);
    std::string marks = run_marks(paint);
    release_row_paint(&paint);
    return marks;
}

TEST(TextView, SearchMarks) {
    DocumentPtr doc = load_text("{\"ab\": \"abc\",\n\"k\":\t\"a\tb\", \"x\": \"" + std::string(30, 'x') + "bz\"}");
    SearchState* b = search_of(doc.get(), "b");
    TextViewPtr pretty = build_view(doc.get(), TEXT_PRETTY);
    EXPECT_EQ(painted_line(pretty.get(), 1, TEXT_LINE_BUDGET, false, b), "  \"a[[b]]\": \"a[[b]]c\",");
    EXPECT_EQ(line_marks(pretty.get(), 1, b, 1), "22");  // the key's line shows the current match
    EXPECT_EQ(line_marks(pretty.get(), 1, b, 2), "11");

    // Tabs widen to the next stop; the marks follow the shown text.
    TextViewPtr source = build_view(doc.get(), TEXT_SOURCE);
    EXPECT_EQ(painted_line(source.get(), 1, TEXT_LINE_BUDGET, false, b),
              "\"k\":    \"a  [[b]]\", \"x\": \"" + std::string(30, 'x') + "[[b]]z\"}");

    // A token cut by the budget shows no match but holds one: all of it is marked.
    SearchState* bz = search_of(doc.get(), "bz");
    EXPECT_EQ(painted_line(pretty.get(), 3, 20, false, bz), "  \"x\": [[\"" + std::string(11, 'x') + ELLIPSIS + "]]");
    SearchState* keys = search_of(doc.get(), "b", SearchOptions{0, 0, static_cast<uint8_t>(SearchScope::Keys), 0});
    EXPECT_EQ(painted_line(pretty.get(), 1, TEXT_LINE_BUDGET, false, keys), "  \"a[[b]]\": \"abc\",");
    release_search(b);
    release_search(bz);
    release_search(keys);
}

TEST(TextViewBuild, ReportsProgressEveryMillionNodes) {
    std::string items = "/* c */\n[0";
    for (uint32_t i = 1; i < 1100000; i++) items += ",0";
    DocumentPtr doc = load_text(items + "]");
    uint64_t n = node_count(doc.get());
    ASSERT_EQ(n, 1100001u);
    struct ModeCase { uint32_t mode; ProgressReports expected; };
    const ModeCase cases[] = {
        {TEXT_PRETTY, {{0, 2 * n}, {1 << 20, 2 * n}, {n + (1 << 20), 2 * n}, {2 * n, 2 * n}}},
        {TEXT_SOURCE, {{0, n}, {1 << 20, n}, {n, n}}},
    };
    for (const ModeCase& c : cases) {
        ProgressLog log;
        ProgressContext progress = log.context();
        uint32_t outcome = 99;
        TextViewPtr view(build_text_view(doc.get(), c.mode, &progress, &outcome));
        EXPECT_EQ(outcome, TEXT_VIEW_DONE);
        EXPECT_EQ(log.reports, c.expected) << c.mode;
        // Cancelled at any report, the build stops at the next one.
        for (size_t at = 1; at < c.expected.size(); at++) {
            ProgressLog cancelled;
            cancelled.cancel_at = at;
            progress = cancelled.context();
            TextView* none = build_text_view(doc.get(), c.mode, &progress, &outcome);
            EXPECT_EQ(none, nullptr);
            EXPECT_EQ(outcome, TEXT_VIEW_CANCELLED);
            EXPECT_EQ(cancelled.reports.size(), at) << c.mode;
        }
    }
    DocumentPtr records = load_json_lines("1\n2\n");
    ProgressLog log;
    ProgressContext progress = log.context();
    TextViewPtr view(build_text_view(records.get(), TEXT_PRETTY, &progress, nullptr));
    EXPECT_EQ(log.reports, (ProgressReports{{0, 6}, {6, 6}}));
}

TEST(TextViewBuild, OutOfMemoryAndLimits) {
    const std::string texts[] = {SEVEN_LINES, "// c\n{/* a\nb */ \"k\": [1,\n2]}", "{\"a\":1}\n[2, x\n"};
    for (const std::string& text : texts) {
        DocumentPtr doc = load_text(text);
        for (uint32_t mode : {TEXT_PRETTY, TEXT_SOURCE}) {
            std::string expected = all_text(build_view(doc.get(), mode).get());
            uint64_t allocations = sweep_allocation_failures([&](uint64_t n) {
                uint32_t outcome = 99;
                TextView* view = build_text_view(doc.get(), mode, nullptr, &outcome);
                if (view) EXPECT_EQ(all_text(view), expected);
                else EXPECT_EQ(outcome, TEXT_VIEW_OUT_OF_MEMORY) << "allocation " << n;
                release_text_view(view);
            });
            EXPECT_GE(allocations, 1u);
        }
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
