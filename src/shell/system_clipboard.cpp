#include "shell/system_clipboard.h"

#include <windows.h>

#include <cstring>

#include "base/memory.h"
#include "base/wide_text_win.h"
#include "core/utf16.h"
#include "shell/process.h"

namespace {

constexpr int OPEN_TRIES = 20;
constexpr DWORD OPEN_RETRY_MS = 10;

bool open_clipboard() {
    for (int attempt = 0; attempt < OPEN_TRIES; attempt++) {
        if (attempt > 0) Sleep(OPEN_RETRY_MS);
        if (OpenClipboard(process()->message_window)) return true;
    }
    return false;
}

// A movable block with the text as UTF-16 and its terminating NUL, or none.
HGLOBAL unicode_block(const char* text, uint64_t length) {
    uint32_t units = 0;
    wchar_t* wide = utf8_to_utf16(text, length, &units);
    if (!wide) return nullptr;
    SIZE_T bytes = (static_cast<SIZE_T>(units) + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    void* locked = block ? GlobalLock(block) : nullptr;
    if (locked) {
        std::memcpy(locked, wide, bytes);
        GlobalUnlock(block);
    } else if (block) {
        GlobalFree(block);
        block = nullptr;
    }
    mem_free(wide);
    return block;
}

// The locked text as UTF-8, measured up to its first NUL within the block.
// A lone surrogate becomes U+FFFD rather than costing the user the whole
// text. A text too big to open still converts, so that the open reports its
// size rather than an empty clipboard.
char* text_of_block(const wchar_t* units, SIZE_T block_bytes, uint64_t* length) {
    SIZE_T count = 0;
    SIZE_T limit = block_bytes / sizeof(wchar_t);
    while (count < limit && units[count] != 0) count++;
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(units);
    uint64_t needed = 0;
    (void)convert_utf16(bytes, count * 2, false, nullptr, 0, nullptr, &needed);
    char* text = mem_alloc_array<char>(needed + 1);
    if (!text) return nullptr;
    (void)convert_utf16(bytes, count * 2, false, reinterpret_cast<uint8_t*>(text), needed, nullptr, &needed);
    text[needed] = 0;
    *length = needed;
    return text;
}

}  // namespace

bool set_clipboard_text(void*, const char* text, uint64_t length) {
    HGLOBAL block = unicode_block(text, length);
    if (!block) return false;
    bool placed = false;
    if (open_clipboard()) {
        placed = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, block);
        CloseClipboard();
    }
    // Once set, the block belongs to the system.
    if (!placed) GlobalFree(block);
    return placed;
}

char* get_clipboard_text(void*, uint64_t* length) {
    if (!open_clipboard()) return nullptr;
    char* text = nullptr;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* units = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (units) {
        text = text_of_block(units, GlobalSize(data), length);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}
