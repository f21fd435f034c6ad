// Tree rows as the list paints them: labels, values, summaries, previews, cuts
// at the budget edges and search marks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "alloc_sweep.h"
#include "view_checks.h"
#include "views/tree_row.h"

namespace {

constexpr uint32_t INITIAL = 0xFFFFFFFF;

struct RowCase {
    std::string json;
    uint32_t row;
    uint32_t budget;
    std::string expected;
    uint32_t level = INITIAL;
    LoadOptions options = {};
};

// The row's text; with a query, its marks in [[ ]].
std::string row_text(const RowCase& c, const char* query = nullptr, bool styles = false) {
    DocumentPtr doc = load_text(c.json, c.options);
    RowModel* model = create_row_model(doc.get());
    if (c.level == INITIAL) initial_expansion(model);
    else expand_to_level(model, c.level);
    SearchState* search = nullptr;
    if (query) search = search_of(doc.get(), query);
    RowPaint paint = row_paint();
    build_tree_row(model, c.row, c.budget, search, NO_NODE, &paint);
    std::string text = printed_paint(paint, styles);
    release_row_paint(&paint);
    release_search(search);
    release_row_model(model);
    return text;
}

const std::string OBJECT = R"({"o":{"a":1,"b":"x","c":[1]}})";

const std::string ELLIPSIS = "\xE2\x80\xA6";

TEST(TreeRow, Layouts) {
    const RowCase cases[] = {
        {R"({"":1})", 1, 120, "\"\": 1"}, {"{}", 0, 120, "root {}"}, {"[[],{}]", 1, 120, "[0] []"},
        {OBJECT, 1, 120, "o: {3}", 2}, {OBJECT, 0, 120, "root {1}  {o: {" + ELLIPSIS + "}}", 0},
        {"[1.50, 0x1F]", 2, 120, "[1] 0x1F"}, {R"({"ab":1})", 1, 5, "ab: " + ELLIPSIS},
        {"[\"a\\nb\"]", 1, 9, "[0] \"a\xE2\x8F\x8E" "b\""}, {"[\"a\\nb\"]", 1, 8, "[0] \"a" + ELLIPSIS + "\""},
        {"[\"tab\\tdel\x7F\\u0001\"]", 1, 120, "[0] \"tab\xE2\x87\xA5" "del\xE2\x90\xA1\xE2\x90\x81\""},
        {"[\"abcdef\"]", 1, 12, "[0] \"abcdef\""}, {"[\"abcdef\"]", 1, 11, "[0] \"abcd" + ELLIPSIS + "\""},
        {"[\"abcdef\"]", 1, 5, "[0] " + ELLIPSIS}, {"[123456789]", 1, 8, "[0] 123" + ELLIPSIS},
        {"[" + std::string(600, '1') + "]", 1, 1000, "[0] " + std::string(500, '1') + ELLIPSIS},
        {"[1,2", 0, 120, "root [2] (cut short)  [1, 2]", 0}, {"[1,2", 0, 9, "root [2]" + ELLIPSIS, 0},
        {"[1,2", 0, 8, "root [2]", 0}, {"[1,2", 0, 7, "root [" + ELLIPSIS, 0},
    };
    for (const RowCase& c : cases) EXPECT_EQ(row_text(c), c.expected) << c.json << " budget " << c.budget;
}

TEST(TreeRow, PreviewStopsBeforeAChildThatWouldNotFit) {
    // "o: {3}" leaves budget - 6 for the preview "  {a: 1, b: \"x\", c: […]}" (24).
    const struct { uint32_t budget; std::string expected; } cases[] = {
        {10, "o: {3}"}, {11, "o: {3}  {" + ELLIPSIS + "}"}, {16, "o: {3}  {" + ELLIPSIS + "}"},
        {17, "o: {3}  {a: 1, " + ELLIPSIS + "}"}, {30, "o: {3}  {a: 1, b: \"x\", c: [" + ELLIPSIS + "]}"},
    };
    for (const auto& c : cases) EXPECT_EQ(row_text({OBJECT, 1, c.budget, "", 1}), c.expected) << c.budget;
}

TEST(TreeRow, StylesRecordsAndBrokenLines) {
    std::string records = "{\"a\":1}\n" + std::string(1232, '\n') + "[1]\n{\"b\":\n";
    const RowCase cases[] = {
        {OBJECT, 1, 120, "<Key>o<Punctuation>: <Summary>{3}<Plain>  <Preview>{a: 1, b: \"x\", c: [" + ELLIPSIS + "]}", 1},
        {"[\"abcdef\"]", 1, 11, "<Index>[0]<Plain> <String>\"abcd" + ELLIPSIS + "\""},
        {records, 3, 120, "<Index>line 1,234<Plain> <Summary>[1]", INITIAL, {0, 1}},
        {records, 5, 120, "<Index>line 1,235<Plain> <Warning>\xE2\x9A\xA0 unexpected end of line<Plain>  <Preview>{\"b\":",
         INITIAL, {0, 1}},
    };
    for (const RowCase& c : cases) EXPECT_EQ(row_text(c, nullptr, true), c.expected) << c.row;
    std::string many = "[";
    for (int i = 0; i < 1235; i++) many += i ? ",0" : "0";
    EXPECT_EQ(row_text({many + "]", 1235, 120}), "[1234] 0");
}

TEST(TreeRow, SearchMarksShownKeyAndValueText) {
    EXPECT_EQ(row_text({R"({"ab":"abc"})", 1, 120}, "b"), "a[[b]]: \"a[[b]]c\"");
    EXPECT_EQ(row_text({R"({"ab":{"b":1}})", 1, 120, "", 1}, "b"), "a[[b]]: {1}  {b: 1}");  // never the preview
    EXPECT_EQ(row_text({R"({"abc":1})", 1, 3}, "b"), "a[[b]]" + ELLIPSIS);  // a cut key
    EXPECT_EQ(row_text({R"(["abcdef"])", 1, 9}, "f"), "[0] \"ab" + ELLIPSIS + "\"");  // f is not shown
    EXPECT_EQ(row_text({R"({"":"x"})", 1, 120}, "\"\""), "\"\": \"x\"");  // not the empty key's quotes
    // Control symbols are three bytes where the matcher saw one.
    EXPECT_EQ(row_text({R"(["x\ty\tb"])", 1, 120}, "y\tb"), "[0] \"x\xE2\x87\xA5[[y\xE2\x87\xA5" "b]]\"");
    EXPECT_EQ(row_text({R"({"k\u0065y":1})", 1, 120}, "KEY"), "[[key]]: 1");
}

TEST(TreeRow, FailedAllocationsLeaveACleanPrefix) {
    DocumentPtr doc = load_text(R"({"key":"a long value with\ta tab and more text after it"})");
    RowModel* model = create_row_model(doc.get());
    initial_expansion(model);
    SearchState* search = search_of(doc.get(), "a");
    RowPaint full = row_paint();
    build_tree_row(model, 1, 120, search, NO_NODE, &full);
    std::string expected(reinterpret_cast<char*>(full.text), full.length);
    release_row_paint(&full);
    // A failed growth leaves the text so far, ended, and runs that cover it.
    sweep_allocation_failures([&](uint64_t n) {
        RowPaint paint = row_paint();
        build_tree_row(model, 1, 120, search, NO_NODE, &paint);
        std::string text(reinterpret_cast<char*>(paint.text), paint.length);
        EXPECT_EQ(expected.compare(0, text.size(), text), 0) << "allocation " << n;
        EXPECT_EQ(paint.text[paint.length], 0) << "allocation " << n;
        uint32_t covered = 0;
        for (uint32_t i = 0; i < paint.run_count; i++)
            covered = paint.runs[i].start == covered ? covered + paint.runs[i].length : ~0u;
        EXPECT_EQ(covered, paint.length) << "allocation " << n;
        release_row_paint(&paint);
    });
    release_search(search);
    release_row_model(model);
}

}  // namespace
