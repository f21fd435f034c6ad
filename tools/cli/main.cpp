// tarnwell-cli: the engine from the command line. Each subcommand only calls
// the engine and prints what it answers.
#include <cstdio>
#include <cstring>

#include "cli_commands.h"

namespace {

const char USAGE[] =
    "usage: tarnwell-cli nodes FILE [--strict] [--jsonl]\n"
    "  nodes   load FILE and print the Document's facts, every node and every problem\n"
    "  --strict  reject comments, trailing commas, JSON5 forms and raw control characters\n"
    "  --jsonl   read FILE as JSON Lines\n";

int usage() {
    std::fputs(USAGE, stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    CliArguments args{};
    args.file = argv[2];
    for (int i = 3; i < argc; i++) {
        if (std::strcmp(argv[i], "--strict") == 0) args.options.strict = 1;
        else if (std::strcmp(argv[i], "--jsonl") == 0) args.options.json_lines = 1;
        else return usage();
    }
    if (std::strcmp(argv[1], "nodes") == 0) return run_nodes_command(args, stdout);
    return usage();
}
