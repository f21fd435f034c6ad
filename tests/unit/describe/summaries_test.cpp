// Status and error summaries at their edges.
#include <gtest/gtest.h>

#include <climits>
#include <string>

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
