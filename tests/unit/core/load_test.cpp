// load_document: the size limit, byte-order marks, UTF-16, progress and
// cancellation, line starts and long lines.
#include <gtest/gtest.h>

#include "base/memory.h"
#include "load_text.h"
#include "progress_log.h"

namespace {

TEST(Load, OneByteOverTheLimitIsTooLarge) {
    uint32_t outcome = 99;
    EXPECT_EQ(load_document(alloc_text_buffer(1), MAX_TEXT_LENGTH + 1ull, nullptr, nullptr, &outcome), nullptr);
    EXPECT_EQ(outcome, LOAD_TOO_LARGE);
}

TEST(Load, ByteOrderMarksAndUtf16) {
    struct Case { std::string bytes; const char* label; std::string text; };
    const Case cases[] = {
        {"\xEF\xBB\xBF", "UTF-8 with BOM", ""}, {"\xFF\xFE", "UTF-16 LE", ""},
        // é, 😀 (a surrogate pair), a lone low surrogate, a high surrogate
        // without partner, a high surrogate as the last unit, an odd last byte.
        {utf16_text(u"[\"\u00e9\U0001F600\xDC00\xD800x\"]\xD800", true), "UTF-16 BE",
         "[\"\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD\xEF\xBF\xBDx\"]\xEF\xBF\xBD"},
        {utf16_text(u"[1]\xD800") + " ", "UTF-16 LE", "[1]\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        DocumentPtr doc = load_text(c.bytes);
        EXPECT_STREQ(encoding_label(doc.get()), c.label);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(text(doc.get())), text_length(doc.get())), c.text);
    }
}

TEST(Load, ProgressReachesTheEndAndCancelStopsAtTheNextCheckpoint) {
    std::string big = "[\"" + std::string(40 << 20, 'x') + "\"]";
    for (size_t cancel_at : {0, 1}) {
        ProgressLog log;
        log.cancel_at = cancel_at;
        LoadProgress progress = log.context();
        uint32_t outcome = 99;
        DocumentPtr doc = load_text(big, {}, &progress, &outcome);
        EXPECT_EQ(outcome, cancel_at ? LOAD_CANCELLED : LOAD_SUCCESS);
        ASSERT_EQ(log.reports.size(), cancel_at ? 1u : 3u);  // checkpoints at 16 and 32 MiB, then the end
        EXPECT_EQ(log.reports.back().second, big.size());
        if (!cancel_at) EXPECT_EQ(log.reports.back().first, big.size());
    }
}

TEST(Load, LongLinesPassTenThousandBytes) {
    for (uint32_t spaces : {9998u, 9999u}) {
        std::string text = "[" + std::string(spaces, ' ') + "]\r\n[1]";
        EXPECT_EQ(has_long_lines(load_text(text).get()), spaces == 9999) << spaces;
    }
    EXPECT_EQ(has_long_lines(load_text("").get()), 0);
}

// Line breaks are skipped with a guess at the indentation. Whatever the
// blanks between tokens (indentation deeper than one vector, tabs, CR LF,
// ", \n", blank lines), the line starts follow every line feed and the
// values are those of the same text written without blanks.
TEST(Load, LineStartsFollowEveryLineFeed) {
    uint32_t seed = 4242;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
    std::string spaced, tight;
    auto blank = [&] {
        const char* breaks[] = {"", " ", "\n", "\r\n", " \n", "\n\n", "\n\t"};
        for (uint32_t n = 1 + (next() % 4 == 0); n > 0; n--) {
            spaced += breaks[next() % std::size(breaks)];
            spaced += std::string(next() % 3 ? 4 * (next() % 4) : next() % 40, ' ');
        }
    };
    auto token = [&](const char* text) { spaced += text, tight += text; };
    for (int record = 0; record < 300; record++) {
        token(record ? "," : "[");
        blank();
        token("{\"a\":");
        blank();
        token(next() % 2 ? "[1,\"x\"" : "[true");
        blank();
        token(",{}]");
        blank();
        token(",\"b\":-2.5e3}");
        blank();
    }
    token("]");
    DocumentPtr a = load_text(spaced), b = load_text(tight);
    std::vector<uint32_t> starts = {0};
    for (uint32_t i = 0; i < spaced.size(); i++)
        if (spaced[i] == '\n') starts.push_back(i + 1);
    ASSERT_EQ(line_count(a.get()), starts.size());
    for (uint32_t line = 0; line < starts.size(); line++) ASSERT_EQ(line_start(a.get(), line), starts[line]) << line;
    ASSERT_EQ(problem_count(a.get()), 0u);
    ASSERT_EQ(node_count(a.get()), node_count(b.get()));
    for (NodeId id = 0; id < node_count(a.get()); id++) {
        if (kind(a.get(), id) >= NodeKind::String) ASSERT_EQ(source_of(a.get(), id), source_of(b.get(), id)) << id;
        ASSERT_EQ(subtree_end(a.get(), id), subtree_end(b.get(), id)) << id;
    }
}

}  // namespace
