// Large generated documents of every shape load completely and soundly (the
// 100 MB one is loaded and written back whole by the JSON round-trip tests,
// the JSON Lines one searched by the search run's differential).
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

}  // namespace
