#include "app/search_box.h"

#include <gtest/gtest.h>

#include <string>

#include "test_host.h"
#include "views/search_view.h"
#include "views/view_state.h"

namespace {

const char DOCUMENT[] = "{\"apple\": 1, \"b\": [\"apple pie\", \"pear\"], \"c\": \"Apple\"}";

std::string counter(const DocWindow* window) {
    char text[96];
    search_counter_text(window->view, text, sizeof text);
    return text;
}

void type(DocWindow* window, const std::string& text) { search_box_changed(window, text.data(), text.size()); }

TEST(SearchBox, TypingRunsThePausedSearchAndEnterSteps) {
    TestHost host;
    DocWindow* window = host.open_text(DOCUMENT);
    type(window, "appl");
    type(window, "apple");
    EXPECT_EQ((host.timers[{window, DocTimer::SearchDebounce}]), 250u);
    EXPECT_EQ(host.jobs_started, 1u);
    doc_window_timer(window, DocTimer::SearchDebounce);
    host.pump();
    EXPECT_FALSE(host.timer_running(window, DocTimer::SearchDebounce));
    EXPECT_EQ(counter(window), "1 of 3");  // case ignored: the selection followed the first match
    search_box_enter(window, false);       // unchanged box: next match
    EXPECT_EQ(counter(window), "2 of 3");
    EXPECT_EQ(host.jobs_started, 2u);
    type(window, "pear");
    search_box_enter(window, false);  // changed box: runs at once
    host.pump();
    EXPECT_EQ(counter(window), "1 of 1");
    EXPECT_EQ(host.jobs_started, 3u);
}

}  // namespace
