#include "app/status_text.h"

#include <gtest/gtest.h>

#include "app/doc_window.h"
#include "load_text.h"
#include "test_host.h"

namespace {

std::string left_text(const DocWindow* window) {
    return measured_text([&](char* buffer, uint64_t size) { return status_left_text(window, buffer, size); });
}

TEST(StatusText, ProgressWhileReadingOrBuildingTheTextView) {
    DocWindow window{};
    Job* pending = reinterpret_cast<Job*>(&window);  // only whether a slot is taken matters
    window.progress_visible = 1;
    window.progress = 400;
    window.text_view_job = pending;
    EXPECT_EQ(left_text(&window), "Preparing the Text view... 40%");
    window.open_job = pending;
    window.file_size = 1536;
    EXPECT_EQ(left_text(&window), "Reading 1.5 KB... 40%");
    window.file_size = 0;
    window.progress = 1500;
    EXPECT_EQ(left_text(&window), "Reading... 100%");
    uint32_t per_mille = 0;
    EXPECT_TRUE(progress_shown(&window, &per_mille));
    EXPECT_EQ(per_mille, 1000u);  // the top bar's line fills its width, no more
    window.progress_visible = 0;
    EXPECT_EQ(left_text(&window), "");
    EXPECT_FALSE(progress_shown(&window, &per_mille));

    TestHost host;
    DocWindow* shown = host.open_text("{\"a\": [1, 2]}");
    EXPECT_NE(left_text(shown).find("4 values"), std::string::npos) << left_text(shown);
}

}  // namespace
