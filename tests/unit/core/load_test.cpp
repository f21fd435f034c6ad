// load_document: outcomes, byte-order marks, UTF-16, progress and cancellation,
// long lines.
#include <gtest/gtest.h>

#include <vector>

#include "base/memory.h"
#include "core/utf16.h"
#include "load_text.h"

namespace {

std::string utf16(const std::u16string& units, bool big_endian) {
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : units) {
        char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += big_endian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

TEST(Load, Outcomes) {
    uint32_t outcome = 99;
    EXPECT_EQ(load_document(nullptr, 4, nullptr, nullptr, &outcome), nullptr);
    EXPECT_EQ(outcome, LOAD_OUT_OF_MEMORY);
    uint8_t* buffer = alloc_text_buffer(1);
    EXPECT_EQ(load_document(buffer, 4294967041ull, nullptr, nullptr, &outcome), nullptr);  // frees the buffer
    EXPECT_EQ(outcome, LOAD_TOO_LARGE);
    std::atomic<uint32_t> cancel{1};
    LoadProgress progress{nullptr, nullptr, &cancel};
    EXPECT_EQ(load_text("[1]", {}, &progress, &outcome), nullptr);
    EXPECT_EQ(outcome, LOAD_CANCELLED);
    EXPECT_TRUE(load_text("not json at all", {}, nullptr, &outcome));
    EXPECT_EQ(outcome, LOAD_SUCCESS);
    Document* empty = load_document(alloc_text_buffer(0), 0, nullptr, nullptr, nullptr);  // no outcome pointer
    EXPECT_NE(empty, nullptr);
    release(empty);
}

TEST(Load, ByteOrderMarks) {
    DocumentPtr bom = load_text("\xEF\xBB\xBF");
    EXPECT_EQ(text_length(bom.get()), 0u);
    EXPECT_STREQ(encoding_label(bom.get()), "UTF-8 with BOM");
    EXPECT_EQ(form(bom.get()), DocumentForm::Empty);
    DocumentPtr bom_text = load_text("\xEF\xBB\xBF[1]");
    EXPECT_EQ(source_of(bom_text.get(), 0), "[1]");
    DocumentPtr le = load_text("\xFF\xFE");
    EXPECT_STREQ(encoding_label(le.get()), "UTF-16 LE");
    EXPECT_EQ(text_length(le.get()), 0u);
}

TEST(Load, Utf16BothByteOrders) {
    for (bool big_endian : {false, true}) {
        DocumentPtr doc = load_text(utf16(u"[1]", big_endian));
        ASSERT_TRUE(doc);
        EXPECT_STREQ(encoding_label(doc.get()), big_endian ? "UTF-16 BE" : "UTF-16 LE");
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(text(doc.get())), text_length(doc.get())), "[1]");
        // é, 😀 (a surrogate pair), a lone low surrogate, a high surrogate
        // without partner, and a high surrogate as the last unit.
        std::u16string units = u"[\"\u00e9\U0001F600\xDC00\xD800x\"]\xD800";
        DocumentPtr mixed = load_text(utf16(units, big_endian) + (big_endian ? "" : "\x20"));
        std::string expected = "[\"\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD\xEF\xBF\xBDx\"]\xEF\xBF\xBD";
        if (!big_endian) expected += "\xEF\xBF\xBD";  // the odd last byte
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(text(mixed.get())), text_length(mixed.get())), expected);
    }
}

TEST(Load, Utf16MeasuresInSixtyFourBits) {
    // A pass reports the full UTF-8 length and never writes past its capacity.
    std::string units;
    for (int i = 0; i < 100; i++) units.append("\x00\x4E", 2);  // U+4E00, three bytes each in UTF-8
    uint64_t produced = 0;
    std::vector<uint8_t> out(10, 0xAA);
    auto in = reinterpret_cast<const uint8_t*>(units.data());
    ASSERT_EQ(convert_utf16(in, units.size(), false, out.data(), 4, nullptr, &produced), Utf16Status::Done);
    EXPECT_EQ(produced, 300u);
    EXPECT_EQ(out[3], 0xAA);  // only whole characters that fit are stored
    EXPECT_EQ(out[0], 0xE4);
}

TEST(Load, ProgressReachesTheEnd) {
    struct Seen { uint64_t done = 0, total = 0; int calls = 0; } seen;
    LoadProgress progress{[](void* argument, uint64_t done, uint64_t total) {
                              auto* s = static_cast<Seen*>(argument);
                              s->done = done;
                              s->total = total;
                              s->calls++;
                          },
                          &seen, nullptr};
    std::string big = "[" + std::string(20 << 20, ' ') + "1]";
    DocumentPtr doc = load_text(big, {}, &progress);
    ASSERT_TRUE(doc);
    EXPECT_GE(seen.calls, 2);  // a checkpoint at 16 MiB, then the end
    EXPECT_EQ(seen.done, big.size());
    EXPECT_EQ(seen.total, big.size());
}

TEST(Load, CancelAtACheckpoint) {
    std::atomic<uint32_t> cancel{0};
    LoadProgress progress{[](void* argument, uint64_t, uint64_t) {
                              static_cast<std::atomic<uint32_t>*>(argument)->store(1);
                          },
                          &cancel, &cancel};
    std::string big = "[\"" + std::string(40 << 20, 'x') + "\"]";
    uint32_t outcome = 0;
    EXPECT_EQ(load_text(big, {}, &progress, &outcome), nullptr);
    EXPECT_EQ(outcome, LOAD_CANCELLED);
}

TEST(Load, LongLines) {
    EXPECT_EQ(has_long_lines(load_text("[\"" + std::string(30000, 'x') + "\"]").get()), 1);
    std::string exact = "[" + std::string(9998, ' ') + "]\r\n[1]";
    EXPECT_EQ(has_long_lines(load_text(exact).get()), 0);
    std::string over = "[" + std::string(9999, ' ') + "]\r\n[1]";
    EXPECT_EQ(has_long_lines(load_text(over).get()), 1);
    EXPECT_EQ(has_long_lines(load_text("").get()), 0);
}

TEST(Load, LineStartsAreCompletedAfterAnError) {
    DocumentPtr doc = load_text("[1,\n2,\nx\n3\n4]");
    EXPECT_EQ(problem_at(doc.get()), "expected a value@7");
    EXPECT_EQ(line_count(doc.get()), 5u);
    EXPECT_EQ(problem_info(doc.get(), 0)->line, 3u);
    EXPECT_EQ(problem_info(doc.get(), 0)->column, 1u);
}

}  // namespace
