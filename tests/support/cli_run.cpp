#include "cli_run.h"

#include "cli_common.h"

std::string read_stream(FILE* stream) {
    std::rewind(stream);
    std::string text;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, stream)) > 0) text.append(chunk, got);
    std::fclose(stream);
    return text;
}

std::string run_cli(CliCommand command, const std::string& input, CliArguments args) {
    std::string path = std::string(TARNWELL_TEST_TMP) + "/cli_input.json";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return "cannot write " + path;
    std::fwrite(input.data(), 1, input.size(), file);
    std::fclose(file);
    args.file = path.c_str();
    FILE* out = std::tmpfile();
    int status = command(args, out);
    return read_stream(out) + "exit=" + std::to_string(status) + "\n";
}

std::string printed_paint(const RowPaint& paint, bool styles) {
    FILE* out = std::tmpfile();
    print_row_paint(out, &paint, styles);
    return read_stream(out);
}
