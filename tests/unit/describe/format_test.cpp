// Counts, sizes and type summaries, at their boundaries.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "describe/format.h"
#include "load_text.h"

namespace {

TEST(Format, CountsAndSizes) {
    const std::pair<uint64_t, const char*> counts[] = {
        {0, "0"}, {999, "999"}, {1000, "1,000"}, {100000, "100,000"}, {~0ull, "18,446,744,073,709,551,615"},
    };
    for (const auto& [value, text] : counts) {
        char out[COUNT_TEXT_SIZE];
        EXPECT_EQ(format_count(value, out, sizeof out), std::strlen(text));
        EXPECT_STREQ(out, text);
    }
    const uint64_t GiB = 1ull << 30;
    const std::pair<uint64_t, const char*> sizes[] = {
        {1, "1 byte"}, {1023, "1,023 bytes"}, {1024, "1.0 KB"}, {1075, "1.0 KB"}, {1076, "1.1 KB"},
        {1048064, "1,023.5 KB"}, {1048575, "1.0 MB"},  // 1,023.99 KB would show as 1,024.0 KB
        {GiB - 1, "1.0 GB"}, {2048 * GiB, "2,048.0 GB"}, {~0ull, "17,179,869,184.0 GB"},
    };
    for (const auto& [bytes, text] : sizes) {
        char out[64];
        EXPECT_EQ(format_size(bytes, out, sizeof out), std::strlen(text));
        EXPECT_STREQ(out, text) << bytes;
    }
}

TEST(Format, TypeSummaries) {
    std::string long_escaped = "\"";
    for (int i = 0; i < 40; i++) long_escaped += "ab\\u00e9\xE2\x82\xAC\\n";  // 5 characters each
    struct Case { std::string text; NodeId id; const char* summary; };
    const Case cases[] = {
        {"{}", 0, "object · 0 keys"}, {"[[],[1,2]]", 2, "array · 2 items"},
        {"1 2 3", 0, "records · 3 records"}, {"\"\"", 0, "string · 0 characters"},
        {"\"\xC3\xA9\"", 0, "string · 1 character"}, {"\"\\t\xFF\\ud83d\\ude00\"", 0, "string · 3 characters"},
        {"['it\\'s']", 1, "string · 4 characters"}, {long_escaped + "\"", 0, "string · 200 characters"},
        {"[-1.5e3,true,null]", 1, "number"}, {"[1]", 2, ""},
    };
    for (const Case& c : cases) {
        DocumentPtr doc = load_text(c.text);
        char out[256];
        type_summary(doc.get(), c.id, out, sizeof out);
        EXPECT_STREQ(out, c.summary) << c.text;
    }
    DocumentPtr doc = load_text("{\"a\":1}");
    char small[8];
    EXPECT_EQ(type_summary(doc.get(), 0, small, sizeof small), std::strlen("object · 1 key"));
    EXPECT_STREQ(small, "object ");  // the middle dot does not fit whole
}

}  // namespace
