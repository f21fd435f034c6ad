// JSON Lines and several concatenated values: records under a synthetic root,
// read past their errors.
#include <gtest/gtest.h>

#include "document_invariants.h"
#include "load_text.h"

namespace {

TEST(Records, JsonLinesErrors) {
    struct Case { const char* text; const char* problem; const char* error_text; };
    const Case cases[] = {
        {"1 2", "expected the end of the line@2", "1 2"}, {"{\"a\":1\r\n[2]", "unexpected end of line@6", "{\"a\":1"},
        {"\"abc\ndef\"\n", "unexpected end of line@4", "\"abc"}, {"/* c\r\n[2]", "unexpected end of line@4", "/* c"},
        {"{\"a\":", "unexpected end of line@5", "{\"a\":"},
    };
    for (const Case& c : cases) {
        DocumentPtr doc = load_json_lines(c.text);
        const Document* d = doc.get();
        EXPECT_EQ(problem_at(d), c.problem) << c.text;
        NodeId error = problem_count(d) ? problem_info(d, 0)->node : NO_NODE;
        ASSERT_NE(error, NO_NODE) << c.text;
        EXPECT_EQ(source_of(d, error), c.error_text) << c.text;
    }
}

TEST(Records, ConcatenatedErrorRunsAheadThroughLines) {
    // The broken string swallows later lines before failing; their line starts
    // must still come out once each and in order.
    DocumentPtr doc = load_text("[1] \"abc\n[2]\n[3]\n");
    const Document* d = doc.get();
    EXPECT_EQ(child_count(d, 0), 4u);
    EXPECT_EQ(problem_at(d), "unterminated string@4");
    EXPECT_EQ(source_of(d, child_at(d, 0, 1)), "\"abc");
    ASSERT_EQ(line_count(d), 4u);
    EXPECT_EQ(line_start(d, 1), 9u);
    EXPECT_EQ(line_start(d, 3), 17u);
    EXPECT_EQ(features(d), 0u);  // the failed record's raw line feeds are forgotten
    DocumentPtr comment = load_text("[1] [2] /* never closed\n\n");
    EXPECT_EQ(kind(comment.get(), child_at(comment.get(), 0, 2)), NodeKind::Error);
    EXPECT_EQ(problem_at(comment.get()), "unexpected end of file@25");
    EXPECT_EQ(source_of(comment.get(), child_at(comment.get(), 0, 2)), "/* never closed\n\n");
}

TEST(Records, ChoosingTheReading) {
    struct Case { const char* text; DocumentForm form; uint32_t values; };
    const Case cases[] = {
        {"{\"a\":1} {\"b\":2}", DocumentForm::Concatenated, 2}, {"{\"a\":\n1}\n{\"b\":2}", DocumentForm::Concatenated, 2},
        {"1\n2\n3\n", DocumentForm::JsonLines, 3}, {"1 // one\n2", DocumentForm::JsonLines, 2},
        {"1 /* a\nb */ 2", DocumentForm::Concatenated, 2}, {"\n\n  \n", DocumentForm::Empty, 0},
    };
    for (const Case& c : cases) {
        DocumentPtr doc = load_text(c.text);
        EXPECT_EQ(form(doc.get()), c.form) << c.text;
        if (c.values) EXPECT_EQ(child_count(doc.get(), 0), c.values) << c.text;
        EXPECT_EQ(problem_count(doc.get()), 0u) << c.text;
    }
    // A JSON Lines reading starts over: comments seen in the first pass are
    // counted again, not twice.
    DocumentPtr doc = load_text("1 // one\n[2,]\n");
    EXPECT_EQ(features(doc.get()), SyntaxFeatures::Comments | SyntaxFeatures::TrailingCommas);
    EXPECT_EQ(line_count(doc.get()), 3u);
}

// The probe sees only the first value. Texts it takes for JSON Lines that read
// as several values without a problem are several values; JSON Lines whose
// bad lines are bad either way keep their reading, as does a text loaded as
// JSON Lines by name.
TEST(Records, MisjudgedJsonLinesReadAsSeveralValues) {
    struct Case { const char* text; DocumentForm form; uint32_t records; uint32_t problems; };
    const Case cases[] = {
        {"/*\n * exported 2024-01-01\n */\n{\"id\": 1}\n{\"id\": 2}\n", DocumentForm::Concatenated, 2, 0},
        {"{\"version\": 2}\n{\n  \"id\": 1,\n  \"name\": \"x\"\n}\n", DocumentForm::Concatenated, 2, 0},
        {"// log\n\n{\"a\":1}\n{\"b\":\n{\"c\":3}\n", DocumentForm::JsonLines, 3, 1},
        {"1\n2\nnot json\n[3]\n", DocumentForm::JsonLines, 4, 1},
        // Only the text from the first bad line on decides.
        {"1\n\n// two\n2\n{\n  \"a\": [1,\n 2]\n}\n", DocumentForm::Concatenated, 3, 0},
        {"{\"a\":1}\n{\"a\":2}\n{\"a\":", DocumentForm::JsonLines, 3, 1},
    };
    for (const Case& c : cases) {
        DocumentPtr doc = load_text(c.text);
        const Document* d = doc.get();
        EXPECT_EQ(form(d), c.form) << c.text;
        EXPECT_EQ(child_count(d, 0), c.records) << c.text;
        EXPECT_EQ(problem_count(d), c.problems) << c.text;
        EXPECT_EQ(check_document_invariants(d), "") << c.text;
        uint32_t lines = 1;
        for (const char* p = c.text; *p; p++) lines += *p == '\n';
        EXPECT_EQ(line_count(d), lines) << c.text;
    }
    DocumentPtr pretty = load_text(cases[1].text);
    EXPECT_EQ(key_of(pretty.get(), child_at(pretty.get(), child_at(pretty.get(), 0, 1), 1)), "name");
    DocumentPtr named = load_json_lines(cases[1].text);
    EXPECT_EQ(form(named.get()), DocumentForm::JsonLines);
    EXPECT_EQ(problem_count(named.get()), 4u);
}

}  // namespace
