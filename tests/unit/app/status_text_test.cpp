#include "app/status_text.h"

#include <gtest/gtest.h>

#include <string>

#include "app/doc_window.h"
#include "load_text.h"
#include "test_host.h"

namespace {

std::string left_text(const DocWindow* window) {
    return measured_text([&](char* buffer, uint64_t size) { return status_left_text(window, buffer, size); });
}

TEST(StatusText, ProgressWhileReadingOrBuildingTheTextView) {
    DocWindow window{};
    // Only whether a Job slot is taken matters here.
    Job* pending = reinterpret_cast<Job*>(&window);
    window.progress_visible = 1;
    window.progress = 400;
    window.text_view_job = pending;
    EXPECT_EQ(left_text(&window), "Preparing the Text view... 40%");
    window.open_job = pending;
    window.file_size = 1536;
    EXPECT_EQ(left_text(&window), "Reading 1.5 KB... 40%");
    window.open_job = nullptr;
    window.reload_job = pending;
    window.file_size = 0;
    window.progress = 1500;
    EXPECT_EQ(left_text(&window), "Reading... 100%");

    // Progress is not shown yet: the summary of what is shown, here nothing.
    window.progress_visible = 0;
    EXPECT_EQ(left_text(&window), "");
    window.progress_visible = 1;
    window.reload_job = window.text_view_job = nullptr;
    EXPECT_EQ(left_text(&window), "");

    window.open_job = pending;
    window.progress = 990;
    char cut[8];
    EXPECT_EQ(status_left_text(&window, cut, sizeof cut), 14u);
    EXPECT_STREQ(cut, "Reading");
}

TEST(StatusText, ADocumentShowsItsSummary) {
    TestHost host;
    DocWindow* window = host.open_text("{\"a\": [1, 2]}");
    std::string text = left_text(window);
    EXPECT_NE(text.find("4 values"), std::string::npos) << text;
}

}  // namespace
