// The watcher's decisions: what a finished request means, finding the file
// among the records, the folder a path is watched by, and the burst rule.
#include "app/file_watch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/open_file.h"
#include "app/reload.h"
#include "test_host.h"

namespace {

bool same_ascii_name(const uint16_t* a, uint32_t a_units, const uint16_t* b, uint32_t b_units) {
    if (a_units != b_units) return false;
    for (uint32_t i = 0; i < a_units; i++) {
        uint16_t x = a[i] >= 'A' && a[i] <= 'Z' ? a[i] + 32 : a[i];
        uint16_t y = b[i] >= 'A' && b[i] <= 'Z' ? b[i] + 32 : b[i];
        if (x != y) return false;
    }
    return true;
}

void put_u32(std::vector<uint8_t>& bytes, uint32_t value) {
    uint8_t raw[4];
    std::memcpy(raw, &value, 4);
    bytes.insert(bytes.end(), raw, raw + 4);
}

// The system's records, each padded to 4 bytes; `last_next` overrides the
// last record's next offset.
std::vector<uint8_t> records_of(const std::vector<std::string>& names, uint32_t last_next = 0) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < names.size(); i++) {
        uint32_t size = (12 + 2 * static_cast<uint32_t>(names[i].size()) + 3) & ~3u;
        put_u32(bytes, i + 1 < names.size() ? size : last_next);
        put_u32(bytes, 3);  // modified
        put_u32(bytes, 2 * static_cast<uint32_t>(names[i].size()));
        for (char c : names[i]) bytes.insert(bytes.end(), {static_cast<uint8_t>(c), 0});
        while (bytes.size() % 4) bytes.push_back(0);
    }
    return bytes;
}

bool names_file(const std::vector<uint8_t>& records, const char* name, uint32_t bytes) {
    std::vector<uint16_t> wide(name, name + std::strlen(name));
    return records_name_file(records.data(), bytes, wide.data(), static_cast<uint32_t>(wide.size()), same_ascii_name);
}

TEST(FileWatch, AFinishedRequestGoesOnUnlessItFailed) {
    EXPECT_EQ(watch_step(true, 40, 0), WatchStep::Records);
    EXPECT_EQ(watch_step(true, 0, 0), WatchStep::Overflow);
    EXPECT_EQ(watch_step(false, 0, WATCH_ERROR_OVERFLOW), WatchStep::Overflow);
    EXPECT_EQ(watch_step(false, 0, 5), WatchStep::Failed);     // access denied: the folder went away
    EXPECT_EQ(watch_step(false, 0, 995), WatchStep::Failed);   // the request was cancelled
}

TEST(FileWatch, OnlyARecordOfTheFileCounts) {
    std::vector<uint8_t> records = records_of({"other.json", "Data.JSON", "third"});
    uint32_t all = static_cast<uint32_t>(records.size());
    EXPECT_TRUE(names_file(records, "data.json", all));
    EXPECT_FALSE(names_file(records, "data.jso", all));
    EXPECT_TRUE(names_file(records, "third", all));
    // A list cut short, or one whose offsets lead past its end, is read no further.
    EXPECT_FALSE(names_file(records, "data.json", 40));
    std::vector<uint8_t> looping = records_of({"a.json", "b.json"}, 4000);
    std::vector<uint8_t> tail = records_of({"x"}, 0);
    EXPECT_FALSE(names_file(looping, "c.json", static_cast<uint32_t>(looping.size())));
    EXPECT_FALSE(names_file(tail, "x", 13));
}

TEST(FileWatch, APathSplitsIntoFolderAndName) {
    struct Case {
        const char* path;
        const char* folder;  // nullptr: not watched
        const char* name;
    };
    const Case cases[] = {
        {"C:\\data\\x.json", "C:\\data", "x.json"},
        {"C:\\x.json", "C:\\", "x.json"},
        {"\\\\server\\share\\x.json", "\\\\server\\share", "x.json"},
        {"C:\\data\\", nullptr, nullptr},
        {"x.json", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        WatchPath split{};
        bool watched = split_watch_path(c.path, std::strlen(c.path), &split);
        ASSERT_EQ(watched, c.folder != nullptr) << c.path;
        if (!watched) continue;
        EXPECT_EQ(std::string(c.path, split.folder_length), c.folder);
        EXPECT_STREQ(c.path + split.name_start, c.name);
    }
}

TEST(FileWatch, ABurstWaitsForItsLastNoticeButNotForEver) {
    TestHost host;
    DocWindow* window = open_path(&host.app, nullptr, write_test_file("burst.json", "[1]").c_str());
    host.pump();
    ASSERT_TRUE(window && window->view);
    file_change_notice(window, 10000);
    EXPECT_TRUE(host.timer_running(window, DocTimer::FileChanged));
    host.timers.clear();
    file_change_notice(window, 10999);  // restarted
    EXPECT_TRUE(host.timer_running(window, DocTimer::FileChanged));
    host.timers.clear();
    file_change_notice(window, 11000);  // a second into the burst: the timer is left to fire
    EXPECT_FALSE(host.timer_running(window, DocTimer::FileChanged));
    doc_window_timer(window, DocTimer::FileChanged);
    file_change_notice(window, 11050);  // a new burst
    EXPECT_TRUE(host.timer_running(window, DocTimer::FileChanged));

    DocWindow* clipboard = host.open_text("[2]");
    file_change_notice(clipboard, 20000);
    EXPECT_FALSE(host.timer_running(clipboard, DocTimer::FileChanged));
}

}  // namespace
