// What the writer writes reads back, strictly, as the same values.
#include <gtest/gtest.h>

#include <string>

#include "describe/json_writer.h"
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

}  // namespace
