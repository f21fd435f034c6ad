// What the writer writes reads back, strictly, as the same values; and 100 MB
// is written with constant extra memory.
#include <gtest/gtest.h>

#include <string>

#include "base/memory.h"
#include "describe/json_writer.h"
#include "generator.h"
#include "load_text.h"
#include "written_compare.h"

namespace {

std::string round_trip(const std::string& text, bool strict_original) {
    DocumentPtr original = strict_original ? load_strict(text) : load_text(text);
    if (!original || node_count(original.get()) == 0) return "the original did not load";
    if (problem_count(original.get()) && !is_records(original.get())) return "original: " + problem_at(original.get());
    for (bool pretty : {false, true}) {
        uint64_t length = 0;
        char* written = json_text(original.get(), 0, pretty, &length);
        if (!written) return "no text";
        DocumentPtr copy = load_strict(std::string(written, length));
        free_text(written);
        std::string fault = compare_written(original.get(), 0, copy.get());
        if (!fault.empty()) return (pretty ? "pretty: " : "minified: ") + fault;
    }
    return "";
}

TEST(JsonRoundTrip, BenchmarkDocumentsAndValidFilesOfJsonTestSuite) {
    if (!shared_data_available()) GTEST_SKIP() << "no shared data";
    for (const std::string& path : bench_documents()) EXPECT_EQ(round_trip(read_file(path), false), "") << path;
    const std::string folder = shared_data_path("conformance/JSONTestSuite/test_parsing");
    int files = 0;
    for (const std::string& name : list_files(folder)) {
        if (name.rfind("y_", 0) != 0) continue;
        EXPECT_EQ(round_trip(read_file(folder + "/" + name), true), "") << name;
        files++;
    }
    EXPECT_GE(files, 95);
}

TEST(JsonRoundTrip, Json5AndRawControlCharacters) {
    const char* const texts[] = {
        "{a:'x\\'y', 'b': \"\\x41\\v\\0\", \"c\\x41\": \"\\u00e9\\x42\", $d: \"line\\\nnext\", e_: [\"\\'\"],}",
        "['\\t', '\x01', '\"\\\\', \"it\\'s \\\r\nok\", '\xFF', 'a\\u2028b\\\xE2\x80\xA8']",
        "[\"a\x01" "b\", \"tab\there\", {\"k\x1F\": \"v\\u0000\", \"new\nline\": \"\\t\"}]",
        "1\n{\"k\":'v'}\n[x\n\"\x02\"\n",
    };
    for (const char* text : texts) EXPECT_EQ(round_trip(text, false), "") << text;
}

TEST(JsonRoundTrip, HundredMegabytesInTwoPassesAndOneAllocation) {
    std::string text = generate_text(GenerateOptions{GeneratedShape::Api, 100 << 20, false, 1});
    DocumentPtr doc = load_text(text);
    ASSERT_EQ(problem_count(doc.get()), 0u);
    mem_test_fail_at(0);  // restarts the allocation count
    uint64_t length = 0;
    char* written = json_text(doc.get(), 0, false, &length);
    uint64_t allocations = mem_test_allocation_count();
    ASSERT_TRUE(written);
    // The container stack of each pass (depth stays within its first 64
    // entries) and the text itself: nothing grows with the size of the value.
    EXPECT_EQ(allocations, 3u);
    EXPECT_TRUE(std::string(written, length) == text) << "minified output differs from the minified source";
    free_text(written);
}

}  // namespace
