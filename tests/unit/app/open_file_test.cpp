#include "app/open_file.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/text_builder.h"
#include "load_text.h"
#include "test_host.h"
#include "views/view_state.h"

namespace {

std::string upper_file_name(std::string path) {
    for (size_t i = path.rfind('/') + 1; i < path.size(); i++) path[i] = static_cast<char>(std::toupper(path[i]));
    return path;
}

TEST(OpenPath, ReadsParsesAndRemembersTheFile) {
    TestHost host;
    std::string path = write_test_file("open_me.NDJSON", "1\n2\n");
    DocWindow* window = open_path(&host.app, nullptr, path.c_str());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(host.timer_running(window, DocTimer::Progress));
    host.pump();
    ASSERT_NE(window->view, nullptr);
    EXPECT_EQ(form(document(window->view)), DocumentForm::JsonLines);  // by the extension, in any case
    EXPECT_FALSE(host.timer_running(window, DocTimer::Progress));
    ASSERT_EQ(host.app.settings.recent_count, 1);
    EXPECT_EQ(std::string(window->path), host.app.settings.recent[0]);
    // The same file under another case is the same file: no second read.
    host.notices.clear();
    EXPECT_EQ(open_path(&host.app, nullptr, upper_file_name(path).c_str()), window);
    EXPECT_EQ(host.jobs_started, 1u);
    EXPECT_TRUE(host.notices[window] & Notice::BringForward);
}

// The already-open check folds case in every script, as the file system does.
TEST(OpenPath, SamePathWithoutCaseBeyondLatin) {
    const FileIo* io = file_io();
    EXPECT_TRUE(io->same_path("/d/\xCE\x86\xD2\x90\xE1\xBA\xA0\xC7\x84.json", "/D/\xCE\xAC\xD2\x91\xE1\xBA\xA1\xC7\x86.JSON"));
    EXPECT_FALSE(io->same_path("/d/\xCE\x86.json", "/d/\xCE\xB1.json"));  // accented and plain alpha differ
}

// The question's edge; --test-ram in script mode is in the end-to-end cases.
TEST(OpenPath, AsksWhenTheFileMayNotFitInMemory) {
    std::string path = write_test_file("forty.json", std::string(40, ' '));
    for (const auto& [memory, asks] : {std::pair{133, true}, {134, false}, {0, false}}) {  // 0: unknown
        TestHost host;
        test_total_memory = memory;
        DocWindow* window = open_path(&host.app, nullptr, path.c_str());
        EXPECT_EQ(host.questions.size(), asks ? 1u : 0u) << memory;
        EXPECT_EQ(host.window_count(), asks ? 0u : 1u);
        EXPECT_EQ(window == nullptr, asks);
    }
    test_total_memory = 0;
}

uint64_t fixed_size = 0;
const char* system_text = "";

TEST(OpenPath, ReadErrorsUseTheSystemsWordsInASentence) {
    struct Case { const char* system; const char* line; } cases[] = {
        {"Access is denied.\r\n", "open-error=Could not open \"missing.json\": access is denied."},
        {"OK. ", "open-error=Could not open \"missing.json\": OK."},
    };
    std::string missing = std::string(TARNWELL_TEST_TMP) + "/missing.json";
    for (const Case& c : cases) {
        TestHost host;
        system_text = c.system;
        host.io.error_text = [](uint32_t, char* buffer, uint64_t size) -> uint64_t {
            return copy_out(system_text, std::strlen(system_text), buffer, size);
        };
        open_path(&host.app, nullptr, missing.c_str());
        host.pump();
        EXPECT_EQ(host.lines, std::vector<std::string>{c.line});
    }
}

TEST(OpenPath, SizeDecidesTooBigAndAShrinkingFileParsesWhatWasRead) {
    std::string path = write_test_file("sized.json", "[1,2]");
    for (uint64_t size : {0xFFFFFF01ull, 20ull}) {
        TestHost host(true);
        fixed_size = size;
        host.io.size = [](FileHandle, uint64_t* out, uint32_t*) { return *out = fixed_size, true; };
        DocWindow* window = open_path(&host.app, nullptr, path.c_str());
        host.pump();
        if (size == 20) {
            ASSERT_NE(window->view, nullptr);
            EXPECT_EQ(child_count(document(window->view), 0), 2u);
        } else {
            EXPECT_EQ(host.lines, std::vector<std::string>{"open-error=\"sized.json\" is 4.0 GB. Tarnwell opens files up to 4 GB."});
        }
    }
}

// UTF-16 can pass the limit only once converted; the message must name the
// size that did (here 14 bytes on disk, 18 converted).
TEST(OpenPath, TooBigOnceConvertedNamesTheConvertedSize) {
    std::string path = write_test_file("wide.json", utf16_text(u"\u4E2D\u4E2D\u4E2D\u4E2D\u4E2D\u4E2D"));
    load_test_set_length_limit(16);
    TestHost host(true);
    open_path(&host.app, nullptr, path.c_str());
    host.pump();
    load_test_set_length_limit(0);
    EXPECT_EQ(host.lines, std::vector<std::string>{"open-error=\"wide.json\" is 18 bytes. Tarnwell opens files up to 4 GB."});
}

TEST(OpenPath, ClosingWhileLoadingDropsTheResult) {
    TestHost host;
    std::string path = write_test_file("closing.json", "[1]");
    DocWindow* window = open_path(&host.app, nullptr, path.c_str());
    close_doc_window(window);
    EXPECT_TRUE(host.all_closed);
    host.pump();
    EXPECT_EQ(host.window_count(), 0u);
    EXPECT_TRUE(host.lines.empty());
}

// Cut to the longest path that fits, a path one character too long would
// name this existing file instead.
TEST(OpenPath, APathThatDoesNotFitIsRefusedNotCut) {
    std::string fitting = std::string(TARNWELL_TEST_TMP) + "/long";
    while (fitting.size() + 201 < OPEN_PATH_UNITS) {
        fitting += "/" + std::string(199, 'd');
        std::filesystem::create_directories(fitting);
    }
    fitting += "/" + std::string(OPEN_PATH_UNITS - fitting.size() - 1, 'f');
    ASSERT_EQ(fitting.size(), OPEN_PATH_UNITS);
    write_test_file(fitting.substr(std::strlen(TARNWELL_TEST_TMP) + 1), "[1]");
    TestHost host;
    EXPECT_EQ(open_path(&host.app, nullptr, (fitting + "g").c_str()), nullptr);
    host.pump();
    EXPECT_EQ(host.jobs_started, 0u);
    EXPECT_EQ(host.window_count(), 0u);
    ASSERT_EQ(host.lines.size(), 1u);
    std::string name = fitting.substr(fitting.rfind('/') + 1) + "g";
    EXPECT_EQ(host.lines[0], "open-error=Could not open \"" + name + "\": it could not be read.");
}

// A dialog's own message loop can close the window it belongs to; nothing may
// touch that window afterwards.
TEST(OpenPath, ADialogThatClosesItsWindow) {
    std::string path = write_test_file("forty_too.json", std::string(40, ' '));
    TestHost host(true);  // messages without the system's wording
    host.dialogs_close_owner = true;
    host.answer_yes = true;
    test_total_memory = 100;
    DocWindow* shown = host.open_text("[1]");
    DocWindow* opened = open_path(&host.app, shown, path.c_str());
    test_total_memory = 0;
    ASSERT_EQ(host.questions.size(), 1u);
    ASSERT_NE(opened, nullptr);  // in a new window, as without one
    EXPECT_EQ(host.window_count(), 1u);
    host.pump();
    // The load error's message closes the window the failed open was for.
    std::string missing = std::string(TARNWELL_TEST_TMP) + "/missing.json";
    open_path(&host.app, host.open_text("[2]"), missing.c_str());
    host.pump();
    EXPECT_EQ(host.lines.back(), "open-error=Could not open \"missing.json\": it could not be read.");
    EXPECT_EQ(host.window_count(), 2u);  // the first file's and the clipboard's
}

}  // namespace
