// Running a tarnwell-cli subcommand in-process on a test text and reading
// back exactly what it printed.
#pragma once

#include <cstdio>
#include <string>

#include "cli_commands.h"
#include "views/row_paint.h"

using CliCommand = int (*)(const CliArguments& args, FILE* out);

// Writes `input` to a scratch file, runs the command on it with `args` (whose
// file is replaced) and returns what it printed followed by "exit=N\n".
std::string run_cli(CliCommand command, const std::string& input, CliArguments args = {});

// Everything written to a temporary stream so far; closes the stream.
std::string read_stream(FILE* stream);

// A painted row or line as tarnwell-cli prints it: <Style> before each run
// when asked, marked stretches in [[ ]].
std::string printed_paint(const RowPaint& paint, bool styles = false);
