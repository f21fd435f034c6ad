// tarnwell-cli: the engine from the command line. Each subcommand only calls
// the engine and prints what it answers.
#include <cstdio>
#include <cstring>

#include "cli_commands.h"
#include "headless_host.h"
#include "views/text_view.h"

namespace {

const char USAGE[] =
    "usage: tarnwell-cli nodes FILE [--strict] [--jsonl]\n"
    "       tarnwell-cli rows FILE [--strict] [--jsonl] [--level N | --all] [--budget N]\n"
    "                    [--search TEXT [--case] [--regex] [--keys | --values]] [--styles]\n"
    "       tarnwell-cli text FILE [--strict] [--jsonl] [--pretty | --source] [--plain] [--styles]\n"
    "       tarnwell-cli search FILE QUERY [--strict] [--jsonl] [--case] [--regex] [--keys | --values]\n"
    "                    [--limit N] [--paths N]\n"
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

// False for no text, or anything but a decimal number below 2^32 - 1.
bool parse_u32(const char* text, uint32_t* value) {
    uint64_t result = 0;
    if (!text || !*text) return false;
    for (const char* p = text; *p; p++) {
        if (*p < '0' || *p > '9') return false;
        result = result * 10 + static_cast<uint64_t>(*p - '0');
        if (result > 0xFFFFFFFEu) return false;
    }
    *value = static_cast<uint32_t>(result);
    return true;
}

// Reads --case, --regex, --keys and --values; false for anything else.
bool parse_search_flag(const char* flag, CliArguments* args) {
    if (std::strcmp(flag, "--case") == 0) args->search_options.match_case = 1;
    else if (std::strcmp(flag, "--regex") == 0) args->search_options.regex = 1;
    else if (std::strcmp(flag, "--keys") == 0) args->search_options.scope = static_cast<uint8_t>(SearchScope::Keys);
    else if (std::strcmp(flag, "--values") == 0) args->search_options.scope = static_cast<uint8_t>(SearchScope::Values);
    else return false;
    return true;
}

// The value after the option at argv[*i], advancing past it; nullptr when
// there is none.
const char* option_value(int argc, char** argv, int* i) {
    if (*i + 1 >= argc) return nullptr;
    return argv[++*i];
}

// Reads the options of `rows` at argv[*i] (advancing past a value); false for
// anything else.
bool parse_rows_option(int argc, char** argv, int* i, CliArguments* args) {
    const char* flag = argv[*i];
    if (std::strcmp(flag, "--all") == 0) args->all = true;
    else if (std::strcmp(flag, "--level") == 0) return parse_u32(option_value(argc, argv, i), &args->level);
    else if (std::strcmp(flag, "--budget") == 0) return parse_u32(option_value(argc, argv, i), &args->budget);
    else if (std::strcmp(flag, "--search") == 0) return (args->search = option_value(argc, argv, i)) != nullptr;
    else if (std::strcmp(flag, "--styles") == 0) args->styles = true;
    else return parse_search_flag(flag, args);
    return true;
}

// Reads the options of `search` at argv[*i] (advancing past a value); false
// for anything else.
bool parse_search_option(int argc, char** argv, int* i, CliArguments* args) {
    const char* flag = argv[*i];
    if (std::strcmp(flag, "--limit") == 0) return parse_u32(option_value(argc, argv, i), &args->search_options.limit);
    if (std::strcmp(flag, "--paths") == 0) return parse_u32(option_value(argc, argv, i), &args->paths);
    return parse_search_flag(flag, args);
}

// Reads the options of `text` at argv[i]; false for anything else.
bool parse_text_option(const char* flag, CliArguments* args) {
    bool pretty = std::strcmp(flag, "--pretty") == 0;
    if (pretty || std::strcmp(flag, "--source") == 0) {
        if (args->text_mode != CLI_PREFERRED_TEXT_MODE) return false;
        args->text_mode = pretty ? TEXT_PRETTY : TEXT_SOURCE;
    }
    else if (std::strcmp(flag, "--plain") == 0) args->plain = true;
    else if (std::strcmp(flag, "--styles") == 0) args->styles = true;
    else return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strncmp(argv[1], "--", 2) == 0) return run_script_program(argc, argv, stderr);
    if (argc < 3) return usage();
    bool rows = std::strcmp(argv[1], "rows") == 0;
    bool text = std::strcmp(argv[1], "text") == 0;
    bool search = std::strcmp(argv[1], "search") == 0;
    if (!rows && !text && !search && std::strcmp(argv[1], "nodes") != 0) return usage();
    CliArguments args{};
    args.file = argv[2];
    int first_option = 3;
    if (search) {
        if (argc < 4) return usage();
        args.search = argv[3];
        first_option = 4;
    }
    bool scope_given = false, search_option_given = false;
    for (int i = first_option; i < argc; i++) {
        const char* flag = argv[i];
        bool parsed = true;
        if (std::strcmp(flag, "--strict") == 0) args.options.strict = 1;
        else if (std::strcmp(flag, "--jsonl") == 0) args.options.json_lines = 1;
        else if (text) parsed = parse_text_option(flag, &args);
        else if (rows) parsed = parse_rows_option(argc, argv, &i, &args);
        else parsed = search && parse_search_option(argc, argv, &i, &args);
        if (!parsed) return usage();
        bool scope = std::strcmp(flag, "--keys") == 0 || std::strcmp(flag, "--values") == 0;
        if (scope && scope_given) return usage();
        scope_given |= scope;
        search_option_given |= scope || std::strcmp(flag, "--case") == 0 || std::strcmp(flag, "--regex") == 0;
    }
    if (args.all && args.level != CLI_NO_LEVEL) return usage();
    if (search_option_given && !args.search) return usage();
    if (text) return run_text_command(args, stdout);
    if (search) return run_search_command(args, stdout);
    return rows ? run_rows_command(args, stdout) : run_nodes_command(args, stdout);
}
