// Owning a ViewState in a test, and short texts of its rows and history that
// expectations can be written against.
#pragma once

#include <memory>
#include <string>

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

// The mark of each marked run of a painted row or line: 1 a match, 2 the
// current match.
inline std::string run_marks(const RowPaint& paint) {
    std::string marks;
    for (uint32_t i = 0; i < paint.run_count; i++) {
        if (paint.runs[i].mark) marks += std::to_string(paint.runs[i].mark);
    }
    return marks;
}

// Builds a text view of the Document and hands it to the ViewState.
inline void give_text_view(ViewState* view, uint32_t mode) {
    uint32_t outcome = 0;
    ProgressContext progress{};
    set_text_view(view, build_text_view(view->document, mode, &progress, &outcome));
}
