// A window following its file: change checks, a missing file, reloads asked
// for while one runs or after the window closed, and memory running out while
// the Document is replaced.
#include "app/reload.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/commands.h"
#include "app/open_file.h"
#include "app/search_box.h"
#include "base/memory.h"
#include "test_host.h"
#include "views/view_state.h"

namespace {

DocWindow* open_file(TestHost& host, const std::string& path) {
    DocWindow* window = open_path(&host.app, nullptr, path.c_str());
    host.pump();
    EXPECT_TRUE(window && window->view);
    return window;
}

uint32_t nodes_shown(const DocWindow* window) { return node_count(document(window->view)); }

TEST(Reload, FollowsTheFileAndKeepsTheLastVersionWhenItIsGone) {
    TestHost host(true);
    std::string path = write_test_file("followed.json", R"({"a": 1})");
    DocWindow* window = open_file(host, path);
    check_file_changed(window);
    EXPECT_EQ(host.jobs_started, 1u);  // unchanged: nothing is read

    std::remove(path.c_str());
    host.notices.clear();
    check_file_changed(window);
    EXPECT_EQ(host.jobs_started, 1u);
    EXPECT_EQ(window->file_missing, 1);
    EXPECT_TRUE(host.notices[window] & Notice::Layout);
    // Asked for, the reload fails in the same way, and says so in a script.
    ViewState* shown = window->view;
    host.notices.clear();
    run_command(window, CommandId::Reload);
    host.pump();
    EXPECT_EQ(host.lines, std::vector<std::string>{"reload-error=The file was deleted or moved. Showing the last version."});
    EXPECT_EQ(window->view, shown);
    EXPECT_EQ(window->reload_count, 0u);
    EXPECT_FALSE(host.notices[window] & Notice::Layout);  // the bar already shows

    write_test_file("followed.json", R"({"a": 1, "b": 2})");
    host.notices.clear();
    check_file_changed(window);
    host.pump();
    EXPECT_EQ(window->reload_count, 1u);
    // The list starts at the restored top row rather than centring the selection.
    EXPECT_EQ(host.notices[window] & (Notice::List | Notice::NewView | Notice::CentreSelection),
              Notice::List | Notice::NewView);
    EXPECT_EQ(window->file_missing, 0);
    EXPECT_EQ(nodes_shown(window), 3u);
    EXPECT_EQ(std::string(window->flash_text).rfind("Reloaded ", 0), 0u);

    // A change while a reload is pending reloads once more afterwards.
    run_command(window, CommandId::Reload);
    write_test_file("followed.json", R"({"a": 1, "b": 2, "c": 3})");
    check_file_changed(window);
    EXPECT_EQ(window->reload_again, 1);
    host.pump();
    EXPECT_EQ(window->reload_count, 3u);
    EXPECT_EQ(window->reload_again, 0);
    EXPECT_EQ(nodes_shown(window), 4u);

    // The completion of a reload whose window has closed only frees the Job.
    start_reload(window, true);
    close_doc_window(window);
    host.pump();
    EXPECT_FALSE(jobs_running(&host.app));
}

// Whatever allocation fails, the window shows either the new version with
// its identity, or the old one with the old identity (so that the next check
// reloads again) and the search that the reload cancelled running again.
TEST(Reload, ReplacingTheDocumentSurvivesEveryAllocationFailure) {
    std::string text = "{";
    for (int i = 0; i < 40; i++) text += (i ? ", \"k" : "\"k") + std::to_string(i) + "\": [" + std::to_string(i) + "]";
    uint32_t failed = 0, reloaded = 0;
    for (uint64_t n = 1;; n++) {
        TestHost host(true);
        std::string path = write_test_file("swept.json", text + "}");
        DocWindow* window = open_file(host, path);
        FileIdentity old_identity = window->file_identity;
        ViewState* old_view = window->view;
        write_test_file("swept.json", text + ", \"added\": true}");
        start_reload(window, false);
        set_search_from_script(window, "k3", 2, &window->search_box.last_options);
        ASSERT_NE(window->search_job, nullptr);
        mem_test_fail_at(n);
        host.pump();
        bool reached = mem_test_allocation_count() >= n;
        mem_test_fail_at(0);
        if (window->reload_count == 0) {
            failed++;
            EXPECT_EQ(window->view, old_view) << n;
            EXPECT_TRUE(same_identity(window->file_identity, old_identity)) << n;
        } else {
            reloaded++;
            EXPECT_EQ(nodes_shown(window), 82u) << n;
            EXPECT_FALSE(same_identity(window->file_identity, old_identity)) << n;
        }
        // The query runs on whichever Document is shown, unless memory ran
        // out for the run itself and the query was forgotten.
        EXPECT_TRUE(search(window->view) || !window->search_box.has_last_query) << n;
        if (!reached) break;
    }
    EXPECT_GT(failed, 5u);
    EXPECT_GT(reloaded, 0u);
}

}  // namespace
