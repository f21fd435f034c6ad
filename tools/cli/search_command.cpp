// tarnwell-cli search: runs a search the way a window does, on a worker thread
// while this one waits, then prints the match counter and the JSONPath of the
// first matches.
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "cli_commands.h"
#include "cli_common.h"
#include "paths/path_format.h"
#include "search/match_list.h"
#include "search/search_run.h"
#include "views/search_view.h"

namespace {

void print_path(FILE* out, const Document* doc, NodeId id) {
    uint64_t length = format_path(doc, id, PathStyle::JsonPath, nullptr, 0);
    std::string path(length + 1, '\0');
    format_path(doc, id, PathStyle::JsonPath, path.data(), path.size());
    std::fwrite(path.data(), 1, length, out);
    std::fputc('\n', out);
}

}  // namespace

int run_search_command(const CliArguments& args, FILE* out) {
    Document* doc = cli_load(out, args.file, args.options);
    if (!doc) return 1;
    char error[256];
    const char* query = args.search ? args.search : "";
    SearchState* state = compile_search(doc, reinterpret_cast<const uint8_t*>(query), std::strlen(query),
                                        &args.search_options, error, sizeof error);
    if (!state && error[0]) {
        std::fprintf(out, "search-error=%s\n", error);
        release(doc);
        return 1;
    }
    uint32_t status = SEARCH_FINISHED;
    std::thread worker([&] { status = run_search(state, nullptr); });
    worker.join();

    char counter[64];
    format_search_counter(state, NO_NODE, counter, sizeof counter);
    std::fprintf(out, "search=%s\n", counter);
    uint32_t count = match_count(state);
    for (uint32_t i = 0; i < count && i < args.paths; i++) print_path(out, doc, match_at(state, i));
    release_search(state);
    release(doc);
    // The counter already says "so far"; the exit code says the list is short.
    if (status == SEARCH_OUT_OF_MEMORY) std::fprintf(out, "error=out of memory\n");
    return status == SEARCH_FINISHED ? 0 : 1;
}
