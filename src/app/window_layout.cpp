#include "app/window_layout.h"

#include <algorithm>
#include <cmath>

#include "app/doc_window.h"
#include "core/document.h"
#include "files/settings.h"
#include "views/view_state.h"

DocLayout doc_window_layout(const DocLayoutInput& input) {
    DocLayout layout{};
    const float s = input.scale;
    const int32_t width = std::max(input.client_width, 0);
    const int32_t height = std::max(input.client_height, 0);
    int32_t y = 0;
    auto take_band = [&](int32_t length) {
        PixelRect band{0, y, width, scaled_pixels(length, s)};
        y += band.height;
        return band;
    };
    layout.top_bar = take_band(DocLength::TopBar);
    if (input.message_bar) {
        layout.message_bar = take_band(DocLength::MessageBar);
        layout.message_bar_shown = 1;
    }
    if (input.problem_bar) {
        layout.problem_bar = take_band(DocLength::ProblemBar);
        layout.problem_bar_shown = 1;
    }
    // The bars above may already fill a very short window.
    y = std::min(y, height);
    if (input.start_page) {
        layout.start_page = {0, y, width, height - y};
        layout.start_page_shown = 1;
        return layout;
    }
    const int32_t status = std::min(scaled_pixels(DocLength::StatusBar, s), height - y);
    layout.status_bar = {0, height - status, width, status};
    const int32_t content = height - y - status;
    if (!input.inspector) {
        layout.list = {0, y, width, content};
        return layout;
    }
    const int32_t split = scaled_pixels(DocLength::SplitBar, s);
    const int32_t room = width - split - scaled_pixels(DocLength::ListMinimum, s);
    const int32_t inspector = std::max(0, std::min(room, scaled_pixels(input.inspector_width, s)));
    const int32_t list = std::max(0, width - split - inspector);
    layout.list = {0, y, list, content};
    layout.split_bar = {list, y, std::min(split, width - list), content};
    layout.inspector = {width - inspector, y, inspector, content};
    layout.inspector_shown = 1;
    return layout;
}

int32_t dragged_inspector_width(int32_t client_right, int32_t cursor_x, float scale) {
    const float s = scale > 0 ? scale : 1.0f;
    const float room = static_cast<float>(client_right) - static_cast<float>(cursor_x) -
                       static_cast<float>(scaled_pixels(DocLength::SplitBar / 2, s));
    const float width = std::trunc(room / s);
    return static_cast<int32_t>(std::clamp(width, static_cast<float>(INSPECTOR_WIDTH_MIN),
                                           static_cast<float>(INSPECTOR_WIDTH_MAX)));
}

bool problem_bar_visible(const DocWindow* window) {
    return window->view && !window->problem_bar_dismissed &&
           (window->file_missing || problem_count(document(window->view)) > 0);
}

DocLayoutInput doc_layout_input(const DocWindow* window, int32_t client_width, int32_t client_height, float scale) {
    const bool message = window->message_text[0] || window->goto_message[0];
    return {client_width,       client_height,           scale, window->start_page, message,
            problem_bar_visible(window), window->inspector_shown, window->inspector_width};
}
