// The loader at every vector width builds the same Document as at SSE2's, on
// the conformance suites, the benchmark corpus, the fuzz corpus and
// generated files of every shape, cut at every byte near their start.
#include <gtest/gtest.h>

#include <string>

#include "cpu_variants.h"
#include "document_compare.h"
#include "generator.h"
#include "load_text.h"

namespace {

// Loads `text` with each variant and compares each Document with SSE2's.
void expect_variants_agree(const std::string& text, LoadOptions options, const std::string& what) {
    DocumentPtr baseline;
    for_each_cpu_variant([&](uint32_t variant) {
        DocumentPtr doc = load_text(text, options);
        ASSERT_TRUE(doc) << what;
        if (!baseline) baseline = std::move(doc);
        else EXPECT_EQ(document_difference(baseline.get(), doc.get()), "") << what << " at " << cpu_variant_name(variant);
    });
}

void expect_variants_agree_in_every_mode(const std::string& text, const std::string& what) {
    expect_variants_agree(text, LoadOptions{0, 0}, what);
    expect_variants_agree(text, LoadOptions{1, 0}, what + " (strict)");
    expect_variants_agree(text, LoadOptions{0, 1}, what + " (JSON Lines)");
}

}  // namespace

TEST(CpuVariant, ForcingANarrowerVariantSticksAndAWiderOneIsRefused) {
    uint32_t saved = cpu_variant();
    ASSERT_TRUE(cpu_force_variant(CPU_VARIANT_SSE2));
    EXPECT_EQ(cpu_variant(), CPU_VARIANT_SSE2);
    EXPECT_FALSE(cpu_force_variant(CPU_VARIANT_COUNT));
    EXPECT_EQ(cpu_variant(), CPU_VARIANT_SSE2);
    EXPECT_TRUE(cpu_force_variant(saved));
}

TEST(CpuVariant, LoadsAgreeOnSharedData) {
    if (!shared_data_available()) GTEST_SKIP() << "shared test data not found";
    std::string suite = shared_data_path("conformance/JSONTestSuite/test_parsing");
    for (const std::string& name : list_files(suite)) expect_variants_agree_in_every_mode(read_file(suite + "/" + name), name);
    std::string json5 = shared_data_path("conformance/json5-tests");
    for (const std::string& group : list_files(json5)) {
        for (const std::string& name : list_files(json5 + "/" + group))
            expect_variants_agree_in_every_mode(read_file(json5 + "/" + group + "/" + name), group + "/" + name);
    }
    for (const std::string& path : bench_documents()) {
        bool lines = path.size() > 7 && path.compare(path.size() - 7, 7, ".ndjson") == 0;
        expect_variants_agree(read_file(path), LoadOptions{0, static_cast<uint8_t>(lines)}, path);
    }
}

TEST(CpuVariant, LoadsAgreeOnTheFuzzCorpus) {
    // The first byte of each input chooses strict (bit 0) and JSON Lines (bit 1).
    for (const std::string& name : list_files(TARNWELL_LOAD_FUZZ_CORPUS)) {
        std::string input = read_file(std::string(TARNWELL_LOAD_FUZZ_CORPUS) + "/" + name);
        if (input.empty()) continue;
        LoadOptions options{static_cast<uint8_t>(input[0] & 1), static_cast<uint8_t>((input[0] >> 1) & 1)};
        expect_variants_agree(input.substr(1), options, name);
    }
}

TEST(CpuVariant, LoadsAgreeOnGeneratedShapes) {
    for (GeneratedShape shape : {GeneratedShape::Api, GeneratedShape::Numbers, GeneratedShape::Strings,
                                 GeneratedShape::Deep, GeneratedShape::Wide, GeneratedShape::JsonLines}) {
        for (bool pretty : {false, true}) {
            if (pretty && shape == GeneratedShape::JsonLines) continue;
            std::string text = generate_text(GenerateOptions{shape, 200 << 10, pretty, 7});
            std::string what = std::string(shape_name(shape)) + (pretty ? " pretty" : "");
            expect_variants_agree_in_every_mode(text, what);
            // Cut inside every token near the start, so that each scanner
            // meets the end of the text (and the zero bytes after it) in
            // each position of its vector.
            for (size_t length = 0; length < 700; length++)
                expect_variants_agree(text.substr(0, length), LoadOptions{0, shape == GeneratedShape::JsonLines},
                                      what + " cut at " + std::to_string(length));
        }
    }
}
