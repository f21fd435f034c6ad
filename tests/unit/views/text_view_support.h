// Building text views of test texts and reading their lines back as strings.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "cli_run.h"
#include "load_text.h"
#include "views/text_view.h"

struct TextViewReleaser {
    void operator()(TextView* view) const { release_text_view(view); }
};
using TextViewPtr = std::unique_ptr<TextView, TextViewReleaser>;

inline TextViewPtr build_view(Document* doc, uint32_t mode) {
    uint32_t outcome = 99;
    TextViewPtr view(build_text_view(doc, mode, nullptr, &outcome));
    EXPECT_EQ(outcome, TEXT_VIEW_DONE);
    return view;
}

// A painted line as tarnwell-cli prints it.
inline std::string painted_line(const TextView* view, uint32_t line, uint32_t budget = TEXT_LINE_BUDGET,
                                bool styles = false, const SearchState* search = nullptr,
                                NodeId current = NO_NODE) {
    RowPaint paint = row_paint();
    build_text_line(view, line, budget, search, current, &paint);
    std::string text = printed_paint(paint, styles);
    release_row_paint(&paint);
    return text;
}

inline std::string all_text(const TextView* view) {
    uint32_t lines = text_line_count(view);
    return measured_text([&](char* out, uint64_t size) {
        return lines ? text_of_lines(view, 0, lines - 1, out, size) : 0;
    });
}

inline SearchState* compile_query(Document* doc, const char* query, SearchOptions options = {}) {
    return compile_search(doc, reinterpret_cast<const uint8_t*>(query), std::strlen(query), &options, nullptr, 0);
}
