// Reading tarnwell-cli's command line: the subcommand, then FILE (and QUERY
// for search) and the options in any order. After "--" every word is FILE or
// QUERY, so that a query may begin with "--".
#pragma once

#include <cstdint>

#include "cli_commands.h"

enum class CliSubcommand : uint8_t { None, Nodes, Rows, Text, Search };

// The subcommand with `args` filled in, or None when the line is not one the
// usage allows.
CliSubcommand parse_cli_arguments(int argc, const char* const* argv, CliArguments* args);
