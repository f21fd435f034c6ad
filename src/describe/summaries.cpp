#include "describe/summaries.h"

#include <cstring>

#include "base/text_builder.h"
#include "describe/format.h"

namespace {

const char SEPARATOR[] = " · ";

void append_kind_of_text(TextBuilder* builder, const Document* doc) {
    switch (form(doc)) {
    case DocumentForm::JsonLines:
    case DocumentForm::Concatenated:
        tb_append_text(builder, form(doc) == DocumentForm::JsonLines ? "JSON Lines (" : "Several JSON values (");
        append_count(builder, child_count(doc, 0), "record", "records");
        tb_append_text(builder, ")");
        break;
    default:
        if (features(doc) & SyntaxFeatures::Json5) tb_append_text(builder, "JSON5");
        else if (features(doc) & (SyntaxFeatures::Comments | SyntaxFeatures::TrailingCommas))
            tb_append_text(builder, "JSON with comments");
        else tb_append_text(builder, "JSON");
        break;
    }
}

// "< 0.1 s" up to 99 ms, else seconds to the nearest tenth.
void append_parse_time(TextBuilder* builder, int32_t parse_ms) {
    tb_append_text(builder, " · parsed in ");
    if (parse_ms <= 99) {
        tb_append_text(builder, "< 0.1 s");
        return;
    }
    uint64_t tenths = (static_cast<uint64_t>(parse_ms) + 50) / 100;
    char fraction[2] = {static_cast<char>('0' + tenths % 10), 0};
    append_formatted_count(builder, tenths / 10);
    tb_append_text(builder, ".");
    tb_append_text(builder, fraction);
    tb_append_text(builder, " s");
}

// Offsets reach 4,294,967,040, so offset × 100 needs 64 bits.
void append_memory_problem(TextBuilder* builder, const Document* doc, uint32_t offset) {
    uint64_t length = text_length(doc);
    uint64_t percent = length ? static_cast<uint64_t>(offset) * 100 / length : 0;
    tb_append_text(builder, "Ran out of memory at ");
    append_formatted_count(builder, percent);
    tb_append_text(builder, "%. Showing what was read.");
}

void append_single_problem(TextBuilder* builder, const Document* doc, const ProblemInfo* first) {
    if (memory_problem_index(doc) == 0) {
        append_memory_problem(builder, doc, first->offset);
        return;
    }
    tb_append_text(builder, "Line ");
    append_formatted_count(builder, first->line);
    tb_append_text(builder, ", column ");
    append_formatted_count(builder, first->column);
    tb_append_text(builder, ": ");
    tb_append_text(builder, first->message);
    tb_append_text(builder, ". Showing everything before it.");
}

// A broken record is named by the line it starts on, as its row is: in several
// values its problem may lie lines further down.
uint32_t record_line_of(const Document* doc, const ProblemInfo* problem) {
    uint32_t line = problem->node != NO_NODE ? record_line(doc, problem->node) : 0;
    return line ? line : problem->line;
}

void append_records_problems(TextBuilder* builder, const Document* doc, const ProblemInfo* first) {
    uint32_t memory = memory_problem_index(doc);
    if (memory != NO_NODE && memory < problem_count(doc)) {
        // Straight from the problem table: a Document that ran out of memory
        // may have no room for the described-problem cache either.
        append_memory_problem(builder, doc, doc->problems[memory].offset);
    } else if (problem_count(doc) == 1) {
        tb_append_text(builder, "Line ");
        append_formatted_count(builder, record_line_of(doc, first));
        tb_append_text(builder, " could not be read: ");
        tb_append_text(builder, first->message);
        tb_append_text(builder, ".");
    } else {
        append_formatted_count(builder, problem_count(doc));
        tb_append_text(builder, " lines could not be read (first: line ");
        append_formatted_count(builder, record_line_of(doc, first));
        tb_append_text(builder, ").");
    }
}

}  // namespace

uint32_t status_summary(const Document* doc, int32_t parse_ms, void* buffer, uint64_t size) {
    char storage[SUMMARY_TEXT_SIZE];
    TextBuilder builder = tb_fixed(storage, sizeof storage);
    if (doc) {
        append_formatted_size(&builder, text_length(doc));
        if (form(doc) == DocumentForm::Empty) {
            tb_append_text(&builder, " · empty");
        } else {
            uint32_t values = node_count(doc) - (is_records(doc) ? 1 : 0);
            tb_append_text(&builder, SEPARATOR);
            append_count(&builder, values, "value", "values");
            tb_append_text(&builder, SEPARATOR);
            append_kind_of_text(&builder, doc);
            if (features(doc) & SyntaxFeatures::RawControlChars)
                tb_append_text(&builder, " with raw control characters");
            if (std::strcmp(encoding_label(doc), "UTF-8") != 0) {
                tb_append_text(&builder, SEPARATOR);
                tb_append_text(&builder, encoding_label(doc));
            }
            if (parse_ms >= 0) append_parse_time(&builder, parse_ms);
        }
    }
    return static_cast<uint32_t>(tb_copy_out(&builder, buffer, size));
}

uint32_t error_summary(const Document* doc, void* buffer, uint64_t size) {
    char storage[SUMMARY_TEXT_SIZE];
    TextBuilder builder = tb_fixed(storage, sizeof storage);
    const ProblemInfo* first = problem_count(doc) ? problem_info(doc, 0) : nullptr;
    if (first) {
        if (is_records(doc)) append_records_problems(&builder, doc, first);
        else append_single_problem(&builder, doc, first);
    }
    return static_cast<uint32_t>(tb_copy_out(&builder, buffer, size));
}
