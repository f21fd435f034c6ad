// A host for the App's tests: Jobs run inline when started, and their
// completions wait in a queue until pump() hands them over, as a message loop
// would. The clipboard is a string; messages and questions are recorded, and
// every question is answered "Cancel" unless `answer_yes` is set. With
// `dialogs_close_owner`, a message or question closes its owner first, as a
// dialog's message loop may.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "app/doc_window.h"
#include "app/jobs.h"

struct TestHost {
    App app;
    FileIo io;
    bool has_clipboard = false;
    std::string clipboard;
    bool clipboard_refuses = false;
    std::vector<std::string> lines;  // messages and script lines, "key=text"
    std::vector<std::string> questions;
    std::deque<Job*> posted;
    std::map<std::pair<DocWindow*, uint32_t>, uint32_t> timers;  // running: delay
    std::map<DocWindow*, uint32_t> notices;                      // OR-ed since the last clear
    uint32_t jobs_started = 0;
    uint32_t saves_scheduled = 0;
    bool all_closed = false;
    bool answer_yes = false;
    bool dialogs_close_owner = false;

    explicit TestHost(bool script_mode = false);
    ~TestHost();
    // Hands over every posted completion, and those they cause.
    void pump();
    // Opens `text` from the clipboard; the window that shows it.
    DocWindow* open_text(const std::string& text);
    uint32_t window_count() const;
    bool timer_running(DocWindow* window, uint32_t id) const;
};

// The memory every TestHost's platform reports (0: unknown).
extern uint64_t test_total_memory;

// A file under the test folder with the given content; returns its path.
std::string write_test_file(const std::string& name, const std::string& content);
