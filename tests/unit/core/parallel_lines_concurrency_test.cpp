// JSON Lines read in pieces, with progress, on several threads at once: the
// Document is the one-thread one and nothing is shared unguarded. Built on
// its own under ThreadSanitizer as well (the tsan preset).
#include <gtest/gtest.h>

#include "parallel_load.h"
#include "progress_log.h"

TEST(ParallelLinesConcurrency, PiecesAgreeWithOneThread) {
    // 40 MB, about 40 pieces: the threads read, place and count progress
    // side by side.
    std::string text;
    for (uint32_t i = 0; text.size() < (40u << 20); i++)
        text += i % 1000 == 3 ? "{\"cut\": [1,\n" : "{\"id\":" + std::to_string(i) + ",\"tags\":[\"a\",\"b\"],\"s\":\"" +
                                                         std::string(200, 'x') + "\"}\n";
    ProgressLog log;
    LoadProgress progress = log.context();
    DocumentPtr one = load_on_threads(text, LoadOptions{0, 1}, 1);
    DocumentPtr many = load_on_threads(text, LoadOptions{0, 1}, 4, &progress);
    ASSERT_TRUE(one && many);
    EXPECT_EQ(document_difference(one.get(), many.get()), "");
}
