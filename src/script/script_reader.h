// Reading a script one command line at a time: lines end at LF (a CR before
// it is dropped), leading and trailing spaces and tabs are trimmed, and empty
// lines and lines that begin with "#" are passed over but still counted, so
// that errors name the line as an editor shows it.
#pragma once

#include <cstdint>

constexpr uint32_t SCRIPT_MAX_WORDS = 8;

struct ScriptWord {
    const char* text;  // not terminated
    uint32_t length;
};

struct ScriptLine {
    uint32_t number;  // 1-based
    // The words, split at spaces and tabs; more_words is set when the line
    // holds more than SCRIPT_MAX_WORDS of them.
    ScriptWord words[SCRIPT_MAX_WORDS];
    uint32_t word_count;
    bool more_words;
    // Everything after the first space or tab (empty when there is none),
    // kept as written: a path or a query may hold spaces of its own.
    const char* argument;
    uint32_t argument_length;
};

// The script text (under 4 GB) must stay alive while lines taken from it are
// used.
struct ScriptReader {
    const char* text;
    uint64_t length;
    uint64_t position;
    uint32_t line_number;  // of the last line taken
};

ScriptReader script_reader(const char* text, uint64_t length);

// Takes the next command line; false at the end of the script. To put a line
// back, keep a copy of the reader from before the call.
[[nodiscard]] bool next_script_line(ScriptReader* reader, ScriptLine* line);

// True when a word is exactly `text`; `ignore_case` folds ASCII letters.
bool script_word_is(ScriptWord word, const char* text, bool ignore_case = false);
