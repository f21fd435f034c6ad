// Every allocation of a load, made to fail in turn: no crash, no leak, and
// either no Document (out of memory) or a sound one that says it ran out.
#include <gtest/gtest.h>

#include <cstring>

#include "alloc_sweep.h"
#include "document_invariants.h"
#include "load_text.h"

namespace {

void sweep(const std::string& text, LoadOptions options) {
    SCOPED_TRACE(text.substr(0, 40));
    DocumentPtr reference = load_text(text, options);
    ASSERT_TRUE(reference);
    ASSERT_EQ(memory_problem_index(reference.get()), NO_NODE);
    uint64_t allocations = sweep_allocation_failures([&](uint64_t n) {
        // The text buffer is the first allocation: without it the load has
        // nothing to read and reports exhausted memory.
        uint8_t* buffer = alloc_text_buffer(text.size());
        if (buffer) std::memcpy(buffer, text.data(), text.size());
        uint32_t outcome = 99;
        Document* doc = load_document(buffer, text.size(), &options, nullptr, &outcome);
        if (!doc) {
            EXPECT_EQ(outcome, LOAD_OUT_OF_MEMORY) << "allocation " << n;
            return;
        }
        EXPECT_EQ(outcome, LOAD_SUCCESS);
        EXPECT_EQ(check_document_invariants(doc), "") << "allocation " << n;
        bool same = node_count(doc) == node_count(reference.get()) &&
                    problem_count(doc) == problem_count(reference.get()) &&
                    line_count(doc) == line_count(reference.get());
        if (!same) EXPECT_NE(memory_problem_index(doc), NO_NODE) << "allocation " << n << " lost data silently";
        release(doc);
    });
    EXPECT_GT(allocations, 3u);
}

TEST(LoadAllocation, VariedInputs) {
    std::string nested = "{\"a\":[1,{\"b\":" + std::string(80, '[') + std::string(80, ']') + "},2], // c\n\"x\":null}";
    std::string wide = "[", lines;
    for (int i = 0; i < 5000; i++) wide += (i ? ",[" : "[") + std::to_string(i) + ",{\"k\":1}]\n";
    for (int i = 0; i < 300; i++) lines += (i % 7 == 3) ? "{\"broken\":\n" : "{\"ok\":[1,2,3]}\n";
    sweep(nested, {});
    sweep(wide + "]", {});
    sweep(lines, {});
    sweep(lines, {0, 1});
    sweep("1 2 {\"a\":\n} [x\n[3]", {});
    sweep(utf16_text(u"[1, {\"a\": \"b\"}, [true, null]]"), {});
    sweep("[\"" + std::string(LARGE_COUNT, 'x') + "\", 1]", {});
}

}  // namespace

// A line-start table that cannot grow must stop the parse at its next check:
// reading on would give nodes whose lines cannot be told.
TEST(LoadAllocation, LineTableThatCannotGrowStopsTheParse) {
    std::string text = "[\n";
    for (int i = 0; i < 3000; i++) text += "  " + std::to_string(i) + ",\n";
    text += "  0\n]\n";
    uint32_t stopped_runs = 0;
    sweep_allocation_failures([&](uint64_t n) {
        DocumentPtr doc = load_text(text);
        if (!doc) return;
        uint32_t memory = memory_problem_index(doc.get());
        if (memory == NO_NODE) return;
        uint32_t at = doc->problems[memory].offset;
        uint32_t later = 0;
        for (NodeId id = 0; id < node_count(doc.get()); id++) later += value_offset(doc.get(), id) > at;
        EXPECT_LE(later, 1u) << "allocation " << n << ": read on past where memory ran out";
        stopped_runs += line_count(doc.get()) > 1 && node_count(doc.get()) > 2;
    });
    EXPECT_GT(stopped_runs, 0u);  // some run ran out in the middle of the array
}
