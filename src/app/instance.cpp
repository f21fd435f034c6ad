#include "app/instance.h"

#include "app/app.h"
#include "app/doc_window.h"
#include "app/handoff.h"
#include "app/open_file.h"
#include "base/memory.h"

namespace {

// A new copy of the absolute form of `path`, or of `path` itself when that
// cannot be had; nullptr when memory runs out.
char* absolute_or_given(const FileIo* io, const char* path) {
    uint64_t length = io->absolute_path(path, nullptr, 0);
    char* full = length ? mem_alloc_array<char>(length + 1) : nullptr;
    if (full && io->absolute_path(path, full, length + 1) == length) return full;
    mem_free(full);
    return copy_path(path);
}

void bring_start_page_forward(App* app) {
    DocWindow* window = app->windows;
    while (window && (!window->start_page || window->open_job)) window = window->next;
    if (!window) window = create_doc_window(app, true);
    if (window && brings_windows_forward(app)) notify_window(window, Notice::BringForward);
}

}  // namespace

bool build_handoff_for_files(const FileIo* io, const char* const* files, uint32_t count, uint8_t** data,
                             uint32_t* byte_count) {
    char** full = mem_alloc_array<char*>(count ? count : 1);
    if (!full) return false;
    uint32_t made = 0;
    while (made < count && (full[made] = absolute_or_given(io, files[made])) != nullptr) made++;
    bool built = made == count && build_handoff(full, count, data, byte_count);
    for (uint32_t i = 0; i < made; i++) mem_free(full[i]);
    mem_free(full);
    return built;
}

uint32_t receive_handoff(App* app, uint64_t magic, const void* data, uint64_t byte_count) {
    if (app->quitting) return HANDOFF_REFUSED;
    HandoffPaths paths;
    HandoffStatus status = parse_handoff(magic, data, byte_count, &paths);
    if (status == HandoffStatus::Rejected) {
        release_handoff_paths(&paths);
        return HANDOFF_REFUSED;
    }
    bool opened = false;
    for (uint32_t i = 0; i < paths.count; i++) opened |= open_path(app, nullptr, paths.paths[i]) != nullptr;
    release_handoff_paths(&paths);
    if (!opened) bring_start_page_forward(app);
    return HANDOFF_HANDLED;
}
