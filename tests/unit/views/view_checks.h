// Owning a ViewState or a TextView, and short texts of rows, lines and history.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "cli_run.h"
#include "load_text.h"
#include "views/text_view.h"
#include "views/view_state.h"

struct ViewReleaser {
    void operator()(ViewState* view) const { release_view_state(view); }
};
using ViewPtr = std::unique_ptr<ViewState, ViewReleaser>;

inline ViewPtr view_of(const DocumentPtr& doc, bool with_initial_expansion = true) {
    return ViewPtr(create_view_state(doc.get(), with_initial_expansion));
}

// The ids separated by spaces, runs of three or more written first-last.
inline std::string ids_text(const NodeId* ids, uint32_t count) {
    std::string text;
    for (uint32_t i = 0; i < count;) {
        uint32_t run = i;
        while (run + 1 < count && ids[run + 1] == ids[run] + 1) run++;
        if (!text.empty()) text += ' ';
        text += std::to_string(ids[i]);
        if (run - i >= 2) {
            text += '-' + std::to_string(ids[run]);
            i = run + 1;
        } else {
            i++;
        }
    }
    return text;
}

inline std::string rows_text(const ViewState* view) {
    return ids_text(view->row_model->rows, view->row_model->row_count);
}
inline std::string back_text(const ViewState* view) { return ids_text(view->back, view->back_count); }
inline std::string forward_text(const ViewState* view) { return ids_text(view->forward, view->forward_count); }

// The mark of each marked run: 1 a match, 2 the current match.
inline std::string run_marks(const RowPaint& paint) {
    std::string marks;
    for (uint32_t i = 0; i < paint.run_count; i++) {
        if (paint.runs[i].mark) marks += std::to_string(paint.runs[i].mark);
    }
    return marks;
}

inline void give_text_view(ViewState* view, uint32_t mode) {
    uint32_t outcome = 0;
    ProgressContext progress{};
    set_text_view(view, build_text_view(view->document, mode, &progress, &outcome));
}

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
    return measured_text([&](char* out, uint64_t size) { return lines ? text_of_lines(view, 0, lines - 1, out, size) : 0; });
}

// A plain search (or one with these options) for `query`; the caller releases it.
inline SearchState* search_of(Document* doc, const char* query, SearchOptions options = {}) {
    return compile_search(doc, reinterpret_cast<const uint8_t*>(query), std::strlen(query), &options, nullptr, 0);
}
