// The system clipboard as CF_UNICODETEXT, for the Win32 host. It is held open
// only for one read or write, and a busy clipboard is tried again a few times.
#pragma once

#include <cstdint>

bool set_clipboard_text(void* context, const char* text, uint64_t length);
// The text up to its first NUL, never past the end of the memory block; a
// lone surrogate becomes U+FFFD. nullptr when there is no text or the
// clipboard stays busy.
char* get_clipboard_text(void* context, uint64_t* length);
