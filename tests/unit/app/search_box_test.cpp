#include "app/search_box.h"

#include <gtest/gtest.h>

#include <string>

#include "app/clipboard.h"
#include "search/search_view.h"
#include "test_host.h"
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

TEST(SearchBox, OptionsRerunTheSearchAndLiveInTheSettings) {
    TestHost host;
    DocWindow* window = host.open_text(DOCUMENT);
    DocWindow* other = create_doc_window(&host.app, true);
    type(window, "Apple");
    run_search_now(window);
    host.pump();
    toggle_match_case(window);
    host.pump();
    EXPECT_EQ(counter(window), "1 of 1");
    EXPECT_TRUE(host.notices[other] & Notice::TopBar);
    choose_scope(window, SearchScope::Keys);
    host.pump();
    EXPECT_EQ(counter(window), "No matches");
    uint32_t saves = host.saves;
    choose_scope(window, SearchScope::Keys);  // unchanged: not saved again
    EXPECT_EQ(host.saves, saves);
}

// The script's search, its compile error included, runs in the end-to-end
// cases; the error's clearing by typing and Escape are the box's own.
TEST(SearchBox, TypingClearsAnErrorAndEscapeTheSearch) {
    TestHost host(true);
    DocWindow* window = host.open_text(DOCUMENT);
    SearchOptions regex{0, 1, 0, 0};
    set_search_from_script(window, "(", 1, &regex);
    EXPECT_TRUE(window->search_box.in_error);
    type(window, "(a)");
    EXPECT_EQ(window->message_text[0], 0);
    EXPECT_FALSE(window->search_box.in_error);
    type(window, "pie");
    run_search_now(window);
    host.pump();
    host.notices.clear();
    clear_search(window);
    EXPECT_EQ(search(window->view), nullptr);
    EXPECT_EQ(window->search_box.length, 0u);
    EXPECT_EQ(host.notices[window] & (Notice::FocusList | Notice::SearchBoxText), Notice::FocusList | Notice::SearchBoxText);
    uint32_t jobs = host.jobs_started;
    search_box_enter(window, false);  // no query: no search to run
    EXPECT_EQ(host.jobs_started, jobs);
}

}  // namespace
