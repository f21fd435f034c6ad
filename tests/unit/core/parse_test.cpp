// What the scanners and the structural parser accept, and where and how they stop.
#include <gtest/gtest.h>

#include <regex>
#include <vector>

#include "load_text.h"

namespace {

using namespace SyntaxFeatures;

// Each case: a text, whether strict, the first problem as "message@offset"
// ("" for none), and the syntax features it leaves.
TEST(Parse, ProblemsAndFeatures) {
    const struct { const char* text; bool strict; const char* problem; uint32_t features; } cases[] = {
        {"[\"a\tb\"]", false, "", RawControlChars}, {"[\"a\tb\"]", true, "control character in string@3", 0},
        {"[\"\\x41\\v\"]", false, "", Json5}, {"[\"\\x41\"]", true, "invalid escape@2", 0},
        {"[\"\\01\"]", false, "invalid escape@2", 0}, {"[\"\\0\"]", false, "", Json5},
        {"[\"\\u12G4\"]", false, "invalid escape@2", 0}, {"[\"\\u12", false, "unterminated string@1", 0},
        {"[\"a\\\nb\", \"c\\\r\nd\", \"e\\\rf\", \"g\\\xE2\x80\xA8h\"]", false, "", Json5},
        {"[1.,1.e5,.5,+1,-Infinity,NaN,0x1F,-0XaB]", false, "", Json5}, {"[0x1F]", true, "invalid number@1", 0},
        {"[+1]", true, "expected a value@1", 0}, {"[Infinityx]", false, "invalid literal@1", 0},
        {"[1 2]", false, "expected , or ] after a value@3", 0}, {"{\"a\" 1}", false, "expected : after the key@5", 0},
        {"{\"a\":1 \"b\"}", false, "expected , or } after a value@7", 0}, {"{\"a\"", false, "unexpected end of file@4", 0},
        {"[1]]", false, "unexpected text after the JSON value@3", 0}, {"[1 //c\n]", true, "comments are not allowed@3", 0},
        {"  ", true, "expected a value@2", 0}, {"[1] /* open", false, "unexpected end of file@11", 0},
        {"{\"a\":1,}", true, "trailing comma@6", 0}, {"[1,\f2]", false, "expected a value@3", 0},
        {"{/*x*/\"a\"/*y*/:/*z*/1/*w*/,/*v*/}", false, "", Comments | TrailingCommas},
        {"{a:1}", true, "expected a key in double quotes@1", 0},
        {"{a\\u0062:1}", false, "expected : after the key@2", Json5},
    };
    for (const auto& c : cases) {
        DocumentPtr doc = load_text(c.text, LoadOptions{c.strict, 0});
        ASSERT_TRUE(doc) << c.text;
        EXPECT_EQ(problem_at(doc.get()), c.problem) << c.text << (c.strict ? " (strict)" : "");
        EXPECT_EQ(features(doc.get()), c.features) << c.text;
    }
    std::string nul("[\"a\0b\"]", 7);
    EXPECT_EQ(features(load_text(nul).get()), RawControlChars);  // a zero byte inside the text is a control character
    DocumentPtr doc = load_text("{a:1, 'b':2, \"\\x41\":/*x*/3, d:[1.,0x1F,2]}");
    const Document* d = doc.get();
    EXPECT_EQ(key_offset(d, 2), 6u);
    EXPECT_EQ(node_flags(d, 2), NodeFlags::Json5Form);
    EXPECT_EQ(node_flags(d, 3), NodeFlags::Json5Form | NodeFlags::KeyEscaped);
    EXPECT_EQ(key_of(d, 3), "A");
    EXPECT_EQ(node_flags(d, 5), NodeFlags::Json5Form);  // 1.
    EXPECT_EQ(node_flags(d, 7), 0u);
}

// Numbers are read in steps of 16 and 32 bytes; random ones with digit runs
// of every length up to 40 (so that integers, points and fractions fall on
// both sides of each step) must be accepted exactly when they are JSON numbers.
TEST(Parse, NumbersOfEveryLengthAgainstTheGrammar) {
    const std::regex json_number("-?(0|[1-9][0-9]*)(\\.[0-9]+)?([eE][+-]?[0-9]+)?");
    const char* pieces[] = {"-", ".", "e", "E+", "e-", "0", "00", "5"};
    uint32_t seed = 777;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
    for (int i = 0; i < 3000; i++) {
        std::string number;
        for (uint32_t part = 0, parts = 1 + next() % 4; part < parts; part++) {
            if (next() % 3 == 0) number += pieces[next() % std::size(pieces)];
            for (uint32_t digit = 0, run = next() % 41; digit < run; digit++) number += char('1' + next() % 9);
        }
        if (number.empty()) continue;
        DocumentPtr doc = load_strict("[" + number + "]");
        bool valid = std::regex_match(number, json_number);
        ASSERT_EQ(problem_at(doc.get()).empty(), valid) << number;
        if (valid) ASSERT_EQ(source_of(doc.get(), 1), number);
    }
}

// A key is first tried at the length of the key last met at the same depth
// and place among the members. Keys of lengths around the vector widths,
// escaped or holding a control byte, shuffled over the same places, must
// each read as written.
TEST(Parse, KeysOfChangingLengthsAtOnePlace) {
    const struct { std::string raw, decoded; } keys[] = {
        {"", ""}, {"a", "a"}, {"ab", "ab"}, {"a\\\"b", "a\"b"}, {"x\\u0041", "xA"}, {"t\tb", "t\tb"},
        {std::string(14, 'k'), std::string(14, 'k')}, {std::string(15, 'k'), std::string(15, 'k')},
        {std::string(16, 'k'), std::string(16, 'k')}, {std::string(31, 'k'), std::string(31, 'k')},
        {std::string(32, 'k'), std::string(32, 'k')}, {std::string(15, 'k') + "\\n", std::string(15, 'k') + "\n"},
    };
    uint32_t seed = 31;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
    std::string text = "[";
    std::vector<std::string> expected;
    for (int object = 0; object < 400; object++) {
        text += object ? ",{" : "{";
        for (int member = 0; member < 3; member++) {
            const auto& key = keys[next() % std::size(keys)];
            text += (member ? ",\"" : "\"") + key.raw + "\":" + std::to_string(member);
            expected.push_back(key.decoded);
        }
        text += "}";
    }
    DocumentPtr doc = load_text(text + "]");
    ASSERT_EQ(problem_at(doc.get()), "");
    size_t next_key = 0;
    for (NodeId id = 1; id < node_count(doc.get()); id++) {
        if (has_key(doc.get(), id)) ASSERT_EQ(key_of(doc.get(), id), expected[next_key++]) << id;
    }
    EXPECT_EQ(next_key, expected.size());
}

// Long rows of numbers are read many at a time; a space after each comma
// sends the same row through the one-at-a-time scan. Rows of random
// number-like tokens (valid and not, some long enough to cross the 64-byte
// reads) must give the same values, flags and first problem either way.
TEST(Parse, NumberRowsReadLikeOneByOne) {
    const char* tokens[] = {"0", "7", "-0", "12", "0.5", "-3.25", "1e5", "0123456789012345678", "1.", "01", "-",
                            "1.2.3", "--1", "0x1F", "-.5", "1-2", "00", "9.", "-0.000001", "1.5e-3", "12.34.56",
                            "1..2", ".5", "-00", "", "0.25-"};
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
    for (int row = 0; row < 400; row++) {
        std::string tight = "[", spaced = "[";
        uint32_t length = 3 + next() % 60;
        for (uint32_t i = 0; i < length; i++) {
            // Mostly valid plain numbers, so that rows run long before a bad token.
            uint32_t pick = next() % 100;
            const char* token = tokens[pick < 90 ? pick % 7 : 7 + pick % (std::size(tokens) - 7)];
            if (i > 0) tight += ",", spaced += ", ";
            tight += token, spaced += token;
        }
        tight += "]", spaced += "]";
        for (bool strict : {false, true}) {
            DocumentPtr a = load_text(tight, LoadOptions{strict, 0});
            DocumentPtr b = load_text(spaced, LoadOptions{strict, 0});
            ASSERT_EQ(node_count(a.get()), node_count(b.get())) << tight;
            for (NodeId id = 1; id < node_count(a.get()); id++) {
                ASSERT_EQ(source_of(a.get(), id), source_of(b.get(), id)) << tight;
                ASSERT_EQ(node_flags(a.get(), id), node_flags(b.get(), id)) << tight;
            }
            std::string problem = problem_at(a.get()), expected = problem_at(b.get());
            ASSERT_EQ(problem.substr(0, problem.find('@')), expected.substr(0, expected.find('@'))) << tight;
        }
    }
}

TEST(Parse, HundredThousandLevelsAndNoMore) {
    const size_t levels = 100000;
    std::string deep(levels, '[');
    deep += std::string(levels, ']');
    DocumentPtr doc = load_text(deep);
    ASSERT_TRUE(doc);
    EXPECT_EQ(problem_count(doc.get()), 0u);
    EXPECT_EQ(node_count(doc.get()), levels);
    EXPECT_EQ(depth(doc.get(), levels - 1), levels - 1);
    EXPECT_EQ(value_length(doc.get(), 0), 2 * levels);
    std::string deeper = std::string(levels + 1, '[') + std::string(levels + 1, ']');
    DocumentPtr too_deep = load_text(deeper);
    EXPECT_EQ(problem_at(too_deep.get()), "nesting deeper than 100,000 levels@100000");
    EXPECT_EQ(node_count(too_deep.get()), levels);
    EXPECT_EQ(node_flags(too_deep.get(), 0), NodeFlags::Unclosed);
}

TEST(Parse, LargeLengthsMoveToTheLargeCounts) {
    for (uint32_t length : {LARGE_COUNT - 1, LARGE_COUNT}) {
        std::string big = "[\"" + std::string(length - 2, 'x') + "\"]";
        DocumentPtr doc = load_text(big);
        ASSERT_TRUE(doc);
        bool large = (doc.get()->node_chunks[0][1].packed & NodePacked::Large) != 0;
        EXPECT_EQ(large, length >= LARGE_COUNT);
        EXPECT_EQ(value_length(doc.get(), 1), length);
        EXPECT_EQ(copy_value(doc.get(), 1, nullptr, 0), length - 2u);
        EXPECT_EQ(value_length(doc.get(), 0), length + 2);
    }
}

}  // namespace
