// The search run: its match list against a field-by-field search on random
// documents, batches and progress, the limit, cancellation and exhausted
// memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "alloc_sweep.h"
#include "progress_log.h"
#include "search_checks.h"

namespace {

// A small document made of pieces that stress the plain scan: escapes, folded
// letters, JSON5 keys, numbers and literals, with containers in between.
struct RandomJson {
    std::mt19937 rng;
    explicit RandomJson(uint32_t seed) : rng(seed) {}

    uint32_t pick(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng); }

    std::string key() {
        static const char* const KEYS[] = {"\"name\"",      "\"Name\"",     "\"k\\u0065y\"", "\"\xC3\x89t\xC3\xA9\"",
                                           "\"\xC4\xB0" "d\"", "\"ab\"",       "'ab'",          "ab",
                                           "\"\"",          "\"a\\nb\"",    "\"iota\"",      "\"\xC5\xB8" "es\""};
        return KEYS[pick(std::size(KEYS))];
    }

    std::string scalar() {
        static const char* const VALUES[] = {"\"Ann\"",   "\"ann\\u0041\"", "\"b\\\"a\"", "\"\xC3\xBF" "es\"",
                                             "\"\"",      "\"a\"",          "1e5",        "-0.5",
                                             "0x1F",      "true",           "null",       "false",
                                             "\"x:ab\"",  "\"\\\\n\"",      "'ab'",       "\"name ab\""};
        return VALUES[pick(std::size(VALUES))];
    }

    std::string value(int depth) {
        uint32_t choice = pick(depth > 3 ? 1 : 4);
        if (choice == 0) return scalar();
        bool object = choice == 1;
        std::string text = object ? "{" : "[";
        uint32_t count = pick(5);
        for (uint32_t i = 0; i < count; i++) {
            if (i) text += pick(4) ? "," : " ,\n ";
            if (object) text += key() + (pick(2) ? ":" : " : ");
            text += value(depth + 1);
        }
        return text + (object ? "}" : "]");
    }

    std::string query(const std::string& text) {
        static const char* const WORDS[] = {"a", "ab", "name", "NAME", "e", "\xC3\xA9", "i", "I", "\xC3\xBF",
                                            "1e", "tru", "n", "\"", ":", "x", "b\"a", "nn"};
        if (pick(3)) return WORDS[pick(std::size(WORDS))];
        size_t start = pick(static_cast<uint32_t>(text.size()));
        return text.substr(start, 1 + pick(3));  // may span a quote, a colon or two fields
    }
};

const char* const REGEXES[] = {"^a", "b$", "[0-9]+", "\\d", "a|x", "(?i)name", "\xC3\xA9", ".", "^$", "n.m"};

TEST(SearchRun, MatchesEqualAFieldByFieldSearch) {
    RandomJson random(7);
    for (int round = 0; round < 300; round++) {
        std::string text = random.value(0);
        bool records = round % 5 == 0;  // JSON Lines, with a broken line now and then
        if (records) text = random.value(1) + "\n{\"ab\": [1,\n" + random.value(1) + "\n";
        LoadOptions load{};
        load.json_lines = records ? 1 : 0;
        DocumentPtr doc = load_text(text, load);
        ASSERT_TRUE(doc);
        for (int q = 0; q < 6; q++) {
            std::string query = random.query(text);
            SearchOptions options{static_cast<uint8_t>(random.pick(2)), 0, static_cast<uint8_t>(random.pick(3)), 0};
            if (q == 5) {
                options.regex = 1;
                query = REGEXES[random.pick(std::size(REGEXES))];
            }
            EXPECT_EQ(search_all(doc.get(), query, options), naive_matches(doc.get(), query, options))
                << "text " << text << "\nquery " << query << " case " << int(options.match_case) << " scope "
                << int(options.scope) << " regex " << int(options.regex);
        }
    }
}

