// JSON Lines read in pieces on several threads builds exactly the Document
// one thread builds: on lines of every kind cut at every line start, on the
// shared suites and generated shapes, across node chunks, when memory runs
// out at any allocation, and with progress and cancellation.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <random>

#include "alloc_sweep.h"
#include "document_invariants.h"
#include "generator.h"
#include "parallel_load.h"
#include "progress_log.h"

namespace {

const LoadOptions READINGS[] = {{0, 1}, {1, 1}, {0, 0}};  // JSON Lines, strict, and chosen by the loader

// Random lines of what a reader meets: good and bad records, blank lines,
// CR LF, comments and strings running into the next line (after an escaped
// quote), JSON5, containers with a child index, and lines longer than a piece.
std::string random_lines(uint32_t seed, uint32_t lines) {
    static const char* const PARTS[] = {
        "{\"a\":1,\"b\":[true,null,\"x\\\"y\"]}", "", "  \t", "[1,2", "\"open\\\"\nstill\"", "/* a\nb */ 3", "1 // c",
        "{\"k\":\"v\"}\r", "1 2", "tru", "{a:'b', c:+1,}", "[[[[[]]]]]", "\"tab\there\"", "/* never closed",
        "\"\\u00e9\\x41\"", "{\"k\":\n1}", "[1,2,3]\r", "x", "\"\\\r\n\"",
    };
    constexpr uint32_t PART_COUNT = std::size(PARTS);
    std::mt19937 random(seed);
    std::string text;
    for (uint32_t i = 0; i < lines; i++) {
        uint32_t pick = random() % (PART_COUNT + 2);
        if (pick < PART_COUNT) {
            text += PARTS[pick];
        } else if (pick == PART_COUNT) {
            text += "[0";
            for (uint32_t k = 1; k < 70 + random() % 40; k++) text += "," + std::to_string(k);
            text += "]";
        } else {
            text += "\"" + std::string(3000, 'z') + "\"";
        }
        text += "\n";
    }
    return text;
}

TEST(ParallelLines, AgreesOnRandomLinesCutAtEveryLineStart) {
    for (uint32_t seed = 1; seed <= 30; seed++) {
        std::string text = random_lines(seed, 60);
        // 32 threads make about one piece per line; two cut at eighths,
        // which move as the text is cut shorter.
        for (LoadOptions options : READINGS)
            EXPECT_EQ(parallel_difference(text, options, 32), "") << "seed " << seed;
        for (size_t length = text.size() / 2; length <= text.size(); length += 97)
            EXPECT_EQ(parallel_difference(text.substr(0, length), LoadOptions{0, 1}, 2), "") << "seed " << seed;
    }
}

TEST(ParallelLines, AgreesOnSharedDataAndGeneratedShapes) {
    if (!shared_data_available()) GTEST_SKIP() << "shared test data not found";
    std::vector<std::string> texts;
    std::string suite = shared_data_path("conformance/JSONTestSuite/test_parsing");
    for (const std::string& name : list_files(suite)) texts.push_back(read_file(suite + "/" + name));
    std::string json5 = shared_data_path("conformance/json5-tests");
    for (const std::string& group : list_files(json5)) {
        for (const std::string& name : list_files(json5 + "/" + group)) texts.push_back(read_file(json5 + "/" + group + "/" + name));
    }
    std::string all;
    for (const std::string& text : texts) {
        all += text + "\n";
        for (LoadOptions options : READINGS) EXPECT_EQ(parallel_difference(text, options, 32), "") << text.substr(0, 60);
    }
    for (LoadOptions options : READINGS) EXPECT_EQ(parallel_difference(all, options, 5), "");
    for (GeneratedShape shape : {GeneratedShape::Api, GeneratedShape::Numbers, GeneratedShape::Strings,
                                 GeneratedShape::Deep, GeneratedShape::Wide, GeneratedShape::JsonLines}) {
        std::string text = generate_text(GenerateOptions{shape, 100 << 10, shape != GeneratedShape::JsonLines, 5});
        for (uint32_t threads : {3, 32}) EXPECT_EQ(parallel_difference(text, LoadOptions{0, 1}, threads), "") << shape_name(shape);
    }
}

TEST(ParallelLines, AgreesAcrossNodeChunks) {
    // About 2.6 chunks of Nodes, with a child index on the root and on a
    // record every so often: each thread count starts the pieces at other
    // slots of their chunks.
    std::string text;
    for (uint32_t i = 0; text.size() < (5u << 20); i++) text += i % 5000 == 7 ? random_lines(i, 3) : "[1,2,3,4,5,6,7]\n";
    DocumentPtr one = load_on_threads(text, LoadOptions{0, 1}, 1);
    ASSERT_GT(node_count(one.get()), 2 * NODE_CHUNK_SIZE);
    for (uint32_t threads : {2, 3, 5}) {
        DocumentPtr many = load_on_threads(text, LoadOptions{0, 1}, threads);
        EXPECT_EQ(document_difference(one.get(), many.get()), "") << threads << " threads";
    }
}

TEST(ParallelLines, RunningOutOfMemoryGivesWhatOneThreadGives) {
    std::string text = random_lines(7, 120);
    DocumentPtr reference = load_on_threads(text, LoadOptions{0, 1}, 1);
    ForcedThreads forced(3);
    for (bool every_later : {false, true}) {
        sweep_allocation_failures(
            [&](uint64_t n) {
                // The text buffer may be the allocation that fails.
                uint8_t* buffer = alloc_text_buffer(text.size());
                if (buffer) std::memcpy(buffer, text.data(), text.size());
                LoadOptions options{0, 1};
                uint32_t outcome = 0;
                DocumentPtr doc(load_document(buffer, text.size(), &options, nullptr, &outcome));
                if (!doc) {
                    EXPECT_EQ(outcome, LOAD_OUT_OF_MEMORY) << "allocation " << n;
                    return;
                }
                EXPECT_EQ(check_document_invariants(doc.get()), "") << "allocation " << n;
                // Only the child index may go quietly, as when its lists
                // cannot grow on one thread; anything else lost says so.
                std::string difference = document_difference(reference.get(), doc.get());
                if (difference.empty() || difference.rfind("child index", 0) == 0) return;
                EXPECT_NE(memory_problem_index(doc.get()), NO_NODE) << "allocation " << n << ": " << difference;
                // One failure inside the pieces or their join has the text
                // read again on one thread, which then has the memory the
                // pieces gave back: only a root that could not be made is lost.
                if (!every_later) EXPECT_EQ(node_count(doc.get()), 0u) << "allocation " << n << ": " << difference;
            },
            every_later);
    }
}

TEST(ParallelLines, ProgressAndCancellation) {
    // 48 MB of long lines with one line of 20 MB, whose piece passes a
    // checkpoint of its own: both kinds of count are summed.
    std::string line = "{\"s\":\"" + std::string(4000, 'a') + "\"}\n", text;
    while (text.size() < (48u << 20)) {
        text += line;
        if (text.size() > (9u << 20) && text.size() < (9u << 20) + line.size())
            text += "[\"" + std::string(20u << 20, 'b') + "\"]\n";
    }
    ProgressLog alone, shared;
    LoadProgress alone_progress = alone.context(), shared_progress = shared.context();
    ASSERT_TRUE(load_on_threads(text, LoadOptions{0, 1}, 1, &alone_progress));
    ASSERT_TRUE(load_on_threads(text, LoadOptions{0, 1}, 2, &shared_progress));
    EXPECT_LE(shared.reports.size(), alone.reports.size());
    EXPECT_GE(shared.reports.size(), 2u);
    for (size_t i = 1; i < shared.reports.size(); i++) EXPECT_LE(shared.reports[i - 1].first, shared.reports[i].first);
    for (const auto& [done, total] : shared.reports) EXPECT_LE(done, total);
    EXPECT_EQ(shared.reports.back(), std::make_pair(uint64_t{text.size()}, uint64_t{text.size()}));
    ProgressLog cancelling;
    cancelling.cancel_at = 1;
    LoadProgress cancel_progress = cancelling.context();
    uint32_t outcome = 0;
    EXPECT_FALSE(load_on_threads(text, LoadOptions{0, 1}, 2, &cancel_progress, &outcome));
    EXPECT_EQ(outcome, LOAD_CANCELLED);
}

}  // namespace
