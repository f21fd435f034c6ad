// What the portable half of the program asks of its host: the clipboard,
// dialogs, threads for Jobs, timers, windows and repainting. Two hosts fill
// this table: the Win32 program and the headless host of script mode. A host
// only carries requests out; every decision about them is made by the
// portable half.
//
// Every pointer must be set unless it says it may be absent. All of them are
// called on the user-interface thread, except post_job_progress and
// post_job_done, which a Job's worker thread calls.
#pragma once

#include <cstdint>

#include "files/file_io.h"

struct DocWindow;
struct Job;
struct Menu;
struct MenuItem;

// What changed in a window, for the host to repaint or act on; OR-ed together.
namespace Notice {
constexpr uint32_t TopBar = 0x1;          // view switch, breadcrumbs, search options, counter, progress line
constexpr uint32_t StatusBar = 0x2;       // status text, flash text, progress
constexpr uint32_t List = 0x4;            // rows or lines and their count; then scroll to take_scroll_request's row
constexpr uint32_t MessageBar = 0x8;      // DocWindow::message_text changed (the bar shows while it is not empty)
constexpr uint32_t SearchBox = 0x10;      // the box's error colour changed
constexpr uint32_t SearchBoxText = 0x20;  // the program set the box text: show DocWindow::search_box.text
constexpr uint32_t StartPage = 0x40;      // the recent files changed
constexpr uint32_t Title = 0x80;          // doc_window_title changed
constexpr uint32_t Layout = 0x100;        // a part was shown or hidden (start page, bars, Inspector)
constexpr uint32_t Everything = 0x200;    // repaint the window and all its children
constexpr uint32_t FocusList = 0x400;
constexpr uint32_t FocusListIfForeground = 0x800;  // only when the window is the foreground window
constexpr uint32_t FocusSearchBox = 0x1000;        // and select all its text
constexpr uint32_t BringForward = 0x2000;          // restore when minimised, then to the front
constexpr uint32_t ResetHorizontalScroll = 0x4000;
constexpr uint32_t Inspector = 0x8000;    // make the Inspector's text again, even for the same selection
constexpr uint32_t GoToMessage = 0x10000;  // DocWindow::goto_message or goto_mode changed
// With List: the selection jumped, so its row is brought to the middle of the
// list; without this bit a row next to the window only scrolls it by one.
constexpr uint32_t CentreSelection = 0x20000;
// A new ViewState replaced the old one: the list starts again at row 0 (at
// the ViewState's restored_top_row after a reload) and everything it showed
// for the old one is stale.
constexpr uint32_t NewView = 0x40000;
}  // namespace Notice

// Timer ids of a DocWindow and their delays. Timers are one-shot: the host
// calls doc_window_timer when one fires and forgets it. Starting a running
// timer restarts it. A host must never fire a timer from inside start_timer.
namespace DocTimer {
constexpr uint32_t Progress = 1;
constexpr uint32_t Flash = 2;
constexpr uint32_t Placement = 5;
constexpr uint32_t SearchDebounce = 6;
constexpr uint32_t FileChanged = 7;
constexpr uint32_t ProgressDelayMs = 150;
constexpr uint32_t FlashDelayMs = 2000;
constexpr uint32_t SearchDebounceDelayMs = 250;
constexpr uint32_t PlacementDelayMs = 1000;  // after the last move or size change
constexpr uint32_t FileChangedDelayMs = 120;  // after a change notice, unless more follow
}  // namespace DocTimer

struct AppHost {
    void* context;  // handed to every call
    const FileIo* platform;

    // Clipboard. The text handed over is well-formed UTF-8 without a zero byte
    // (put_on_clipboard makes it so); false when it could not be placed.
    bool (*set_clipboard_text)(void* context, const char* text, uint64_t length);
    // A new zero-terminated UTF-8 text (mem_alloc) and its length, or nullptr
    // when the clipboard holds no text.
    char* (*get_clipboard_text)(void* context, uint64_t* length);

