// The matcher: case folding in both modes, scopes, fields, marks, errors, the
// regex length cut, and the candidate scan at every vector width against a byte-by-byte search.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/memory.h"
#include "cpu_variants.h"
#include "search/matcher_internal.h"
#include "search_checks.h"

namespace {

const uint8_t* bytes_of(const std::string& text) { return reinterpret_cast<const uint8_t*>(text.data()); }

StatePtr compile(Document* doc, const std::string& query, SearchOptions options = {}, std::string* error = nullptr) {
    char message[128];
    StatePtr state(compile_search(doc, bytes_of(query), query.size(), &options, message, sizeof message));
    if (error) *error = message;
    return state;
}

// Every field that matches, as "key 3" or "value 3".
std::string matched_fields(const std::string& json, const std::string& query, SearchOptions options = {}) {
    DocumentPtr doc = load_text(json);
    StatePtr state = compile(doc.get(), query, options);
    if (!state) return "no state";
    std::string found;
    for (NodeId id = 0; id < node_count(doc.get()); id++) {
        for (bool is_key : {true, false}) {
            int result = field_matches(state.get(), &state->scratch, id, node_at(doc.get(), id), is_key);
            if (result) found += (found.empty() ? "" : ", ") + std::string(is_key ? "key " : "value ") + std::to_string(id);
        }
    }
    return found;
}

// "offset+length" of every mark, then "=count".
std::string marks(const SearchState* state, const std::string& text, bool is_key = false, uint32_t max = 256) {
    std::vector<uint32_t> starts(max), lengths(max);
    uint32_t count = find_marks(state, bytes_of(text), text.size(), is_key, starts.data(), lengths.data(), max);
    std::string out;
    for (uint32_t i = 0; i < count && i < max; i++) out += std::to_string(starts[i]) + "+" + std::to_string(lengths[i]) + " ";
    return out + "=" + std::to_string(count);
}

bool finds(const std::string& query, const std::string& text, uint8_t match_case, uint8_t regex) {
    StatePtr state = compile(nullptr, query, SearchOptions{match_case, regex, 0, 0});
    return find_marks(state.get(), bytes_of(text), text.size(), false, nullptr, nullptr, 0) > 0;
}

TEST(Matcher, FieldsAndScopes) {
    const std::string json = R"({"name":"Ann","k\u0065y":[true,1e5],"Key":{}})";
    // 0 object, 1 "name":"Ann", 2 key (escaped) array, 3 true, 4 1e5, 5 "Key":{}
    EXPECT_EQ(matched_fields(json, "key"), "key 2, key 5");
    EXPECT_EQ(matched_fields(json, "key", SearchOptions{1, 0, 0, 0}), "key 2");
    EXPECT_EQ(matched_fields(json, "1e5"), "value 4");
    EXPECT_EQ(matched_fields(json, "100000"), "");  // numbers match as written
    EXPECT_EQ(matched_fields(json, "tru"), "value 3");
    EXPECT_EQ(matched_fields(json, "{"), "");  // containers are never matched by value
    EXPECT_EQ(matched_fields(json, "^nn", SearchOptions{0, 1, 0, 0}), "");  // anchors refer to the field
    EXPECT_EQ(matched_fields(json, "^an", SearchOptions{0, 1, 0, 0}), "value 1");
    EXPECT_EQ(matched_fields("[\"a\xFF" "b\"]", "a.b", SearchOptions{0, 1, 0, 0}), "value 1");
    EXPECT_EQ(matched_fields("{k5: 'x\\ty'}", "x\ty"), "value 1");
    // ω and Ω: outside the plain fold table, folded by the expression engine.
    EXPECT_FALSE(finds("\xCF\x89", "\xCE\xA9", 0, 0));
    EXPECT_TRUE(finds("\xCF\x89", "\xCE\xA9", 0, 1));
    EXPECT_FALSE(finds("\xCF\x89", "\xCE\xA9", 1, 1));
}

TEST(Matcher, CompileErrors) {
    std::string error = "unchanged";
    EXPECT_FALSE(compile(nullptr, "", SearchOptions{}, &error));
    EXPECT_EQ(error, "");
    EXPECT_FALSE(compile(nullptr, "a\xC0\xAF", SearchOptions{0, 1, 0, 0}, &error));  // an overlong form
    EXPECT_EQ(error, "invalid code point value");
    EXPECT_TRUE(compile(nullptr, "a\xC0\xAF", SearchOptions{}, &error));  // plain mode takes any bytes
    // Messages are cut at a character boundary: 18 bytes would split the first é.
    char small[18];
    SearchOptions regex{0, 1, 0, 0};
    std::string query = "\\k<\xC3\xA9\xC3\xA9>";
    EXPECT_EQ(compile_search(nullptr, bytes_of(query), query.size(), &regex, small, sizeof small), nullptr);
    EXPECT_STREQ(small, "undefined name <");
}

TEST(Matcher, MarksNeverOverlapAndSkipEmptyMatches) {
    StatePtr aa = compile(nullptr, "aa");
    EXPECT_EQ(marks(aa.get(), "aaaa"), "0+2 2+2 =2");
    StatePtr a = compile(nullptr, "a");
    EXPECT_EQ(marks(a.get(), "a-a-a-a-a", false, 2), "0+1 2+1 =5");
    StatePtr star = compile(nullptr, "x*", SearchOptions{0, 1, 0, 0});
    EXPECT_EQ(marks(star.get(), "axb"), "1+1 =1");
    EXPECT_EQ(marks(star.get(), ""), "=0");
    StatePtr e = compile(nullptr, "\xC3\xA9", SearchOptions{0, 1, 0, 0});
    EXPECT_EQ(marks(e.get(), "\xFF\xC3\x89"), "1+2 =1");  // a bad byte keeps the offsets in place
    StatePtr keys = compile(nullptr, "a", SearchOptions{0, 0, 1, 0});
    EXPECT_EQ(marks(keys.get(), "a", true), "0+1 =1");
    EXPECT_EQ(marks(keys.get(), "a", false), "=0");
    EXPECT_EQ(find_marks(nullptr, bytes_of("a"), 1, false, nullptr, nullptr, 0), 0u);
    // Longer than the stack copy: a heap copy with the same answers.
    std::string long_text = std::string(3000, '-') + "aa";
    EXPECT_EQ(marks(aa.get(), long_text), "3000+2 =1");
}

// Byte-by-byte reference: the first position whose folded text begins with
// the folded needle. Folding here goes through a map of the table's pairs.
std::string reference_fold(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        unsigned char byte = text[i];
        bool latin = byte >= 0xC3 && byte <= 0xC5 && i + 1 < text.size() && (text[i + 1] & 0xC0) == 0x80;
        if (!latin) {
            out += char(byte >= 'A' && byte <= 'Z' ? byte + 32 : byte);
            i++;
            continue;
        }
        uint32_t cp = ((byte & 0x1F) << 6) | (text[i + 1] & 0x3F), folded = cp;
        if ((cp >= 0xC0 && cp <= 0xD6) || (cp >= 0xD8 && cp <= 0xDE)) folded = cp + 32;
        else if (cp == 0x130) folded = 'i';
        else if (cp == 0x178) folded = 0xFF;
        else if (((cp >= 0x100 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177)) && cp % 2 == 0) folded = cp + 1;
        else if (((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E)) && cp % 2 == 1) folded = cp + 1;
        if (folded < 0x80) out += char(folded);
        else out += std::string{char(0xC0 | (folded >> 6)), char(0x80 | (folded & 0x3F))};
        i += 2;
    }
    return out;
}

