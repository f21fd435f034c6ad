#include "generator.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// splitmix64: small, fast and the same on every platform.
struct Random {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint32_t below(uint32_t n) { return static_cast<uint32_t>(next() % n); }
};

const char* const WORDS[] = {"alpha", "beta", "gamma", "delta", "north", "south", "river", "stone",
                             "café", "naïve", "Zürich", "東京", "данные", "emoji 😀", "línea", "ok"};
constexpr size_t WORD_COUNT = sizeof WORDS / sizeof WORDS[0];

struct Emitter {
    GenerateSink sink;
    void* argument;
    bool pretty;
    std::string buffer;
    uint64_t total = 0;
    std::vector<bool> first;  // per open container: nothing written in it yet
    bool after_key = false;

    void flush() {
        if (buffer.empty()) return;
        sink(argument, buffer.data(), buffer.size());
        total += buffer.size();
        buffer.clear();
    }
    uint64_t size() const { return total + buffer.size(); }
    void raw(const char* text) { buffer += text; }
    void raw(const std::string& text) { buffer += text; }
    void line_break() {
        buffer += '\n';
        buffer.append(2 * first.size(), ' ');
    }
    // Comma and indentation before a member of the open container.
    void prefix() {
        if (after_key) {
            after_key = false;
            return;
        }
        if (first.empty()) return;
        if (!first.back()) buffer += ',';
        first.back() = false;
        if (pretty) line_break();
    }
    void open(char bracket) {
        prefix();
        buffer += bracket;
        first.push_back(true);
    }
    void close(char bracket) {
        bool empty = first.back();
        first.pop_back();
        if (pretty && !empty) line_break();
        buffer += bracket;
        if (buffer.size() >= (1 << 20)) flush();
    }
    void key(const char* name) {
        prefix();
        buffer += '"';
        buffer += name;
        buffer += pretty ? "\": " : "\":";
        after_key = true;
    }
    void value(const std::string& text) {
        prefix();
        buffer += text;
    }
};

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string number_text(Random& r) {
    char text[48];
    switch (r.below(4)) {
    case 0: std::snprintf(text, sizeof text, "%u", r.below(100000)); break;
    case 1: std::snprintf(text, sizeof text, "-%u.%06u", r.below(1000), r.below(1000000)); break;
    case 2: std::snprintf(text, sizeof text, "%u.%u", r.below(100), r.below(100000000)); break;
    default: std::snprintf(text, sizeof text, "%u.%ue%s%u", 1 + r.below(9), r.below(1000), r.below(2) ? "-" : "", r.below(30)); break;
    }
    return text;
}

// Words of prose, some of them non-ASCII.
std::string plain_text(Random& r, uint32_t words) {
    std::string text;
    for (uint32_t i = 0; i < words; i++) {
        if (i) text += ' ';
        text += WORDS[r.below(WORD_COUNT)];
    }
    return text;
}

// Words of prose with escapes among them: line breaks, quotes, backslashes,
// \u escapes (one a surrogate pair) and tabs.
std::string escaped_text(Random& r, uint32_t words) {
    std::string text;
    for (uint32_t i = 0; i < words; i++) {
        if (i) text += ' ';
        switch (r.below(12)) {
        case 0: text += "line\\nbreak"; break;
        case 1: text += "\\\"quoted\\\""; break;
        case 2: text += "back\\\\slash"; break;
        case 3: text += "caf\\u00e9"; break;
        case 4: text += "\\ud83d\\ude00"; break;
        case 5: text += "tab\\tstop"; break;
        default: text += WORDS[r.below(WORD_COUNT)]; break;
        }
    }
    return text;
}

const char* const EVENT_TYPES[] = {"PushEvent", "IssueCommentEvent", "WatchEvent", "CreateEvent",
                                   "PullRequestEvent"};

// One record shaped like the events and accounts of public web APIs: ids,
// a type, a timestamp, a link and a free-text field beside short scalars,
// tags, a nested address and a list of orders.
void api_record(Emitter& e, Random& r, uint64_t id) {
    char text[96];
    e.open('{');
    e.key("id");
    e.value(std::to_string(id));
    e.key("type");
    e.value(quoted(EVENT_TYPES[r.below(5)]));
    e.key("created_at");
    std::snprintf(text, sizeof text, "\"2026-%02u-%02uT%02u:%02u:%02uZ\"", 1 + r.below(12), 1 + r.below(28), r.below(24),
                  r.below(60), r.below(60));
    e.value(text);
    e.key("url");
    std::snprintf(text, sizeof text, "\"https://api.example.com/accounts/%llu/profile\"",
                  static_cast<unsigned long long>(id));
    e.value(text);
    e.key("bio");
    e.value(quoted(plain_text(r, 4 + r.below(12))));
    e.key("name");
    e.value(quoted(std::string(WORDS[r.below(WORD_COUNT)]) + " " + WORDS[r.below(WORD_COUNT)]));
    e.key("email");
    std::snprintf(text, sizeof text, "\"user%llu@example.com\"", static_cast<unsigned long long>(id));
    e.value(text);
    e.key("active");
    e.value(r.below(2) ? "true" : "false");
    e.key("score");
    e.value(number_text(r));
    e.key("deleted_at");
    e.value("null");
    e.key("tags");
    e.open('[');
    for (uint32_t i = r.below(5); i > 0; i--) e.value(quoted(WORDS[r.below(WORD_COUNT)]));
    e.close(']');
    e.key("address");
    e.open('{');
    e.key("street");
    e.value(quoted(plain_text(r, 3)));
    e.key("zip");
    std::snprintf(text, sizeof text, "\"%05u\"", r.below(100000));
    e.value(text);
    e.key("geo");
    e.open('[');
    e.value(number_text(r));
    e.value(number_text(r));
    e.close(']');
    e.close('}');
    e.key("orders");
    e.open('[');
    for (uint32_t i = r.below(4); i > 0; i--) {
        e.open('{');
        e.key("sku");
        std::snprintf(text, sizeof text, "\"SKU-%06u\"", r.below(1000000));
        e.value(text);
        e.key("quantity");
        e.value(std::to_string(1 + r.below(20)));
        e.key("price");
        e.value(number_text(r));
        e.close('}');
    }
    e.close(']');
    e.close('}');
}

