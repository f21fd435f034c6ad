// The clipboard both ways: the copy commands, and "Open from Clipboard" with
// its "Clipboard %d" windows.
#pragma once

#include <cstdint>

#include "paths/path_format.h"

struct App;
struct DocWindow;
struct Job;

// Copies larger than this are confirmed first.
constexpr uint64_t COPY_CONFIRM_BYTES = 0x10000000;
// Longer texts never reach the clipboard.
constexpr uint64_t CLIPBOARD_MAX_BYTES = 0x7FFFFFF0;

// What the clipboard holds once the text has been through its UTF-16 form:
// the text up to its first zero byte, with every byte that does not begin a
// well-formed UTF-8 sequence turned into U+FFFD. A new zero-terminated text
// (mem_free) and its length, or nullptr when memory runs out.
[[nodiscard]] char* clipboard_form(const char* text, uint64_t length, uint64_t* form_length);
// Puts text on the clipboard in that form; false when it is too big, memory
// runs out or the host cannot place it.
[[nodiscard]] bool put_on_clipboard(App* app, const char* text, uint64_t length);

enum class CopyKind : uint32_t { Value, Path, Json, Key, MinifiedJson };

// A copy command; the path is written in `style`. Without a selected node
// (and, for Value, without selected text lines) nothing happens. Confirms
// copies over 256 MiB, reports failures (key "copy-error") and flashes what
// was copied.
void copy_selection(DocWindow* window, CopyKind kind, PathStyle style);

// Parses the clipboard's text in a ParseClipboard Job for `window` (which may
// be absent); the result opens in a window named "Clipboard %d".
void open_from_clipboard(App* app, DocWindow* window);
