// Reading script lines and splitting them into words.
#include "base/ascii.h"
#include "script/script_reader.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

void split_words(const char* text, uint32_t length, ScriptLine* line) {
    line->word_count = 0;
    line->more_words = false;
    uint32_t i = 0;
    while (i < length) {
        while (i < length && is_blank(text[i])) i++;
        if (i == length) break;
        uint32_t start = i;
        while (i < length && !is_blank(text[i])) i++;
        if (line->word_count == SCRIPT_MAX_WORDS) {
            line->more_words = true;
            break;
        }
        line->words[line->word_count++] = ScriptWord{text + start, i - start};
    }
    uint32_t first_blank = 0;
    while (first_blank < length && !is_blank(text[first_blank])) first_blank++;
    uint32_t argument_start = first_blank < length ? first_blank + 1 : length;
    line->argument = text + argument_start;
    line->argument_length = length - argument_start;
}

}  // namespace

ScriptReader script_reader(const char* text, uint64_t length) { return ScriptReader{text, length, 0, 0}; }

bool next_script_line(ScriptReader* reader, ScriptLine* line) {
    while (reader->position < reader->length) {
        const char* text = reader->text;
        uint64_t start = reader->position;
        uint64_t end = start;
        while (end < reader->length && text[end] != '\n') end++;
        reader->position = end < reader->length ? end + 1 : end;
        reader->line_number++;
        if (end > start && text[end - 1] == '\r') end--;
        while (start < end && is_blank(text[start])) start++;
        while (end > start && is_blank(text[end - 1])) end--;
        if (start == end || text[start] == '#') continue;
        line->number = reader->line_number;
        split_words(text + start, static_cast<uint32_t>(end - start), line);
        return true;
    }
    return false;
}

bool script_word_is(ScriptWord word, const char* text, bool ignore_case) {
    uint32_t i = 0;
    for (; i < word.length; i++) {
        if (text[i] == 0) return false;
        char c = word.text[i];
        if (ignore_case ? fold_ascii(c) != fold_ascii(text[i]) : c != text[i]) return false;
    }
    return text[i] == 0;
}
