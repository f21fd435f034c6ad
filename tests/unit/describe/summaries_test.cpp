// Status and error summaries at their edges.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "alloc_sweep.h"
#include "describe/summaries.h"
#include "load_text.h"

namespace {

std::string status_of(const Document* doc, int32_t parse_ms = NO_PARSE_TIME) {
    char out[SUMMARY_TEXT_SIZE];
    status_summary(doc, parse_ms, out, sizeof out);
    return out;
}

std::string errors_of(const Document* doc) {
    char out[SUMMARY_TEXT_SIZE];
    error_summary(doc, out, sizeof out);
    return out;
}

// A 1,536-byte JSON5 text with 20 nodes.
std::string json5_text() {
    std::string text = "[";
    for (int i = 0; i < 18; i++) text += "1,";
    text += "'x'";
    return text + std::string(1536 - text.size() - 1, ' ') + "]";
}

// Loads text with allocations failing from the n-th on, for the first n whose
// Document ran out of memory after reading `problems_before` other problems.
DocumentPtr load_out_of_memory(const std::string& text, LoadOptions options, uint32_t problems_before) {
    for (uint64_t n = 1; n < 1000; n++) {
        mem_test_fail_at(n, true);
        DocumentPtr doc = load_text(text, options);
        mem_test_fail_at(0);
        if (doc && memory_problem_index(doc.get()) != NO_NODE && memory_problem_index(doc.get()) >= problems_before)
            return doc;
    }
    return nullptr;
}

// The forms and encodings the end-to-end cases do not show.
TEST(StatusSummary, ParseTimesFormsAndEncodings) {
    DocumentPtr doc = load_text(json5_text());
    ASSERT_EQ(node_count(doc.get()), 20u);
    const std::string head = "1.5 KB · 20 values · JSON5";
    const std::pair<int32_t, const char*> times[] = {
        {1234, " · parsed in 1.2 s"}, {99, " · parsed in < 0.1 s"}, {100, " · parsed in 0.1 s"},
        {149, " · parsed in 0.1 s"}, {150, " · parsed in 0.2 s"}, {INT_MAX, " · parsed in 2,147,483.6 s"}, {-1, ""},
    };
    for (const auto& [ms, tail] : times) EXPECT_EQ(status_of(doc.get(), ms), head + tail) << ms;
    const std::pair<DocumentPtr, const char*> forms[] = {
        {load_text("[\"a\tb\"]"), "7 bytes · 2 values · JSON with raw control characters"},
        {load_json_lines("{\"a\":1}"), "7 bytes · 2 values · JSON Lines (1 record)"},
        {load_text("\xEF\xBB\xBF[1]"), "3 bytes · 2 values · JSON · UTF-8 with BOM"},
    };
    for (const auto& [form_doc, status] : forms) EXPECT_EQ(status_of(form_doc.get()), status);
    EXPECT_EQ(status_of(nullptr, 100), "");
}

TEST(StatusSummary, NeedsNoMemoryAndCutsWholeCharacters) {
    DocumentPtr doc = load_text(json5_text());
    const std::string expected = "1.5 KB · 20 values · JSON5 · parsed in 1.2 s";
    EXPECT_EQ(sweep_allocation_failures([&](uint64_t) { EXPECT_EQ(status_of(doc.get(), 1234), expected); }), 0u);
    char small[9];
    EXPECT_EQ(status_summary(doc.get(), 1234, small, sizeof small), expected.size());
    EXPECT_STREQ(small, "1.5 KB ");
}

TEST(ErrorSummary, RunningOutOfMemoryGivesThePercentRead) {
    std::string single = "[", lines;
    for (int i = 0; i < 20000; i++) single += "[1,2],";
    for (int i = 0; i < 20000; i++) lines += i % 1000 == 5 ? "[x\n" : "[1,2]\n";
    // In records, after the problems of the bad lines read before it.
    for (const auto& [text, json_lines] : {std::pair{single + "3]", false}, {lines, true}}) {
        DocumentPtr doc = load_out_of_memory(text, {0, json_lines}, json_lines);
        ASSERT_TRUE(doc);
        uint64_t percent = uint64_t{doc->problems[memory_problem_index(doc.get())].offset} * 100 / text.size();
        EXPECT_EQ(errors_of(doc.get()), "Ran out of memory at " + std::to_string(percent) + "%. Showing what was read.");
    }
}

TEST(ErrorSummary, ColumnsCountCharactersAndPercentsDoNotWrap) {
    DocumentPtr bad = load_text("{\n  \"\xC3\xA9\": tru }");
    EXPECT_EQ(errors_of(bad.get()), "Line 2, column 8: invalid literal. Showing everything before it.");
    EXPECT_EQ(errors_of(nullptr), "");
    // A hand-made 4 GB Document: only its text length and problem 0 are read.
    Document doc{};
    doc.form = DocumentForm::Single;
    doc.text_length = MAX_TEXT_LENGTH;
    doc.problem_count = 1;
    doc.memory_problem_index = 0;
    doc.first_problem_info.offset = 4000000000u;
    EXPECT_EQ(errors_of(&doc), "Ran out of memory at 93%. Showing what was read.");
}

}  // namespace
