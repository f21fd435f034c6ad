// The subcommands of tarnwell-cli and the arguments they share.
#pragma once

#include <cstdio>

#include "core/load.h"

struct CliArguments {
    const char* file;
    LoadOptions options;
};

// Each prints its answer to out and returns the exit code.
int run_nodes_command(const CliArguments& args, FILE* out);
