// Counts, sizes and type summaries, at their boundaries.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "describe/format.h"
#include "load_text.h"

namespace {

std::string count_text(uint64_t value) {
    char out[COUNT_TEXT_SIZE];
    uint32_t length = format_count(value, out, sizeof out);
    EXPECT_EQ(length, std::strlen(out));
    return out;
}

std::string size_text(uint64_t bytes) {
    char out[64];
    uint32_t length = format_size(bytes, out, sizeof out);
    EXPECT_EQ(length, std::strlen(out));
    return out;
}

std::string summary_of(const Document* doc, NodeId id) {
    char out[256];
    type_summary(doc, id, out, sizeof out);
    return out;
}

TEST(FormatCount, GroupsOfThreeFromTheRight) {
    struct Case { uint64_t value; const char* text; };
    const Case cases[] = {
        {0, "0"}, {999, "999"}, {1000, "1,000"}, {1234567, "1,234,567"}, {100000, "100,000"},
        {4294967040ull, "4,294,967,040"}, {~0ull, "18,446,744,073,709,551,615"},
    };
    for (const Case& c : cases) EXPECT_EQ(count_text(c.value), c.text);
    char small[4];
    EXPECT_EQ(format_count(1234567, small, sizeof small), 9u);  // the full length, for a retry
    EXPECT_STREQ(small, "1,2");
}

TEST(FormatCount, AppendCountPicksTheNoun) {
    for (uint64_t value : {0ull, 1ull, 2ull, 1000ull}) {
        TextBuilder builder = tb_growable();
        append_count(&builder, value, "key", "keys");
        std::string expected = count_text(value) + (value == 1 ? " key" : " keys");
        EXPECT_EQ(std::string(reinterpret_cast<char*>(builder.data), builder.length), expected);
        tb_free(&builder);
    }
}

TEST(FormatSize, UnitsAndTenthsCarry) {
    const uint64_t KiB = 1024, MiB = KiB * KiB, GiB = MiB * KiB;
    struct Case { uint64_t bytes; const char* text; };
    const Case cases[] = {
        {0, "0 bytes"},
        {1, "1 byte"},
        {1023, "1,023 bytes"},
        {1024, "1.0 KB"},
        {1536, "1.5 KB"},
        {1075, "1.0 KB"},     // 1.0498 rounds down
        {1076, "1.1 KB"},     // 1.0508 rounds up
        {1048064, "1,023.5 KB"},
        {1048575, "1.0 MB"},  // 1,023.99 KB would print as 1,024.0 KB: the tenth carries on
        {MiB, "1.0 MB"},
        {MiB + MiB / 2, "1.5 MB"},
        {GiB - 1, "1.0 GB"},  // carries through MB into GB
        {5 * GiB, "5.0 GB"},
        {4294967040ull, "4.0 GB"},
        {2048 * GiB, "2,048.0 GB"},  // GB is the last unit
        {~0ull, "17,179,869,184.0 GB"},
    };
    for (const Case& c : cases) EXPECT_EQ(size_text(c.bytes), c.text) << c.bytes;
}

TEST(TypeSummary, EveryKind) {
    struct Case { const char* text; bool json_lines; NodeId id; const char* summary; };
    const Case cases[] = {
        {"{}", false, 0, "object · 0 keys"},
        {"{\"a\":1}", false, 0, "object · 1 key"},
        {"[1]", false, 0, "array · 1 item"},
        {"[[],[1,2]]", false, 2, "array · 2 items"},
        {"1\n2\n", true, 0, "records · 2 records"},
        {"1\n[2]\n", true, 2, "array · 1 item"},  // only the synthetic root is "records"
        {"1 2 3", false, 0, "records · 3 records"},
        {"\"\"", false, 0, "string · 0 characters"},
        {"\"\xC3\xA9\"", false, 0, "string · 1 character"},
        {"\"a\\u00e9\\n\\ud83d\\ude00\"", false, 0, "string · 4 characters"},
        {"\"\\\\ \\\"\"", false, 0, "string · 3 characters"},
        {"\"\xFF\xFE\"", false, 0, "string · 2 characters"},       // each bad byte is one
        {"\"\\t\xFF\"", false, 0, "string · 2 characters"},       // decoded: tab and U+FFFD
        {"['it\\'s']", false, 1, "string · 4 characters"},
        {"\"0123456789abcdef\xC3\xA9" "0123456789abcdef\"", false, 0, "string · 33 characters"},
        {"[-1.5e3]", false, 1, "number"},
        {"[true,false]", false, 2, "boolean"},
        {"null", false, 0, "null"},
        {"1\n{x\n", true, 2, "error"},
    };
    for (const Case& c : cases) {
        DocumentPtr doc = c.json_lines ? load_json_lines(c.text) : load_text(c.text);
        EXPECT_EQ(summary_of(doc.get(), c.id), c.summary) << c.text;
    }
}

TEST(TypeSummary, LongEscapedStringsCountSixteenBytesAtATime) {
    std::string value;
    for (int i = 0; i < 40; i++) value += "ab\\u00e9\xE2\x82\xAC\\n";  // 5 characters each
    DocumentPtr doc = load_text("\"" + value + "\"");
    EXPECT_EQ(summary_of(doc.get(), 0), "string · 200 characters");
}

TEST(TypeSummary, AbsentDocumentBadIdAndSmallBuffers) {
    EXPECT_EQ(summary_of(nullptr, 0), "");
    DocumentPtr doc = load_text("{\"a\":[1,2,3]}");
    EXPECT_EQ(summary_of(doc.get(), 99), "");
    char small[8];
    EXPECT_EQ(type_summary(doc.get(), 0, small, sizeof small), std::strlen("object · 1 key"));
    EXPECT_STREQ(small, "object ");  // the middle dot does not fit whole
    EXPECT_EQ(type_summary(doc.get(), 1, nullptr, 0), std::strlen("array · 3 items"));
}

}  // namespace