void numbers_record(Emitter& e, Random& r) {
    e.open('[');
    uint32_t count = 2 + r.below(2) * (1 + r.below(16));
    for (uint32_t i = 0; i < count; i++) e.value(number_text(r));
    e.close(']');
}

void strings_record(Emitter& e, Random& r) {
    if (r.below(200) == 0) {
        // A long string: tens of kilobytes on one line.
        std::string text;
        uint32_t words = 2000 + r.below(8000);
        text.reserve(words * 8);
        text = escaped_text(r, words);
        e.value(quoted(text));
        return;
    }
    e.value(quoted(escaped_text(r, 1 + r.below(12))));
}

void deep_record(Emitter& e, Random& r) {
    uint32_t levels = 100 + r.below(400);
    for (uint32_t i = 0; i < levels; i++) {
        if (i % 2) {
            e.open('{');
            e.key("next");
        } else {
            e.open('[');
        }
    }
    e.value(number_text(r));
    for (uint32_t i = levels; i-- > 0;) e.close(i % 2 ? '}' : ']');
}

void wide_member(Emitter& e, Random& r, uint64_t index) {
    char key[32];
    std::snprintf(key, sizeof key, "key_%llu", static_cast<unsigned long long>(index));
    e.key(key);
    e.open('[');
    e.value(std::to_string(index));
    e.value(quoted(WORDS[r.below(WORD_COUNT)]));
    e.close(']');
}

}  // namespace

bool parse_shape(const char* name, GeneratedShape* shape) {
    const GeneratedShape shapes[] = {GeneratedShape::Api,  GeneratedShape::Numbers, GeneratedShape::Strings,
                                     GeneratedShape::Deep, GeneratedShape::Wide,    GeneratedShape::JsonLines};
    for (GeneratedShape candidate : shapes) {
        if (std::strcmp(name, shape_name(candidate)) == 0) {
            *shape = candidate;
            return true;
        }
    }
    return false;
}

const char* shape_name(GeneratedShape shape) {
    switch (shape) {
    case GeneratedShape::Api: return "api";
    case GeneratedShape::Numbers: return "numbers";
    case GeneratedShape::Strings: return "strings";
    case GeneratedShape::Deep: return "deep";
    case GeneratedShape::Wide: return "wide";
    case GeneratedShape::JsonLines: return "jsonl";
    }
    return "?";
}

void generate_document(const GenerateOptions& options, GenerateSink sink, void* argument) {
    Random r{options.seed};
    bool lines = options.shape == GeneratedShape::JsonLines;
    Emitter e{sink, argument, options.pretty && !lines, {}, 0, {}, false};
    uint64_t id = 0;
    if (lines) {
        while (e.size() < options.target_bytes) {
            api_record(e, r, id++);
            // About one line in a thousand is cut short, unless closing the
            // record has just flushed it.
            if (r.below(1000) == 0 && e.buffer.size() > 20) e.buffer.resize(e.buffer.size() - 1 - r.below(20));
            e.raw("\n");
            if (e.buffer.size() >= (1 << 20)) e.flush();
        }
        e.flush();
        return;
    }
    bool wide = options.shape == GeneratedShape::Wide;
    e.open(wide ? '{' : '[');
    while (e.size() < options.target_bytes) {
        switch (options.shape) {
        case GeneratedShape::Api: api_record(e, r, id++); break;
        case GeneratedShape::Numbers: numbers_record(e, r); break;
        case GeneratedShape::Strings: strings_record(e, r); break;
        case GeneratedShape::Deep: deep_record(e, r); break;
        case GeneratedShape::Wide: wide_member(e, r, id++); break;
        case GeneratedShape::JsonLines: break;
        }
        if (e.buffer.size() >= (1 << 20)) e.flush();
    }
    e.close(wide ? '}' : ']');
    e.flush();
}

std::string generate_text(const GenerateOptions& options) {
    std::string text;
    text.reserve(options.target_bytes + (1 << 20));
    generate_document(
        options, [](void* argument, const char* bytes, size_t length) { static_cast<std::string*>(argument)->append(bytes, length); },
        &text);
    return text;
}
