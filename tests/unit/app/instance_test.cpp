// The running instance's side of a hand-off, with blocks made as a second
// start makes them.
#include "app/instance.h"

#include <gtest/gtest.h>

#include <string>

#include "app/handoff.h"
#include "base/memory.h"
#include "test_host.h"

namespace {

uint32_t hand_off(TestHost& host, const char* const* files, uint32_t count) {
    uint8_t* data = nullptr;
    uint32_t size = 0;
    EXPECT_TRUE(build_handoff_for_files(&host.io, files, count, &data, &size));
    uint32_t reply = receive_handoff(&host.app, HANDOFF_MAGIC, data, size);
    mem_free(data);
    host.pump();
    return reply;
}

TEST(Instance, HandedFilesOpenHereAndNoFilesBringAStartPage) {
    TestHost host;
    std::string a = write_test_file("handed_a.json", "[1]");
    std::string b = write_test_file("handed_b.json", "[1, 2]");
    DocWindow* start = create_doc_window(&host.app, true);
    const char* files[] = {a.c_str(), b.c_str()};
    EXPECT_EQ(hand_off(host, files, 2), HANDOFF_HANDLED);
    ASSERT_EQ(host.window_count(), 2u);
    EXPECT_NE(start->view, nullptr);  // the start page took the first file
    EXPECT_STREQ(host.app.windows->display_name, "handed_b.json");

    host.notices.clear();
    EXPECT_EQ(hand_off(host, nullptr, 0), HANDOFF_HANDLED);
    ASSERT_EQ(host.window_count(), 3u);
    EXPECT_TRUE(host.app.windows->start_page);
    EXPECT_TRUE(host.notices[host.app.windows] & Notice::BringForward);
    // That start page is brought forward again rather than made twice; so is
    // it for a file that cannot be opened.
    const char* missing[] = {"no_such_file.json"};
    EXPECT_EQ(hand_off(host, missing, 1), HANDOFF_HANDLED);
    EXPECT_EQ(host.window_count(), 3u);

    EXPECT_EQ(receive_handoff(&host.app, HANDOFF_MAGIC + 1, nullptr, 0), HANDOFF_REFUSED);
    // A program whose last window has closed cannot show the files: the
    // sender opens them itself.
    while (host.app.windows) close_doc_window(host.app.windows);
    EXPECT_EQ(hand_off(host, files, 2), HANDOFF_REFUSED);
    EXPECT_EQ(host.window_count(), 0u);
}

TEST(Instance, ASecondStartSendsAbsolutePaths) {
    TestHost host;
    const char* files[] = {"relative.json"};
    uint8_t* data = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(build_handoff_for_files(&host.io, files, 1, &data, &size));
    HandoffPaths paths;
    ASSERT_EQ(parse_handoff(HANDOFF_MAGIC, data, size, &paths), HandoffStatus::Ok);
    mem_free(data);
    ASSERT_EQ(paths.count, 1u);
    char full[4096];
    host.io.absolute_path("relative.json", full, sizeof full);
    EXPECT_STREQ(paths.paths[0], full);
    EXPECT_NE(std::string(full), "relative.json");
    release_handoff_paths(&paths);
}

}  // namespace
