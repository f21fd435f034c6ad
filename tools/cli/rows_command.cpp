// tarnwell-cli rows: every row of the tree view, as the list would paint it.
#include <cstdio>
#include <cstring>

#include "cli_common.h"
#include "cli_commands.h"
#include "views/tree_row.h"

namespace {

void expand_as_asked(RowModel* model, const CliArguments& args) {
    if (args.all) expand_all(model);
    else if (args.level != CLI_NO_LEVEL) expand_to_level(model, args.level);
    else initial_expansion(model);
}

char chevron_sign(uint8_t chevron) { return chevron == 2 ? 'v' : chevron == 1 ? '+' : '-'; }

}  // namespace

int run_rows_command(const CliArguments& args, FILE* out) {
    Document* doc = cli_load(out, args.file, args.options);
    if (!doc) return 1;
    SearchState* search = nullptr;
    if (args.search) {
        char error[256];
        search = compile_search(doc, reinterpret_cast<const uint8_t*>(args.search), std::strlen(args.search),
                                &args.search_options, error, sizeof error);
        if (!search && error[0]) {
            std::fprintf(out, "search-error=%s\n", error);
            release(doc);
            return 1;
        }
    }
    RowModel* model = create_row_model(doc);
    if (!model) {
        std::fprintf(out, "error=out of memory\n");
        release_search(search);
        release(doc);
        return 1;
    }
    expand_as_asked(model, args);
    RowPaint paint = row_paint();
    NodeId previous = NO_NODE;
    uint32_t previous_depth = 0;
    for (uint32_t row = 0; row < row_count(model); row++) {
        NodeId id = node_at_row(model, row);
        uint32_t row_depth = depth_after(doc, previous, previous_depth, id);
        build_tree_row_at_depth(model, row, row_depth, args.budget, search, NO_NODE, &paint);
        previous = id;
        previous_depth = row_depth;
        std::fprintf(out, "%u|%c|", paint.depth, chevron_sign(paint.chevron));
        print_row_paint(out, &paint, args.styles);
        std::fputc('\n', out);
    }
    release_row_paint(&paint);
    release_row_model(model);
    release_search(search);
    release(doc);
    return 0;
}
