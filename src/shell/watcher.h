// The watcher of a document window that shows a file: a thread that waits for
// changes in the file's folder and posts MSG_FILE_CHANGED to the window when
// one concerns the file. The window then decides (file_change_notice).
#pragma once

#include <windows.h>

constexpr UINT MSG_FILE_CHANGED = WM_APP + 4;

struct FileWatcher;

// Watches the file at `path` (absolute, UTF-8) for `window`; nullptr when that
// cannot be done, which is not reported: the window then reloads only when
// asked.
FileWatcher* start_watching(HWND window, const char* path);
// Stops the thread, waiting for it up to two seconds, and lets go of the
// watcher; a thread still busy after that frees it when it ends.
void stop_watching(FileWatcher* watcher);