    // A message with its key ("open-error", "copy-error", "message"): a dialog
    // owned by `owner` (which may be absent), or in script mode the line
    // "key=text". `detail` may be absent.
    void (*show_message)(void* context, DocWindow* owner, const char* key, const char* text, const char* detail);
    // A question with the buttons `button` (the default) and "Cancel"; true
    // only for `button`. Script mode answers from the script.
    bool (*ask)(void* context, DocWindow* owner, const char* question, const char* button);
    // Script mode only: writes the line "key=text" to the script output. It is
    // called only while App::script_mode is set and may be absent otherwise.
    void (*write_script_line)(void* context, const char* key, const char* text);

    // Jobs. start_job_thread runs run_job(job) on a new thread and false when
    // the thread cannot be made; the worker's posts must later reach
    // job_progress and job_done on the user-interface thread, in order.
    // Job::thread is the host's own field.
    bool (*start_job_thread)(void* context, Job* job);
    void (*wait_job_thread)(void* context, Job* job);     // until run_job has returned
    void (*release_job_thread)(void* context, Job* job);  // when the Job is freed
    void (*post_job_progress)(void* context, Job* job, uint32_t per_mille);
    void (*post_job_done)(void* context, Job* job);

    void (*start_timer)(void* context, DocWindow* window, uint32_t id, uint32_t milliseconds);
    void (*stop_timer)(void* context, DocWindow* window, uint32_t id);
    void (*notify)(void* context, DocWindow* window, uint32_t notices);  // Notice bits
    // The list's first visible row (line, in the text view), which a reload
    // keeps in view. May be absent where nothing scrolls: row 0 then.
    uint32_t (*list_top_row)(void* context, DocWindow* window);

    // Windows. create_window makes the platform's window for a new DocWindow
    // (false: it is dropped); destroy_window releases it (timers, watcher,
    // everything of the platform) while the DocWindow is being closed.
    bool (*create_window)(void* context, DocWindow* window);
    void (*destroy_window)(void* context, DocWindow* window);
    // The last window has closed: the program ends.
    void (*all_windows_closed)(void* context);
    // A Document has just been installed in the window (a file's, with a path,
    // or the clipboard's, without): start watching a file, note the current
    // window of a script.
    void (*document_installed)(void* context, DocWindow* window);
    // Commands that are about windows and run_command leaves to the host: Open
    // (the dialog), Close, Go to Path (the go-to box), the three text sizes
    // and Exit. The DocWindow may be gone when this returns.
    void (*run_window_command)(void* context, DocWindow* window, uint32_t command_id);
    // Script mode's "goto" in a host with a go-to box: opens the box, types
    // the path into it and submits it as Enter would. May be absent: the path
    // is then submitted directly (submit_go_to_path).
    void (*enter_go_to_path)(void* context, DocWindow* window, const char* text, uint64_t length);

    void (*schedule_settings_save)(void* context);

    // Script mode's window commands, which only a host with a screen has; all
    // four absent otherwise, and scripts are then refused "screenshot",
    // "resize" and "lose-device". raise_window brings the window to the top
    // and repaints it; capture_window writes its picture to
    // "build/screens/win-NAME.bmp" and false when it could not; resize_window
    // sets the window's outer size; lose_device has the next frame drawn
    // report a lost device, as the system does when the graphics device goes.
    void (*raise_window)(void* context, DocWindow* window);
    bool (*capture_window)(void* context, DocWindow* window, const char* name);
    void (*resize_window)(void* context, DocWindow* window, uint32_t width, uint32_t height);
    void (*lose_device)(void* context);

    // Script mode's "dump menu" in a host with real menus: makes its menu from
    // `menu`, reads every item back from that, and hands each to `line` in
    // order, so that the dump shows what the system holds. False when the
    // menu could not be made. May be absent: the dump then writes the model.
    bool (*dump_menu)(void* context, const Menu* menu, void (*line)(void* sink, const MenuItem* item), void* sink);
};
