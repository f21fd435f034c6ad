// A deterministic generator of large JSON test documents: the same options
// always give the same bytes, so tests and benchmarks need no committed files.
#pragma once

#include <cstdint>
#include <string>

enum class GeneratedShape {
    Api,        // an array of API-like records: mixed kinds, nested objects and arrays
    Numbers,    // an array of coordinate pairs and number rows (integers, decimals, exponents)
    Strings,    // an array of strings: escapes, non-ASCII text, some very long strings
    Deep,       // an array of chains nested hundreds of levels deep
    Wide,       // one object with a huge number of keys, each holding a short array
    JsonLines,  // one API record per line, with a few broken lines
};

struct GenerateOptions {
    GeneratedShape shape = GeneratedShape::Api;
    uint64_t target_bytes = 1 << 20;  // generation stops at the first record boundary past this
    bool pretty = false;              // two-space indentation (not for JSON Lines)
    uint64_t seed = 1;
};

// Receives the text in pieces of about 1 MB.
using GenerateSink = void (*)(void* argument, const char* bytes, size_t length);

void generate_document(const GenerateOptions& options, GenerateSink sink, void* argument);
std::string generate_text(const GenerateOptions& options);

// "api", "numbers", "strings", "deep", "wide", "jsonl"; false for anything else.
bool parse_shape(const char* name, GeneratedShape* shape);
const char* shape_name(GeneratedShape shape);
