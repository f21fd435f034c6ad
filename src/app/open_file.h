// Opening a path in a window: the already-open check, the memory check, the
// OpenFile Job that reads the file, and what a finished load does to the
// window.
#pragma once

#include <cstdint>

#include "app/jobs.h"

struct App;
struct DocWindow;

// Paths longer than this many UTF-16 units are cut.
constexpr uint32_t OPEN_PATH_UNITS = 1039;

// The part of a path after its last "\\" or "/"; the whole path without one.
const char* file_name_of(const char* path);

// Opens a UTF-8 path in `window` when that shows the start page and has no
// open Job, else in the first such window, else in a new one. A window that
// already shows the path (compared without case) is brought forward instead.
// Asks first when the file may need more memory than the computer has.
// Returns the window that shows or will show the file, or nullptr when
// nothing was started.
DocWindow* open_path(App* app, DocWindow* window, const char* path);

// Shows a loaded Document in the window with a new ViewState; the window takes
// over the caller's reference. False (with the load error shown) when memory
// runs out.
[[nodiscard]] bool install_document(DocWindow* window, Document* doc, uint32_t parse_time);
// After a failed first open: a window made for the file closes unless it is
// the only one; otherwise it becomes the start page again. A window that
// shows a Document is left alone, and so is one that has closed meanwhile
// (the dialog of the message before may have closed it).
void restore_after_failed_open(App* app, DocWindow* window, bool was_start_page);

// Whether a file is read as JSON Lines: its name ends in ".jsonl" or ".ndjson"
// (without regard to case).
bool is_json_lines_path(const char* path);
// A copy of a path (mem_alloc), or nullptr.
[[nodiscard]] char* copy_path(const char* path);

// "Could not open \"name\": reason." (snprintf contract).
uint64_t could_not_open_text(const char* name, const char* reason, char* buffer, uint64_t size);
// The message for a failed open of `name` (key "open-error"). `window` may be
// absent; `too_large_size` is the size named when the result is TooBig.
void show_load_error(App* app, DocWindow* window, const char* name, JobResult result, uint64_t too_large_size,
                     uint32_t os_error);
// The text of that message (snprintf contract). `system_text` is the system's
// wording of a read error, or nullptr for the plain one.
uint64_t load_error_text(const char* name, JobResult result, uint64_t too_large_size, const char* system_text,
                         char* buffer, uint64_t size);
