#include "load_text.h"

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

DocumentPtr load_text(const std::string& text, LoadOptions options, const LoadProgress* progress,
                      uint32_t* outcome) {
    uint8_t* buffer = alloc_text_buffer(text.size());
    if (!buffer) return nullptr;
    std::memcpy(buffer, text.data(), text.size());
    return DocumentPtr(load_document(buffer, text.size(), &options, progress, outcome));
}

DocumentPtr load_strict(const std::string& text) { return load_text(text, LoadOptions{1, 0}); }
DocumentPtr load_json_lines(const std::string& text) { return load_text(text, LoadOptions{0, 1}); }

std::string utf16_text(const std::u16string& units, bool big_endian) {
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : units) {
        char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += big_endian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

std::string read_file(const std::string& path) {
    std::string bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    char chunk[1 << 16];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    std::fclose(file);
    return bytes;
}

std::string shared_data_path(const std::string& relative) { return std::string(TARNWELL_SHARED_DIR) + "/" + relative; }

bool shared_data_available() {
    // Decided when building: under Wine a path that fails to resolve must fail
    // the tests, not skip them.
#ifdef TARNWELL_SHARED_DIR_PRESENT
    return true;
#else
    return false;
#endif
}

std::vector<std::string> list_files(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> bench_documents() {
    std::vector<std::string> paths;
    for (const std::string& name : list_files(shared_data_path("bench-data"))) {
        std::string extension = name.substr(std::min(name.rfind('.'), name.size()));
        if (extension == ".json" || extension == ".ndjson") paths.push_back(shared_data_path("bench-data/" + name));
    }
    return paths;
}

std::string key_of(const Document* doc, NodeId id) {
    return measured_text([&](char* out, uint64_t size) { return copy_key(doc, id, out, size); });
}

std::string value_of(const Document* doc, NodeId id) {
    return measured_text([&](char* out, uint64_t size) { return copy_value(doc, id, out, size); });
}

std::string source_of(const Document* doc, NodeId id) {
    return std::string(reinterpret_cast<const char*>(text(doc)) + value_offset(doc, id), value_length(doc, id));
}

std::string problem_at(const Document* doc, uint32_t index) {
    const ProblemInfo* info = problem_info(doc, index);
    if (!info) return "";
    return std::string(info->message) + "@" + std::to_string(info->offset);
}
