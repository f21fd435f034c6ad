// Loading test texts, and owning the Document for the length of a test.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/load.h"

struct DocumentReleaser {
    void operator()(Document* doc) const { release(doc); }
};
using DocumentPtr = std::unique_ptr<Document, DocumentReleaser>;

// Copies `text` into a padded buffer and loads it.
DocumentPtr load_text(const std::string& text, LoadOptions options = {}, const LoadProgress* progress = nullptr,
                      uint32_t* outcome = nullptr);
DocumentPtr load_strict(const std::string& text);
DocumentPtr load_json_lines(const std::string& text);
// UTF-16 bytes of `units` in either byte order, after the byte-order mark.
std::string utf16_text(const std::u16string& units, bool big_endian = false);

// Whole-file helpers for shared test data.
std::string read_file(const std::string& path);
std::string shared_data_path(const std::string& relative);
bool shared_data_available();
// The names in a folder (without "." and ".."), sorted; empty when it cannot be read.
std::vector<std::string> list_files(const std::string& folder);
// The paths of the JSON and JSON Lines files of the shared benchmark corpus (14).
std::vector<std::string> bench_documents();

// What a writer with the snprintf contract gives, measured with no buffer and
// then written: write(buffer, size) returns the full length.
template <typename Write>
std::string measured_text(Write write) {
    std::string text(write(nullptr, 0), '\0');
    write(text.data(), text.size() + 1);
    return text;
}

// The decoded key or value of a node as a std::string.
std::string key_of(const Document* doc, NodeId id);
std::string value_of(const Document* doc, NodeId id);
// The source text of a node's value.
std::string source_of(const Document* doc, NodeId id);
// "<message>@<offset>" of problem `index`, or "" when there is none.
std::string problem_at(const Document* doc, uint32_t index = 0);
