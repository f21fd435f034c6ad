// load_bench: load throughput of load_document, at each vector width this
// CPU runs, against simdjson's DOM parser (its widest kernel) and RapidJSON
// (normal and in-situ), side by side on the same bytes; and the generated
// JSON Lines read on one thread against several.
//
// Only the parse call is timed, for every parser; buffers are prepared before
// it and documents freed after it. Each run prints a checksum (values parsed,
// sum of kinds) so that a fast wrong answer shows.
//
//   load_bench --data DIR [--generate api:100M,numbers:100M,...] [--reps N] [--only NAME] [--threads N]
//   load_bench --memory FILE [THREADS]   (one file, read from disk: Document bytes and peak RSS)
//
// Medians over the repetitions; freed memory stays in the heap between them
// (see main), so the first, cold repetition rarely decides the median.
#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <rapidjson/document.h>
#include <simdjson.h>

#include "base/cpu_variant.h"
#include "base/threads.h"
#include "core/load.h"
#include "bench_timing.h"
#include "generator.h"

namespace {

struct Input {
    std::string name;
    std::string text;
};

struct Checksum {
    uint64_t values = 0;
    uint64_t kinds = 0;  // sum of kind numbers in Tarnwell's numbering
    bool operator==(const Checksum&) const = default;
};

std::string read_file(const std::string& path) {
    std::string bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    char chunk[1 << 16];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    std::fclose(file);
    return bytes;
}

// Tarnwell's kind numbers: Object 0, Array 1, String 2, Number 3, True 4, False 5, Null 6.
Checksum tarnwell_checksum(const Document* doc) {
    Checksum sum;
    NodeId first = is_records(doc) ? 1 : 0;
    for (NodeId id = first; id < node_count(doc); id++) {
        sum.values++;
        sum.kinds += static_cast<uint32_t>(kind(doc, id));
    }
    return sum;
}

void simdjson_sum(simdjson::dom::element element, Checksum* sum) {
    using simdjson::dom::element_type;
    sum->values++;
    switch (element.type()) {
    case element_type::OBJECT:
        for (auto field : element.get_object()) simdjson_sum(field.value, sum);
        break;
    case element_type::ARRAY:
        sum->kinds += 1;
        for (auto item : element.get_array()) simdjson_sum(item, sum);
        break;
    case element_type::STRING: sum->kinds += 2; break;
    case element_type::INT64:
    case element_type::UINT64:
    case element_type::DOUBLE: sum->kinds += 3; break;
    case element_type::BOOL: sum->kinds += element.get_bool().value() ? 4 : 5; break;
    case element_type::NULL_VALUE: sum->kinds += 6; break;
    }
}

void rapidjson_sum(const rapidjson::Value& value, Checksum* sum) {
    sum->values++;
    switch (value.GetType()) {
    case rapidjson::kObjectType:
        for (auto& member : value.GetObject()) rapidjson_sum(member.value, sum);
        break;
    case rapidjson::kArrayType:
        sum->kinds += 1;
        for (auto& item : value.GetArray()) rapidjson_sum(item, sum);
        break;
    case rapidjson::kStringType: sum->kinds += 2; break;
    case rapidjson::kNumberType: sum->kinds += 3; break;
    case rapidjson::kTrueType: sum->kinds += 4; break;
    case rapidjson::kFalseType: sum->kinds += 5; break;
    case rapidjson::kNullType: sum->kinds += 6; break;
    }
}

struct Result {
    double mb_per_s = 0;
    double seconds = 0;         // median wall time of one parse
    double user_seconds = 0;    // median processor time in the program
    double system_seconds = 0;  // median time in the kernel, mostly page faults on fresh memory
    double first_seconds = 0;   // the first parse, on memory fresh from the system
    Checksum checksum;
    bool ok = false;
};

// Another parser's first parse, or "refused" when it rejected the text.
std::string first_parse(const Result& result) {
    if (!result.ok) return "refused";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", result.first_seconds);
    return text;
}

double timeval_seconds(timeval time) { return time.tv_sec + time.tv_usec / 1e6; }

// Runs `prepare` (untimed), `parse` (timed) and `finish` (untimed, returns the
// checksum on the first run) `reps` times.
Result measure(const Input& input, int reps, const std::function<void()>& prepare,
               const std::function<bool()>& parse, const std::function<Checksum()>& finish) {
    std::vector<double> times, user_times, system_times;
    Result result;
    result.ok = true;
    for (int i = 0; i < reps; i++) {
        prepare();
        rusage usage_before, usage_after;
        getrusage(RUSAGE_SELF, &usage_before);
        BenchClock::time_point start = BenchClock::now();
        bool ok = parse();
        double elapsed = seconds_since(start);
        getrusage(RUSAGE_SELF, &usage_after);
        result.ok = result.ok && ok;
        Checksum sum = finish();
        if (i == 0) result.checksum = sum;
        times.push_back(elapsed);
        user_times.push_back(timeval_seconds(usage_after.ru_utime) - timeval_seconds(usage_before.ru_utime));
        system_times.push_back(timeval_seconds(usage_after.ru_stime) - timeval_seconds(usage_before.ru_stime));
    }
    result.first_seconds = times[0];
    result.seconds = median(times);
    result.user_seconds = median(user_times);
    result.system_seconds = median(system_times);
    result.mb_per_s = input.text.size() / 1e6 / result.seconds;
    return result;
}

// FNV-1a over a table's bytes.
uint64_t hash_bytes(uint64_t hash, const void* bytes, size_t length) {
    const auto* p = static_cast<const uint8_t*>(bytes);
    for (size_t i = 0; i < length; i++) hash = (hash ^ p[i]) * 0x100000001B3ull;
    return hash;
}

// Everything a load builds, hashed, so that two loads can be told identical
// without keeping both Documents.
uint64_t document_hash(const Document* doc) {
    uint64_t hash = 0xCBF29CE484222325ull;
    for (uint32_t chunk = 0; chunk < doc->chunk_count; chunk++) {
        uint32_t nodes = std::min(doc->node_count - (chunk << NODE_CHUNK_SHIFT), NODE_CHUNK_SIZE);
        hash = hash_bytes(hash, doc->node_chunks[chunk], nodes * sizeof(Node));
    }
    hash = hash_bytes(hash, doc->line_starts, doc->line_count * sizeof(uint32_t));
    hash = hash_bytes(hash, doc->problems, doc->problem_count * sizeof(Problem));
    hash = hash_bytes(hash, doc->large_counts, doc->large_count_count * sizeof(LargeCount));
    hash = hash_bytes(hash, doc->child_index_directory, doc->child_index_directory_count * sizeof(ChildIndexDirectoryEntry));
    return hash_bytes(hash, &doc->form, sizeof doc->form);
}

// Tarnwell's load on `threads` threads (JSON Lines is read in pieces when
// there are several); the Document of the first repetition is hashed into
// *hash when asked.
Result bench_tarnwell(const Input& input, int reps, const LoadOptions* options = nullptr, uint32_t threads = 1,
                      uint64_t* hash = nullptr) {
    uint8_t* buffer = nullptr;
    Document* doc = nullptr;
    load_test_set_threads(threads, 0);
    bool first = true;
    Result result = measure(
        input, reps,
        [&] {
            buffer = alloc_text_buffer(input.text.size());
            std::memcpy(buffer, input.text.data(), input.text.size());
        },
        [&] {
            doc = load_document(buffer, input.text.size(), options, nullptr, nullptr);
            return doc != nullptr && problem_count(doc) == 0;
        },
        [&] {
            Checksum sum = tarnwell_checksum(doc);
            if (hash && first) *hash = document_hash(doc);
            first = false;
            release(doc);
            return sum;
        });
    load_test_set_threads(1, 0);
    return result;
}

// The generated JSON Lines, read as the program reads a ".jsonl" file, on one
// thread and on `threads`, with the ratio; the two Documents must be the same.
// The two loads take turns, so that whatever else the machine runs meanwhile
// slows both alike.
void print_thread_rows(const std::vector<Input>& inputs, int reps, uint32_t threads) {
    std::printf("\nJSON Lines read as a \".jsonl\" file is, on 1 thread and on %u (MB/s, medians):\n\n", threads);
    char many_label[32];
    std::snprintf(many_label, sizeof many_label, "%u threads", threads);
    std::printf("%-26s %9s %10s %10s %7s  %s\n", "file", "MB", "1 thread", many_label, "ratio", "Document");
    LoadOptions lines{0, 1};
    for (const Input& input : inputs) {
        if (input.name.rfind("generated jsonl", 0) != 0) continue;
        int input_reps = input.text.size() > (200u << 20) ? std::max(5, reps / 3) : reps;
        uint64_t one_hash = 0, many_hash = 0;
        std::vector<double> one_times, many_times;
        double first_one = 0, first_many = 0;
        for (int i = 0; i < input_reps; i++) {
            Result one = bench_tarnwell(input, 1, &lines, 1, i == 0 ? &one_hash : nullptr);
            Result many = bench_tarnwell(input, 1, &lines, threads, i == 0 ? &many_hash : nullptr);
            if (i == 0) first_one = one.seconds, first_many = many.seconds;
            one_times.push_back(one.seconds);
            many_times.push_back(many.seconds);
        }
        double one = median(one_times), many = median(many_times), mb = input.text.size() / 1e6;
        std::printf("%-26s %9.1f %10.0f %10.0f %7.2f  %s\n", input.name.c_str(), mb, mb / one, mb / many, one / many,
                    one_hash == many_hash ? "identical" : "DIFFERENT");
        std::printf("%-26s %.3f s on 1 thread, %.3f s on %u (first parse, on memory fresh from the system: %.3f s, %.3f s)\n",
                    "", one, many, threads, first_one, first_many);
    }
}

Result bench_simdjson(const Input& input, int reps) {
    simdjson::padded_string padded(input.text);
    simdjson::dom::parser parser;
    simdjson::dom::element root;
    bool parsed = false;
    return measure(
        input, reps, [] {},
        [&] { return parsed = parser.parse(padded).get(root) == simdjson::SUCCESS; },
        [&] {
            // A text it refuses (JSON Lines) leaves no tree to walk.
            Checksum sum;
            if (parsed) simdjson_sum(root, &sum);
            return sum;
        });
}

Result bench_rapidjson(const Input& input, int reps, bool insitu) {
    std::vector<char> copy;
    rapidjson::Document* dom = nullptr;
    return measure(
        input, reps,
        [&] {
            dom = new rapidjson::Document();
            if (insitu) copy.assign(input.text.c_str(), input.text.c_str() + input.text.size() + 1);
        },
        [&] {
            if (insitu) dom->ParseInsitu(copy.data());
            else dom->Parse(input.text.c_str(), input.text.size());
            return !dom->HasParseError();
        },
        [&] {
            Checksum sum;
            rapidjson_sum(*dom, &sum);
            delete dom;
            return sum;
        });
}

// Results: Tarnwell at each variant (SSE2 first), then simdjson, RapidJSON
// and RapidJSON in-situ. Ratios are the widest variant's.
void print_row(const Input& input, const std::vector<Result>& results, uint32_t variants) {
    std::printf("%-26s %9.1f", input.name.c_str(), input.text.size() / 1e6);
    for (size_t i = 0; i < results.size(); i++) {
        if (i < variants || results[i].ok) std::printf(" %9.0f%s", results[i].mb_per_s, results[i].ok ? " " : "!");
        else std::printf(" %9s ", "refused");
    }
    const Result& wide = results[variants - 1];
    // No ratio against a parser that refused the text: it stopped early.
    for (size_t i = variants; i < results.size(); i++) {
        if (results[i].ok) std::printf(" %7.2f", wide.mb_per_s / results[i].mb_per_s);
        else std::printf(" %7s", "-");
    }
    std::printf(" %7.2f", wide.mb_per_s / results[0].mb_per_s);
    bool agree = true;
    for (size_t i = 1; i < results.size(); i++)
        agree = agree && (!results[i].ok || results[0].checksum == results[i].checksum);
    std::printf("  %llu/%llu%s\n", static_cast<unsigned long long>(results[0].checksum.values),
                static_cast<unsigned long long>(results[0].checksum.kinds), agree ? "" : " CHECKSUMS DIFFER");
}

uint64_t heap_in_use() {
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Loads one file as the program does (read into a padded buffer, then
// load_document, ".jsonl" and ".ndjson" files as JSON Lines, on `threads`
// threads) and prints: size, nodes, lines, the heap the Document holds (text
// included), text + 20 x nodes + 4 x lines, and the peak resident memory.
int memory_report(const char* path, uint32_t threads) {
    FILE* file = std::fopen(path, "rb");
    if (!file) return 1;
    std::fseek(file, 0, SEEK_END);
    uint64_t size = static_cast<uint64_t>(std::ftell(file));
    std::fseek(file, 0, SEEK_SET);
    uint64_t heap_before = heap_in_use();
    uint8_t* buffer = alloc_text_buffer(size);
    bool read = std::fread(buffer, 1, size, file) == size;
    std::fclose(file);
    if (!read) return 1;
    std::string name = path;
    auto ends_with = [&](const char* end) { return name.size() >= std::strlen(end) && name.compare(name.size() - std::strlen(end), std::string::npos, end) == 0; };
    LoadOptions options{0, static_cast<uint8_t>(ends_with(".jsonl") || ends_with(".ndjson"))};
    load_test_set_threads(threads, 0);
    Document* doc = load_document(buffer, size, &options, nullptr, nullptr);
    if (!doc) return 1;
    uint64_t held = heap_in_use() - heap_before;
    uint64_t nodes = node_count(doc), lines = line_count(doc);
    uint64_t formula = size + 20 * nodes + 4 * lines;
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%llu %llu %llu %llu %llu %llu\n", static_cast<unsigned long long>(size),
                static_cast<unsigned long long>(nodes), static_cast<unsigned long long>(lines),
                static_cast<unsigned long long>(held), static_cast<unsigned long long>(formula),
                static_cast<unsigned long long>(usage.ru_maxrss) * 1024);
    release(doc);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Every parser allocates afresh for each parse (simdjson keeps its own
    // buffers across parses). Keeping freed blocks in the heap gives all of
    // them the same chance to reuse memory, so the repetitions after the
    // first measure parsing rather than the system's page faults: every block
    // comes from the heap (none is mapped on its own) and the heap is never
    // trimmed. The first repetition's time, on fresh memory, is reported for
    // the largest documents.
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, INT_MAX);
    // One heap for every thread too: a thread's own arena would give its
    // memory back between repetitions, and a load on several threads would
    // pay page faults that one on one thread does not.
    mallopt(M_ARENA_MAX, 1);
    // The table compares widths on one thread; the thread rows come after it.
    load_test_set_threads(1, 0);
    uint32_t threads = std::max(2u, processor_count());
    std::string data_dir, only, generate;
    int reps = 15;
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        if (arg == "--memory" && i + 1 < argc)
            return memory_report(argv[i + 1], i + 2 < argc ? static_cast<uint32_t>(std::atoi(argv[i + 2])) : 1);
        if (arg == "--data" && i + 1 < argc) data_dir = argv[++i];
        else if (arg == "--generate" && i + 1 < argc) generate = argv[++i];
        else if (arg == "--reps" && i + 1 < argc) reps = std::atoi(argv[++i]);
        else if (arg == "--only" && i + 1 < argc) only = argv[++i];
        else if (arg == "--threads" && i + 1 < argc) threads = static_cast<uint32_t>(std::max(2, std::atoi(argv[++i])));
        else {
            std::fprintf(stderr, "usage: load_bench --data DIR [--generate shape:size,...] [--reps N] [--only NAME] [--threads N]\n"
                                 "       load_bench --memory FILE [THREADS]\n");
            return 2;
        }
    }
    std::vector<Input> inputs;
    const char* corpus[] = {"twitter.json", "citm_catalog.json", "canada.json", "gsoc-2018.json", "marine_ik.json",
                            "mesh.pretty.json", "numbers.json", "twitterescaped.json", "update-center.json"};
    for (const char* name : corpus) {
        if (!only.empty() && only != name) continue;
        std::string text = read_file(data_dir + "/" + name);
        if (text.empty()) {
            std::fprintf(stderr, "cannot read %s/%s\n", data_dir.c_str(), name);
            return 1;
        }
        inputs.push_back(Input{name, std::move(text)});
    }
    size_t corpus_count = inputs.size();
    for (size_t start = 0; start < generate.size();) {
        size_t comma = generate.find(',', start);
        std::string item = generate.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        start = comma == std::string::npos ? generate.size() : comma + 1;
        size_t colon = item.find(':');
        GenerateOptions options;
        if (colon == std::string::npos || !parse_shape(item.substr(0, colon).c_str(), &options.shape)) return 2;
        std::string size = item.substr(colon + 1);
        uint64_t unit = size.back() == 'G' ? 1ull << 30 : size.back() == 'M' ? 1ull << 20 : 1;
        options.target_bytes = std::strtoull(size.c_str(), nullptr, 10) * unit;
        inputs.push_back(Input{"generated " + item, generate_text(options)});
    }
    uint32_t variants = cpu_best_variant() + 1;
    std::printf("Tarnwell at each vector variant this CPU runs; simdjson with its %s kernel.\n",
                simdjson::get_active_implementation()->name().c_str());
    std::printf("\"!\": Tarnwell recorded problems (the JSON Lines shape has bad lines on purpose); \"refused\":\n"
                "the parser rejects the text (JSON Lines is not one value), so it has no ratio. Ratios are\n"
                "the widest variant's; \"/sse2\" is its speed-up over SSE2.\n\n");
    std::printf("%-26s %9s", "file", "MB");
    for (uint32_t v = 0; v < variants; v++) std::printf(" %10s", cpu_variant_name(v));
    std::printf(" %10s %10s %10s %7s %7s %7s %7s  %s\n", "simdjson", "rapidjson", "insitu", "/simd", "/rapid",
                "/insitu", "/sse2", "values/kinds");
    double log_sums[4] = {0, 0, 0, 0};
    for (size_t i = 0; i < inputs.size(); i++) {
        const Input& input = inputs[i];
        int input_reps = input.text.size() > (200u << 20) ? std::max(5, reps / 3) : reps;
        std::vector<Result> results;
        for (uint32_t v = 0; v < variants; v++) {
            if (!cpu_force_variant(v)) return 1;
            results.push_back(bench_tarnwell(input, input_reps));
        }
        results.push_back(bench_simdjson(input, input_reps));
        results.push_back(bench_rapidjson(input, input_reps, false));
        results.push_back(bench_rapidjson(input, input_reps, true));
        print_row(input, results, variants);
        const Result& wide = results[variants - 1];
        if (input.text.size() > (200u << 20)) {
            std::printf("%-26s Tarnwell's load (%s): %.3f s median (processor %.3f s, kernel %.3f s); sse2 %.3f s\n",
                        "", cpu_variant_name(variants - 1), wide.seconds, wide.user_seconds, wide.system_seconds,
                        results[0].seconds);
            std::printf("%-26s first parse, on memory fresh from the system: tarnwell %.2f s, simdjson %s, "
                        "rapidjson %s, insitu %s\n",
                        "", wide.first_seconds, first_parse(results[variants]).c_str(),
                        first_parse(results[variants + 1]).c_str(), first_parse(results[variants + 2]).c_str());
        }
        if (i < corpus_count) {
            for (int k = 0; k < 3; k++) log_sums[k] += std::log(wide.mb_per_s / results[variants + k].mb_per_s);
            log_sums[3] += std::log(wide.mb_per_s / results[0].mb_per_s);
        }
    }
    if (corpus_count > 0) {
        std::printf("%-26s %9s", "geometric mean (corpus)", "");
        for (uint32_t v = 0; v < variants + 3; v++) std::printf(" %10s", "");
        for (double sum : log_sums) std::printf(" %7.2f", std::exp(sum / corpus_count));
        std::printf("\n");
    }
    print_thread_rows(inputs, reps, threads);
    return 0;
}
