// Large generated documents of every shape load completely and soundly (the
// 100 MB one is loaded and written back whole by the JSON round-trip tests).
#include <gtest/gtest.h>

#include "document_invariants.h"
#include "generator.h"
#include "load_text.h"

namespace {

TEST(Generated, EveryShapeLoadsWithoutProblems) {
    const GeneratedShape shapes[] = {GeneratedShape::Api, GeneratedShape::Numbers, GeneratedShape::Strings,
                                     GeneratedShape::Deep, GeneratedShape::Wide};
    for (GeneratedShape shape : shapes) {
        for (bool pretty : {false, true}) {
            GenerateOptions options{shape, 2 << 20, pretty, 7};
            std::string text = generate_text(options);
            EXPECT_EQ(text, generate_text(options)) << "not deterministic";
            DocumentPtr doc = load_strict(text);
            EXPECT_EQ(problem_count(doc.get()), 0u) << shape_name(shape) << " " << problem_at(doc.get());
            EXPECT_EQ(form(doc.get()), DocumentForm::Single);
            EXPECT_EQ(check_document_invariants(doc.get()), "") << shape_name(shape);
            EXPECT_EQ(has_long_lines(doc.get()), pretty ? (shape == GeneratedShape::Strings) : 1);
        }
    }
}

TEST(Generated, JsonLinesKeepsItsBadLines) {
    std::string text = generate_text(GenerateOptions{GeneratedShape::JsonLines, 4 << 20, false, 3});
    DocumentPtr doc = load_text(text);
    ASSERT_EQ(form(doc.get()), DocumentForm::JsonLines);
    uint32_t errors = 0;
    for (NodeId id = first_child(doc.get(), 0); id != NO_NODE; id = next_sibling(doc.get(), id))
        errors += kind(doc.get(), id) == NodeKind::Error;
    EXPECT_GT(errors, 0u);
    EXPECT_EQ(errors, problem_count(doc.get()));
    EXPECT_EQ(check_document_invariants(doc.get()), "");
}

}  // namespace