int64_t reference_find(const std::string& text, const std::string& needle, bool match_case) {
    if (match_case) {
        size_t at = text.find(needle);
        return at == std::string::npos ? -1 : int64_t(at);
    }
    std::string target = reference_fold(needle);
    for (size_t p = 0; p < text.size(); p++) {
        std::string folded;
        for (size_t q = p; folded.size() < target.size() && q < text.size();) {
            unsigned char byte = text[q];
            size_t step = byte >= 0xC3 && byte <= 0xC5 && q + 1 < text.size() && (text[q + 1] & 0xC0) == 0x80 ? 2 : 1;
            folded += reference_fold(text.substr(q, step));
            q += step;
        }
        if (folded == target) return int64_t(p);
    }
    return -1;
}

// The pieces hold both ends of each range of the fold table, the pairs that
// cross from one lead byte to another, İ, and letters the table leaves alone
// (× ÷ ß ı ĸ ŉ ſ).
TEST(Matcher, CandidateScanAgreesWithAByteByByteSearch) {
    const char* const pieces[] = {
        "a", "A", "i", "I", "x", "s", "\"", "\xE2\x82\xAC", "\xC4\xB0",
        "\xC3\x80", "\xC3\xA0", "\xC3\x89", "\xC3\xA9", "\xC3\x9E", "\xC3\xBE", "\xC4\x80", "\xC4\x81",
        "\xC4\xB6", "\xC4\xB7", "\xC4\xB9", "\xC4\xBA", "\xC4\xBF", "\xC5\x80", "\xC5\x87", "\xC5\x88",
        "\xC5\x8A", "\xC5\x8B", "\xC5\xB6", "\xC5\xB7", "\xC5\xB8", "\xC3\xBF", "\xC5\xB9", "\xC5\xBA",
        "\xC5\xBD", "\xC5\xBE", "\xC3\x97", "\xC3\xB7", "\xC3\x9F", "\xC4\xB1", "\xC4\xB8", "\xC5\x89",
        "\xC5\xBF"};
    for_each_cpu_variant([&](uint32_t variant) {
        std::mt19937 random(5);
        for (int round = 0; round < 20000; round++) {
            std::string text, needle;
            for (uint32_t i = random() % 40; i > 0; i--) text += pieces[random() % std::size(pieces)];
            for (uint32_t i = random() % 3 + 1; i > 0; i--) needle += pieces[random() % std::size(pieces)];
            uint8_t match_case = random() % 2;
            StatePtr state = compile(nullptr, needle, SearchOptions{match_case, 0, 0, 0});
            // The text sits in a padded buffer, as every matcher input does.
            std::string padded = text + std::string(MATCHER_PADDING, '\0');
            const uint8_t* start = bytes_of(padded);
            PlainMatch match = find_plain(state.get(), start, start + text.size());
            int64_t expected = reference_find(text, needle, match_case);
            ASSERT_EQ(match.start ? int64_t(match.start - start) : -1, expected)
                << cpu_variant_name(variant) << ": needle " << needle << " text " << text << " case " << int(match_case);
        }
    });
}

