// parse_settings on any bytes: the record it gives is valid, formats into a
// text that parses back to the same record, and survives add_recent of the
// input's first line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "files/settings.h"
#include "settings_checks.h"

namespace {

void require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "settings fuzz: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto settings = std::make_unique<Settings>();
    parse_settings(settings.get(), data, size);
    std::string fault = check_settings_invariants(*settings);
    require(fault.empty(), fault.c_str());

    std::string text = formatted_settings(*settings);
    auto again = std::make_unique<Settings>();
    parse_settings(again.get(), reinterpret_cast<const uint8_t*>(text.data()), text.size());
    require(same_settings(*settings, *again), "formatted text parses to another record");

    std::string first_line(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), size));
    first_line = first_line.substr(0, first_line.find('\n'));
    bool added = add_recent(settings.get(), first_line.c_str());
    require(added == is_valid_recent_path(reinterpret_cast<const uint8_t*>(first_line.data()), first_line.size()),
            "add_recent disagrees with the path rule");
    require(!added || std::strcmp(settings->recent[0], first_line.c_str()) == 0, "added path is not first");
    fault = check_settings_invariants(*settings);
    require(fault.empty(), fault.c_str());
    return 0;
}
