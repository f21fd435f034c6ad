#include "cli_arguments.h"

#include <cstring>

#include "views/text_view.h"

namespace {

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
const char* option_value(int argc, const char* const* argv, int* i) {
    if (*i + 1 >= argc) return nullptr;
    return argv[++*i];
}

// Reads the options of `rows` at argv[*i] (advancing past a value); false for
// anything else.
bool parse_rows_option(int argc, const char* const* argv, int* i, CliArguments* args) {
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
bool parse_search_option(int argc, const char* const* argv, int* i, CliArguments* args) {
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

CliSubcommand subcommand_named(const char* name) {
    if (std::strcmp(name, "nodes") == 0) return CliSubcommand::Nodes;
    if (std::strcmp(name, "rows") == 0) return CliSubcommand::Rows;
    if (std::strcmp(name, "text") == 0) return CliSubcommand::Text;
    if (std::strcmp(name, "search") == 0) return CliSubcommand::Search;
    return CliSubcommand::None;
}

// Reads the option at argv[*i] of the subcommand (advancing past a value);
// false for anything else.
bool parse_option(CliSubcommand subcommand, int argc, const char* const* argv, int* i, CliArguments* args) {
    const char* flag = argv[*i];
    if (std::strcmp(flag, "--strict") == 0) args->options.strict = 1;
    else if (std::strcmp(flag, "--jsonl") == 0) args->options.json_lines = 1;
    else if (subcommand == CliSubcommand::Text) return parse_text_option(flag, args);
    else if (subcommand == CliSubcommand::Rows) return parse_rows_option(argc, argv, i, args);
    else if (subcommand == CliSubcommand::Search) return parse_search_option(argc, argv, i, args);
    else return false;
    return true;
}

}  // namespace

CliSubcommand parse_cli_arguments(int argc, const char* const* argv, CliArguments* args) {
    *args = CliArguments{};
    CliSubcommand subcommand = argc >= 2 ? subcommand_named(argv[1]) : CliSubcommand::None;
    if (subcommand == CliSubcommand::None) return subcommand;
    // FILE, then QUERY for search; a query from --search belongs to rows only.
    const char** positional[2] = {&args->file, &args->search};
    int wanted = subcommand == CliSubcommand::Search ? 2 : 1;
    int given = 0;
    bool options_ended = false, scope_given = false, search_option_given = false;
    for (int i = 2; i < argc; i++) {
        const char* word = argv[i];
        if (!options_ended && std::strcmp(word, "--") == 0) {
            options_ended = true;
            continue;
        }
        if (options_ended || std::strncmp(word, "--", 2) != 0) {
            if (given == wanted) return CliSubcommand::None;
            *positional[given++] = word;
            continue;
        }
        if (!parse_option(subcommand, argc, argv, &i, args)) return CliSubcommand::None;
        bool scope = std::strcmp(word, "--keys") == 0 || std::strcmp(word, "--values") == 0;
        if (scope && scope_given) return CliSubcommand::None;
        scope_given |= scope;
        search_option_given |= scope || std::strcmp(word, "--case") == 0 || std::strcmp(word, "--regex") == 0;
    }
    if (given != wanted) return CliSubcommand::None;
    if (args->all && args->level != CLI_NO_LEVEL) return CliSubcommand::None;
    if (search_option_given && !args->search) return CliSubcommand::None;
    return subcommand;
}