// Regex positions are int: a field of 2 GB or more is searched in its first
// REGEX_MOST_BYTES, cut before a character it would split. Only bytes near the
// cut are touched; the anchored expression starts there.
TEST(Matcher, RegexSearchesTheFirstTwoGigabytesOfAField) {
    const uint64_t length = REGEX_MOST_BYTES + 16;
    uint8_t* subject = mem_alloc_array<uint8_t>(length + MATCHER_PADDING);
    if (!subject) GTEST_SKIP() << "no address space for a 2 GB field";
    std::memset(subject, 'a', 4096);
    uint8_t* cut = subject + REGEX_MOST_BYTES;
    std::memset(cut - 4096, 'a', 4096 + 16 + MATCHER_PADDING);
    StatePtr anchored = compile(nullptr, "b\\z", SearchOptions{1, 1, 0, 0});
    auto found = [&] {
        return regex_search(anchored->compiled_regex, subject, subject + length, subject, nullptr);
    };
    subject[length - 1] = 'b';  // past the cut
    EXPECT_EQ(found(), -1);
    cut[-1] = 'b';  // the last byte searched
    EXPECT_EQ(found(), int64_t{REGEX_MOST_BYTES} - 1);
    cut[-1] = 0xC3;  // é across the cut: the cut moves back before it
    cut[0] = 0xA9;
    cut[-2] = 'b';
    EXPECT_EQ(found(), int64_t{REGEX_MOST_BYTES} - 2);
    mem_free(subject);
}

}  // namespace
