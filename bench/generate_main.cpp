// generate: writes a deterministic test document of a given size and shape.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "generator.h"

namespace {

int usage() {
    std::fputs(
        "usage: generate --shape api|numbers|strings|deep|wide|jsonl --size N[K|M|G] [--pretty] [--seed N] [-o FILE]\n"
        "Writes a JSON document of at least N bytes (to standard output without -o).\n",
        stderr);
    return 2;
}

bool parse_size(const char* text, uint64_t* size) {
    char* end = nullptr;
    unsigned long long value = std::strtoull(text, &end, 10);
    if (end == text) return false;
    uint64_t unit = 1;
    if (*end == 'K' || *end == 'k') unit = 1ull << 10, end++;
    else if (*end == 'M' || *end == 'm') unit = 1ull << 20, end++;
    else if (*end == 'G' || *end == 'g') unit = 1ull << 30, end++;
    *size = value * unit;
    return *end == 0;
}

}  // namespace

int main(int argc, char** argv) {
    GenerateOptions options;
    const char* output = nullptr;
    bool have_size = false;
    for (int i = 1; i < argc; i++) {
        const char* arg = argv[i];
        bool has_value = i + 1 < argc;
        if (std::strcmp(arg, "--shape") == 0 && has_value) {
            if (!parse_shape(argv[++i], &options.shape)) return usage();
        } else if (std::strcmp(arg, "--size") == 0 && has_value) {
            if (!parse_size(argv[++i], &options.target_bytes)) return usage();
            have_size = true;
        } else if (std::strcmp(arg, "--seed") == 0 && has_value) {
            options.seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (std::strcmp(arg, "--pretty") == 0) {
            options.pretty = true;
        } else if (std::strcmp(arg, "-o") == 0 && has_value) {
            output = argv[++i];
        } else {
            return usage();
        }
    }
    if (!have_size) return usage();
    FILE* out = output ? std::fopen(output, "wb") : stdout;
    if (!out) {
        std::perror(output);
        return 1;
    }
    generate_document(
        options, [](void* argument, const char* bytes, size_t length) { std::fwrite(bytes, 1, length, static_cast<FILE*>(argument)); },
        out);
    bool failed = std::ferror(out) != 0;
    if (output) failed |= std::fclose(out) != 0;
    return failed ? 1 : 0;
}
