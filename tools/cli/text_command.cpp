// tarnwell-cli text: every line of the text view as the list would paint it,
// or with --plain the text that copying all its lines gives.
#include <cstdio>

#include "base/memory.h"
#include "cli_common.h"
#include "cli_commands.h"
#include "views/text_view.h"

namespace {

void print_lines(FILE* out, const TextView* view, bool styles) {
    RowPaint paint = row_paint();
    for (uint32_t line = 0; line < text_line_count(view); line++) {
        build_text_line(view, line, TEXT_LINE_BUDGET, nullptr, NO_NODE, &paint);
        std::fprintf(out, "%u|", paint.line_number);
        print_row_paint(out, &paint, styles);
        std::fputc('\n', out);
    }
    release_row_paint(&paint);
}

bool print_plain(FILE* out, const TextView* view) {
    uint32_t lines = text_line_count(view);
    if (lines == 0) return true;
    uint64_t length = text_of_lines(view, 0, lines - 1, nullptr, 0);
    char* text = mem_alloc_array<char>(length + 1);
    if (!text) return false;
    text_of_lines(view, 0, lines - 1, text, length + 1);
    std::fwrite(text, 1, length, out);
    std::fputc('\n', out);
    mem_free(text);
    return true;
}

}  // namespace

int run_text_command(const CliArguments& args, FILE* out) {
    Document* doc = cli_load(out, args.file, args.options);
    if (!doc) return 1;
    uint32_t mode = args.text_mode == CLI_PREFERRED_TEXT_MODE ? preferred_text_mode(doc) : args.text_mode;
    uint32_t outcome = 0;
    TextView* view = build_text_view(doc, mode, nullptr, &outcome);
    release(doc);
    bool printed = view != nullptr;
    if (view && args.plain) printed = print_plain(out, view);
    else if (view) print_lines(out, view, args.styles);
    release_text_view(view);
    if (printed) return 0;
    std::fprintf(out, "error=out of memory\n");
    return 1;
}
