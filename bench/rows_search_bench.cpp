// rows_search_bench: expand_all on a document of tens of millions of Nodes,
// and run_search over a large document side by side with `grep -F -c` on the
// same file. Prints medians, ratios and checksums.
//
// usage: rows_search_bench [--nodes N] [--search-mb N] [--runs N] [--tmp DIR]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/memory.h"
#include "core/load.h"
#include "bench_timing.h"
#include "generator.h"
#include "search/match_list.h"
#include "search/matcher.h"
#include "search/search_run.h"
#include "views/row_model.h"

namespace {

// A generated text in a padded buffer of the loader's kind.
struct Text {
    uint8_t* bytes = nullptr;
    uint64_t length = 0;
    uint64_t capacity = 0;
};

void append_to_text(void* argument, const char* bytes, size_t length) {
    Text* text = static_cast<Text*>(argument);
    if (text->length + length + TEXT_PADDING > text->capacity) {
        uint64_t capacity = std::max<uint64_t>(text->capacity * 2, text->length + length + TEXT_PADDING);
        text->bytes = static_cast<uint8_t*>(mem_realloc(text->bytes, capacity));
        if (!text->bytes) {
            std::fprintf(stderr, "out of memory while generating\n");
            std::exit(1);
        }
        text->capacity = capacity;
    }
    std::memcpy(text->bytes + text->length, bytes, length);
    text->length += length;
}

Text generate(GeneratedShape shape, uint64_t bytes, bool pretty) {
    Text text;
    GenerateOptions options;
    options.shape = shape;
    options.target_bytes = bytes;
    options.pretty = pretty;
    generate_document(options, append_to_text, &text);
    append_to_text(&text, "", 0);
    std::memset(text.bytes + text.length, 0, TEXT_PADDING);
    return text;
}

// Loads a generated text; the benchmark cannot go on without it.
Document* load_or_exit(const Text& text) {
    uint32_t outcome = 0;
    LoadOptions options{};
    Document* doc = load_document(text.bytes, text.length, &options, nullptr, &outcome);
    if (!doc) {
        std::fprintf(stderr, "load failed: %u\n", outcome);
        std::exit(1);
    }
    return doc;
}

void bench_expand_all(uint32_t wanted_nodes, int runs) {
    // An API document has about one Node per 14 bytes; generate a little more.
    auto start = BenchClock::now();
    Text text = generate(GeneratedShape::Api, uint64_t{wanted_nodes} * 15, false);
    Document* doc = load_or_exit(text);
    std::printf("row model: %.0f MB API document, %u nodes (generated and loaded in %.1f s)\n",
                text.length / 1e6, node_count(doc), seconds_since(start));
    RowModel* model = create_row_model(doc);
    std::vector<double> expand_times, collapse_times;
    for (int run = 0; run < runs; run++) {
        collapse_all(model);
        auto expand_start = BenchClock::now();
        expand_all(model);
        expand_times.push_back(seconds_since(expand_start));
        auto collapse_start = BenchClock::now();
        collapse_all(model);
        collapse_times.push_back(seconds_since(collapse_start));
    }
    expand_all(model);
    uint64_t row_bytes = uint64_t{model->row_capacity} * sizeof(uint32_t);
    uint64_t bit_bytes = (uint64_t{model->node_count} + 63) / 64 * sizeof(uint64_t);
    std::printf("  expand_all   median %.3f s over %d runs (rows %u, expanded %u)\n", median(expand_times), runs,
                row_count(model), expanded_count(model));
    std::printf("  collapse_all median %.3f s (rows afterwards: the root and its children)\n", median(collapse_times));
    std::printf("  memory after expand_all: rows %.1f MB (%.2f bytes per row), bits %.1f MB (%.2f bits per node)\n",
                row_bytes / 1e6, double(row_bytes) / row_count(model), bit_bytes / 1e6,
                8.0 * bit_bytes / model->node_count);
    release_row_model(model);
    release(doc);
}

double time_grep(const std::string& flags, const std::string& needle, const std::string& path, std::string* answer) {
    std::string command = "grep " + flags + " -e '" + needle + "' '" + path + "'";
    auto start = BenchClock::now();
    FILE* pipe = popen(command.c_str(), "r");
    char line[64] = {};
    if (!pipe || !std::fgets(line, sizeof line, pipe)) line[0] = 0;
    if (pipe) pclose(pipe);
    double elapsed = seconds_since(start);
    *answer = line;
    if (!answer->empty() && answer->back() == '\n') answer->pop_back();
    return elapsed;
}

struct SearchOutcome {
    uint32_t status;
    uint32_t matches;
    uint64_t id_sum;  // a checksum of the match list
};

// Compiles and runs one search over the whole Document, as a Search Job does.
SearchOutcome run_one_search(Document* doc, const char* needle, uint8_t match_case, uint8_t regex) {
    SearchOptions options{match_case, regex, 0, 0};
    SearchState* state = compile_search(doc, reinterpret_cast<const uint8_t*>(needle), std::strlen(needle), &options,
                                        nullptr, 0);
    std::atomic<uint32_t> cancel{0};
    uint64_t reports = 0;
    ProgressContext progress{[](void* argument, uint64_t, uint64_t) { ++*static_cast<uint64_t*>(argument); },
                             &reports, &cancel};
    SearchOutcome outcome{run_search(state, &progress), match_count(state), 0};
    for (uint32_t i = 0; i < outcome.matches; i++) outcome.id_sum += match_at(state, i);
    release_search(state);
    return outcome;
}

// find_plain alone over the whole text, as a plain search scans it between
// the Nodes it has to look at: returns how many occurrences it met.
uint64_t scan_whole_text(Document* doc, const char* needle, uint8_t match_case) {
    SearchOptions options{match_case, 0, 0, 0};
    SearchState* state = compile_search(doc, reinterpret_cast<const uint8_t*>(needle), std::strlen(needle), &options,
                                        nullptr, 0);
    const uint8_t* at = text(doc);
    const uint8_t* end = at + text_length(doc);
    uint64_t found = 0;
    for (PlainMatch match = find_plain(state, at, end); match.start; match = find_plain(state, match.end, end)) found++;
    release_search(state);
    return found;
}

// run_search over a loaded Document against `grep -F -c` on the same file,
// for a needle that never occurs and one found in about a million Nodes.
void bench_search(uint64_t megabytes, int runs, const std::string& folder) {
    Text text = generate(GeneratedShape::Api, megabytes << 20, true);
    std::string path = folder + "/rows_search_bench.json";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(text.bytes, 1, text.length, file) != text.length) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::fclose(file);
    auto load_start = BenchClock::now();
    Document* doc = load_or_exit(text);
    std::printf("search: %.0f MB pretty API document, %u nodes, loaded in %.1f s, in %s\n", text.length / 1e6,
                node_count(doc), seconds_since(load_start), path.c_str());
    // Ignoring case, ours is still compared with grep matching case: the bar
    // is grep's plain scan, and both find the same fields.
    // The regular expression runs against grep -E with the same pattern.
    struct Needle {
        const char* text;
        uint8_t match_case;
        uint8_t regex;
        const char* grep_text;
    } needles[] = {{"qzxj-never", 1, 0, "qzxj-never"}, {"qzxj-never", 0, 0, "qzxj-never"}, {"user1", 1, 0, "user1"},
                   {"USER1", 0, 0, "user1"}, {"user1[0-9]{3}@", 1, 1, "user1[0-9]{3}@"}};
    std::printf("  %-14s %-6s %9s %14s %10s %10s %7s %s\n", "needle", "mode", "matches", "id checksum",
                "run_search", "grep", "ratio", "grep -c lines");
    struct PlainFigures {
        const char* needle;
        uint64_t occurrences;
        double find_plain, grep;
    };
    std::vector<PlainFigures> plain_figures;
    for (const Needle& needle : needles) {
        std::vector<double> ours, theirs, scans;
        SearchOutcome outcome{};
        uint64_t occurrences = 0;
        std::string grep_answer;
        // Alternate them so that all see the same machine load.
        for (int run = 0; run < runs; run++) {
            auto start = BenchClock::now();
            outcome = run_one_search(doc, needle.text, needle.match_case, needle.regex);
            ours.push_back(seconds_since(start));
            theirs.push_back(time_grep(needle.regex ? "-E -c" : "-F -c", needle.grep_text, path, &grep_answer));
            if (!needle.regex && needle.match_case) {
                start = BenchClock::now();
                occurrences = scan_whole_text(doc, needle.text, needle.match_case);
                scans.push_back(seconds_since(start));
            }
        }
        std::printf("  %-14s %-6s %9u %14" PRIu64 " %8.3f s %8.3f s %6.2fx %s%s\n", needle.text,
                    needle.regex ? "regex" : needle.match_case ? "match" : "ignore", outcome.matches, outcome.id_sum, median(ours),
                    median(theirs), median(theirs) / median(ours), grep_answer.c_str(),
                    outcome.status == SEARCH_FINISHED ? "" : "  (the run did not finish)");
        if (!scans.empty()) plain_figures.push_back({needle.text, occurrences, median(scans), median(theirs)});
    }
    std::printf("  find_plain alone over the whole text, against the same grep runs:\n");
    for (const PlainFigures& figures : plain_figures) {
        std::printf("  %-14s %9" PRIu64 " occurrences %8.3f s %8.3f s %6.2fx\n", figures.needle, figures.occurrences,
                    figures.find_plain, figures.grep, figures.grep / figures.find_plain);
    }
    std::remove(path.c_str());
    release(doc);
}

}  // namespace

int main(int argc, char** argv) {
    uint32_t nodes = 20000000;
    uint64_t search_megabytes = 1024;
    int runs = 5;
    std::string folder = "/tmp";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--nodes") == 0) nodes = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
        else if (std::strcmp(argv[i], "--search-mb") == 0) search_megabytes = std::strtoull(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--runs") == 0) runs = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--tmp") == 0) folder = argv[i + 1];
    }
    if (nodes) bench_expand_all(nodes, runs);
    if (search_megabytes) bench_search(search_megabytes, runs, folder);
    return 0;
}
