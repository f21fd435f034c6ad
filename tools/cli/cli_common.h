// Small helpers shared by the tarnwell-cli subcommands: reading a file into a
// padded buffer and printing engine text unambiguously.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/document.h"
#include "core/load.h"
#include "views/row_paint.h"

// Loads FILE with the given options. On failure prints "error=<reason>" to
// out and returns nullptr.
Document* cli_load(FILE* out, const char* path, LoadOptions options);

// Writes text with backslash, line feed, carriage return and tab as \\ \n \r \t
// and every other byte below 0x20 as \u00xx.
void print_escaped(FILE* out, const uint8_t* bytes, uint64_t length);

// The decoded value of a scalar, cut to its first 100 bytes (at a character
// boundary) followed by "…" when longer, printed escaped.
void print_value(FILE* out, const Document* doc, NodeId id);
void print_key(FILE* out, const Document* doc, NodeId id);

// The text of a row or line: with `styles`, each run as <Style>text; every
// marked stretch wrapped in [[ and ]].
void print_row_paint(FILE* out, const RowPaint* paint, bool styles);
