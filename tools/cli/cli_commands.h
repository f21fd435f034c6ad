// The subcommands of tarnwell-cli and the arguments they share.
#pragma once

#include "core/load.h"

struct CliArguments {
    const char* file;
    LoadOptions options;
};

int run_nodes_command(const CliArguments& args);