TEST(SearchRun, BatchesEndAtEveryMillionNodesAndChunkEnd) {
    // Matches on both sides of node 1,000,000 and of the chunk end at 2^20.
    std::vector<NodeId> expected = {2, 999999, 1000000, 1000001, 1048575, 1048576, 1048577, 1100000};
    std::vector<uint32_t> elements;
    for (NodeId id : expected) elements.push_back(id - 1);
    DocumentPtr doc = load_text(numbers(1100000, elements));
    ASSERT_EQ(node_count(doc.get()), 1100001u);
    for (uint8_t regex : {0, 1}) {
        StatePtr state = compile_query(doc.get(), "7", SearchOptions{0, regex, 0, 0});
        ProgressLog log;
        ProgressContext progress = log.context();
        EXPECT_EQ(run_search(state.get(), &progress), SEARCH_FINISHED);
        EXPECT_EQ(match_list(state.get()), expected);
        EXPECT_TRUE(is_finished(state.get()));
        EXPECT_FALSE(limit_reached(state.get()));
        uint64_t length = text_length(doc.get());
        EXPECT_EQ(log.reports, (ProgressReports{{value_offset(doc.get(), 1000000), length}, {length, length}}));
    }
}

TEST(SearchRun, CancellingKeepsWhatWasFoundAndNeverFinishes) {
    DocumentPtr doc = load_text(numbers(1100000, {5, 1099000}));
    for (uint8_t regex : {0, 1}) {
        StatePtr state = compile_query(doc.get(), "7", SearchOptions{1, regex, 0, 0});
        ProgressLog log;
        log.cancel_at = 1;
        ProgressContext progress = log.context();
        EXPECT_EQ(run_search(state.get(), &progress), SEARCH_CANCELLED);
        EXPECT_EQ(match_list(state.get()), std::vector<NodeId>{6});
        EXPECT_FALSE(is_finished(state.get()));
        log.cancel.store(0);
        EXPECT_EQ(run_search(state.get(), &progress), SEARCH_CANCELLED);  // a state runs once
        EXPECT_EQ(log.reports.size(), 1u);
    }
}

TEST(SearchRun, StopsAtTheLimit) {
    DocumentPtr doc = load_text(R"(["a","b","a","a","a","a"])");
    struct Case { uint32_t limit; std::vector<NodeId> matches; bool reached; };
    const Case cases[] = {{1, {1}, true}, {5, {1, 3, 4, 5, 6}, true}, {6, {1, 3, 4, 5, 6}, false}};
    for (const Case& c : cases) {
        StatePtr state = compile_query(doc.get(), "a", plain_options(0, SearchScope::All, c.limit));
        EXPECT_EQ(run_search(state.get(), nullptr), SEARCH_FINISHED);
        EXPECT_EQ(match_list(state.get()), c.matches) << c.limit;
        EXPECT_EQ(limit_reached(state.get()), c.reached) << c.limit;
        EXPECT_TRUE(is_finished(state.get()));
    }
}

TEST(SearchRun, OutOfMemoryKeepsTheMatchesFoundSoFar) {
    // Two blocks of matches, and escaped values that must be decoded.
    std::string text = "[\"\\u0061\"";
    for (uint32_t i = 0; i < MATCH_BLOCK_SIZE + 5; i++) text += ",\"a\"";
    text += ",\"b\\u0061\"]";
    DocumentPtr doc = load_text(text);
    std::vector<NodeId> full = search_all(doc.get(), "a");
    ASSERT_EQ(full.size(), MATCH_BLOCK_SIZE + 7);
    bool saw_failure = false;
    sweep_allocation_failures([&](uint64_t) {
        StatePtr state = compile_query(doc.get(), "a");
        if (!state) return;
        uint32_t status = run_search(state.get(), nullptr);
        std::vector<NodeId> found = match_list(state.get());
        if (status == SEARCH_FINISHED) {
            EXPECT_EQ(found, full);
            return;
        }
        saw_failure = true;
        EXPECT_EQ(status, SEARCH_OUT_OF_MEMORY);
        EXPECT_FALSE(is_finished(state.get()));
        EXPECT_LT(found.size(), full.size());
        EXPECT_TRUE(std::equal(found.begin(), found.end(), full.begin()));
    });
    EXPECT_TRUE(saw_failure);
}

TEST(SearchRun, ProgressPerMilleHoldsForTextsOfFourGigabytes) {
    const struct { uint64_t done, total; uint32_t per_mille; } cases[] = {
        {0, 0, 1000}, {0, 10, 0}, {5, 10, 500}, {11, 10, 1000},
        {4000000000u, MAX_TEXT_LENGTH, 931}, {MAX_TEXT_LENGTH - 1, MAX_TEXT_LENGTH, 999}};
    for (const auto& c : cases) EXPECT_EQ(progress_per_mille(c.done, c.total), c.per_mille) << c.done;
}

}  // namespace
