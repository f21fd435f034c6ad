// text_view_bench: building the pretty text view of a generated document of
// tens of millions of Nodes and the source text view of a commented one, the
// memory per line, and how soon a cancelled build stops. Prints medians and a
// checksum of the line table.
//
// usage: text_view_bench [--nodes N] [--runs N]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/load.h"
#include "bench_timing.h"
#include "generator.h"
#include "views/text_view.h"

namespace {

// With `commented`, the text is pretty-printed and begins with a comment, so
// that building source text scans the gaps of every Node for comments.
Document* load_generated(uint32_t wanted_nodes, bool commented) {
    // An API document has about one Node per 14 bytes, or 23 pretty-printed;
    // generate a little more.
    uint64_t bytes = uint64_t{wanted_nodes} * (commented ? 24 : 15);
    std::string text = generate_text(GenerateOptions{GeneratedShape::Api, bytes, commented, 1});
    if (commented) text.insert(0, "// generated\n");
    uint8_t* buffer = alloc_text_buffer(text.size());
    if (!buffer) return nullptr;
    std::memcpy(buffer, text.data(), text.size());
    LoadOptions options{};
    uint32_t outcome = 0;
    return load_document(buffer, text.size(), &options, nullptr, &outcome);
}

uint64_t checksum(const TextView* view) {
    uint64_t sum = 0;
    for (uint32_t line = 0; line < view->line_count; line++) sum = sum * 31 + view->lines[line];
    return sum;
}

void bench_build(Document* doc, uint32_t mode, int runs) {
    std::vector<double> times;
    TextView* view = nullptr;
    for (int run = 0; run < runs; run++) {
        release_text_view(view);
        uint32_t outcome = 0;
        auto start = BenchClock::now();
        view = build_text_view(doc, mode, nullptr, &outcome);
        times.push_back(seconds_since(start));
        if (!view) {
            std::fprintf(stderr, "build failed: %u\n", outcome);
            std::exit(1);
        }
    }
    if (mode == TEXT_PRETTY) {
        std::printf("  pretty  median %.3f s over %d runs: %u lines, %.2f bytes per line, checksum %016" PRIx64 "\n",
                    median(times), runs, view->line_count, 4.0 * view->line_count / view->line_count, checksum(view));
    } else {
        std::printf("  source  median %.3f s over %d runs: %u lines, %s\n", median(times), runs, view->line_count,
                    view->comment_lines ? "comments scanned, one bit per line" : "no comments to scan");
    }
    release_text_view(view);
}

// Progress points seen by a build that is cancelled at its `cancel_at`-th.
struct CancelLog {
    std::atomic<uint32_t> cancel{0};
    int reports = 0;
    int cancel_at = 0;
    BenchClock::time_point last;
    BenchClock::time_point cancelled;
    double longest_step = 0;
};

void bench_cancel(Document* doc) {
    CancelLog log;
    log.cancel_at = 8;
    log.last = BenchClock::now();
    ProgressContext progress{[](void* argument, uint64_t, uint64_t) {
                                 CancelLog* log = static_cast<CancelLog*>(argument);
                                 BenchClock::time_point now = BenchClock::now();
                                 log->longest_step = std::max(log->longest_step, std::chrono::duration<double>(now - log->last).count());
                                 log->last = now;
                                 if (++log->reports == log->cancel_at) {
                                     log->cancelled = now;
                                     log->cancel.store(1);
                                 }
                             },
                             &log, &log.cancel};
    uint32_t outcome = 0;
    TextView* view = build_text_view(doc, TEXT_PRETTY, &progress, &outcome);
    double stopped = seconds_since(log.cancelled);
    std::printf("  cancel  set at progress point %d: outcome %u, %s, stopped %.1f ms later "
                "(longest step between points %.1f ms), %d points reported\n",
                log.cancel_at, outcome, view ? "a view" : "no view", stopped * 1e3, log.longest_step * 1e3,
                log.reports);
    release_text_view(view);
}

}  // namespace

int main(int argc, char** argv) {
    uint32_t nodes = 20000000;
    int runs = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--nodes") == 0) nodes = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
        else if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
    }
    for (bool commented : {false, true}) {
        auto start = BenchClock::now();
        Document* doc = load_generated(nodes, commented);
        if (!doc) {
            std::fprintf(stderr, "could not generate and load the document\n");
            return 1;
        }
        std::printf("text view: %.0f MB API document%s, %u nodes, %u lines (generated and loaded in %.1f s)\n",
                    text_length(doc) / 1e6, commented ? ", pretty, with a comment" : "", node_count(doc),
                    line_count(doc), seconds_since(start));
        bench_build(doc, commented ? TEXT_SOURCE : TEXT_PRETTY, runs);
        if (!commented) bench_cancel(doc);
        release(doc);
    }
    return 0;
}
