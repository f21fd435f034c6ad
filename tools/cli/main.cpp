// tarnwell-cli: the engine from the command line. Each subcommand only calls
// the engine and prints what it answers.
#include <cstdio>
#include <cstring>

#include "cli_arguments.h"
#include "cli_commands.h"
#include "headless_host.h"

namespace {

const char USAGE[] =
    "usage: tarnwell-cli nodes FILE [--strict] [--jsonl]\n"
    "       tarnwell-cli rows FILE [--strict] [--jsonl] [--level N | --all] [--budget N]\n"
    "                    [--search TEXT [--case] [--regex] [--keys | --values]] [--styles]\n"
    "       tarnwell-cli text FILE [--strict] [--jsonl] [--pretty | --source] [--plain] [--styles]\n"
    "       tarnwell-cli search FILE QUERY [--strict] [--jsonl] [--case] [--regex] [--keys | --values]\n"
    "                    [--limit N] [--paths N]\n"
    "  options may come before or after FILE and QUERY; after --, every word is FILE or QUERY\n"
    "  nodes   load FILE and print the Document's facts, every node and every problem\n"
    "  rows    print every row of the tree view as DEPTH|SIGN|TEXT, SIGN being v for an\n"
    "          expanded container, + for a collapsed one, - for anything else\n"
    "  --strict  reject comments, trailing commas, JSON5 forms and raw control characters\n"
    "  --jsonl   read FILE as JSON Lines\n"
    "  --level N   expand to N levels (default: 3 levels up to 5000 nodes, else 1)\n"
    "  --all       expand everything\n"
    "  --budget N  character cells per row (default 120)\n"
    "  --search TEXT  wrap the row's matches of TEXT in [[ and ]]; --case matches case,\n"
    "                 --regex reads TEXT as a regular expression, --keys or --values\n"
    "                 limits the search to keys or to values\n"
    "  --styles    write each run of a row as <Style>text, Style being its RunStyle name\n"
    "  text    print every line of the text view as LINE|TEXT (source text, or re-indented\n"
    "          text when FILE has a line longer than 10,000 bytes)\n"
    "  --pretty    re-indented text, one value per line\n"
    "  --source    the file's own lines\n"
    "  --plain     print the text that copying every line gives, instead of painted lines\n"
    "  search  search FILE's keys and values for QUERY; print search=COUNTER as the match\n"
    "          counter reads, then the JSONPath of each match, one per line\n"
    "  --limit N   keep at most N matches (default and 0: 10,000,000)\n"
    "  --paths N   print at most N paths (default 1000)\n"
    "       tarnwell-cli --test-script FILE --settings FILE [--test-out FILE] [--test-ram BYTES]\n"
    "                    [--test-slow-read MS] [FILE...]\n"
    "  runs a script as the program's script mode does, without windows; the output goes to\n"
    "  --test-out, else build/tmp/win-test.out\n";

int usage() {
    std::fputs(USAGE, stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strncmp(argv[1], "--", 2) == 0) return run_script_program(argc, argv, stderr);
    CliArguments args{};
    switch (parse_cli_arguments(argc, argv, &args)) {
    case CliSubcommand::Nodes: return run_nodes_command(args, stdout);
    case CliSubcommand::Rows: return run_rows_command(args, stdout);
    case CliSubcommand::Text: return run_text_command(args, stdout);
    case CliSubcommand::Search: return run_search_command(args, stdout);
    case CliSubcommand::None: break;
    }
    return usage();
}
