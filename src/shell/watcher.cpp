#include "shell/watcher.h"

#include <atomic>
#include <cstring>
#include <new>

#include "app/file_watch.h"
#include "base/memory.h"
#include "base/wide_text_win.h"

struct FileWatcher {
    std::atomic<uint32_t> state;  // WatcherState
    HWND window;
    HANDLE stop_event;  // manual reset, set by the window
    HANDLE thread;
    wchar_t* folder;
    wchar_t* name;
    uint32_t name_units;
};

namespace {

constexpr DWORD STOP_WAIT_MS = 2000;
constexpr DWORD THREAD_STACK = 64 * 1024;
// On the heap: as large as the thread's whole stack.
constexpr DWORD RECORDS_SIZE = 64 * 1024;
constexpr DWORD CHANGES = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_CREATION | FILE_NOTIFY_CHANGE_SIZE |
                          FILE_NOTIFY_CHANGE_LAST_WRITE;

void free_watcher(FileWatcher* watcher) {
    if (watcher->stop_event) CloseHandle(watcher->stop_event);
    if (watcher->thread) CloseHandle(watcher->thread);
    mem_free(watcher->folder);
    mem_free(watcher->name);
    watcher->~FileWatcher();
    mem_free(watcher);
}

bool same_file_name(const uint16_t* a, uint32_t a_units, const uint16_t* b, uint32_t b_units) {
    return CompareStringOrdinal(reinterpret_cast<const wchar_t*>(a), static_cast<int>(a_units),
                                reinterpret_cast<const wchar_t*>(b), static_cast<int>(b_units), TRUE) == CSTR_EQUAL;
}

void post_change(const FileWatcher* watcher) { PostMessageW(watcher->window, MSG_FILE_CHANGED, 0, 0); }

// One request on the folder and what follows it; false when the thread is to end.
bool watch_once(FileWatcher* watcher, HANDLE folder, HANDLE done, uint8_t* records) {
    ResetEvent(done);
    OVERLAPPED request{};
    request.hEvent = done;
    if (!ReadDirectoryChangesW(folder, records, RECORDS_SIZE, FALSE, CHANGES, nullptr, &request, nullptr)) {
        post_change(watcher);
        return false;
    }
    HANDLE events[] = {watcher->stop_event, done};
    DWORD woke = WaitForMultipleObjects(2, events, FALSE, INFINITE);
    DWORD bytes = 0;
    if (woke != WAIT_OBJECT_0 + 1) {
        CancelIoEx(folder, &request);
        GetOverlappedResult(folder, &request, &bytes, TRUE);
        return false;
    }
    BOOL ok = GetOverlappedResult(folder, &request, &bytes, FALSE);
    switch (watch_step(ok != 0, bytes, ok ? 0 : GetLastError())) {
    case WatchStep::Records:
        if (records_name_file(records, bytes, reinterpret_cast<const uint16_t*>(watcher->name), watcher->name_units,
                              same_file_name)) {
            post_change(watcher);
        }
        return true;
    case WatchStep::Overflow: post_change(watcher); return true;
    case WatchStep::Failed: post_change(watcher); return false;
    }
    return false;
}

// The folder handle and the request's event are the thread's own: nothing
// else ever sees them, so nothing else can close them under it.
void watch_folder(FileWatcher* watcher) {
    HANDLE folder = CreateFileW(watcher->folder, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    if (folder == INVALID_HANDLE_VALUE) return;
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    auto* records = static_cast<uint8_t*>(mem_alloc(RECORDS_SIZE));
    if (done && records) {
        while (watch_once(watcher, folder, done, records)) {
        }
    }
    mem_free(records);
    if (done) CloseHandle(done);
    CloseHandle(folder);
}

DWORD WINAPI watcher_thread(void* argument) {
    auto* watcher = static_cast<FileWatcher*>(argument);
    watch_folder(watcher);
    if (let_go_of_watcher(&watcher->state, WatcherState::ThreadEnded)) free_watcher(watcher);
    return 0;
}

}  // namespace

FileWatcher* start_watching(HWND window, const char* path) {
    const uint64_t length = std::strlen(path);
    WatchPath split;
    if (!split_watch_path(path, length, &split)) return nullptr;
    void* memory = mem_alloc_zeroed(sizeof(FileWatcher));
    if (!memory) return nullptr;
    auto* watcher = new (memory) FileWatcher{};
    watcher->window = window;
    watcher->folder = utf8_to_utf16(path, split.folder_length);
    watcher->name = utf8_to_utf16(path + split.name_start, length - split.name_start, &watcher->name_units);
    watcher->stop_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (watcher->folder && watcher->name && watcher->stop_event) {
        watcher->thread =
            CreateThread(nullptr, THREAD_STACK, watcher_thread, watcher, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    }
    if (!watcher->thread) {
        free_watcher(watcher);
        return nullptr;
    }
    return watcher;
}

void stop_watching(FileWatcher* watcher) {
    if (!watcher) return;
    SetEvent(watcher->stop_event);
    WaitForSingleObject(watcher->thread, STOP_WAIT_MS);
    if (let_go_of_watcher(&watcher->state, WatcherState::WindowLetGo)) free_watcher(watcher);
}
