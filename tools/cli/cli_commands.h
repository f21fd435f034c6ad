// The subcommands of tarnwell-cli and the arguments they share.
#pragma once

#include <cstdio>

#include "core/load.h"
#include "search/matcher.h"

// `level` when no expansion level was asked for.
constexpr uint32_t CLI_NO_LEVEL = 0xFFFFFFFF;
constexpr uint32_t CLI_DEFAULT_BUDGET = 120;
// JSONPaths `search` prints when --paths is not given.
constexpr uint32_t CLI_DEFAULT_PATHS = 1000;
// `text_mode` when neither --pretty nor --source was given.
constexpr uint32_t CLI_PREFERRED_TEXT_MODE = 0xFFFFFFFF;

struct CliArguments {
    const char* file;
    LoadOptions options;
    // rows
    uint32_t level = CLI_NO_LEVEL;  // expand_to_level; none: the initial expansion
    bool all = false;               // expand_all
    uint32_t budget = CLI_DEFAULT_BUDGET;
    const char* search = nullptr;  // query whose matches are shown as [[...]], or searched for
    SearchOptions search_options{};
    bool styles = false;  // show each run's style
    // text
    uint32_t text_mode = CLI_PREFERRED_TEXT_MODE;  // TEXT_SOURCE, TEXT_PRETTY, or as the Document window chooses
    bool plain = false;                            // the copied text instead of painted lines
    // search
    uint32_t paths = CLI_DEFAULT_PATHS;  // matches whose JSONPath is printed, at most
};

// Each prints its answer to out and returns the exit code.
int run_nodes_command(const CliArguments& args, FILE* out);
int run_rows_command(const CliArguments& args, FILE* out);
int run_text_command(const CliArguments& args, FILE* out);
int run_search_command(const CliArguments& args, FILE* out);
