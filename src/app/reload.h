// Reloading the file a window shows when it changes on disk or when the user
// asks: comparing the file's identity with the one read last, the ReloadFile
// Job, and replacing the Document without losing the user's place (the
// snapshot of views/reload_snapshot.h).
//
// A window's reload goes: idle -> check -> reload Job pending (a further
// change or Reload command only sets reload_again) -> completion -> (check
// again when asked). file_missing is set by a check or reload that finds no
// readable file and cleared by a successful reload.
#pragma once

#include "files/file_io.h"

struct DocWindow;
struct Job;

// What the problem bar says while the file is missing; also the text of the
// "reload-error" line of a failed manual reload in script mode.
extern const char FILE_MISSING_TEXT[];

// Equal when both are invalid, or when volume, index, size and last-write
// time all agree.
bool same_identity(const FileIdentity& a, const FileIdentity& b);

// A change notice from the window's watcher at `now_ms` (a monotonic clock):
// with a file shown, (re)starts timer 7 as the burst rule of ChangeBurst says.
void file_change_notice(DocWindow* window, uint64_t now_ms);

// On a change notice (timer 7): with a Document shown from a file, reloads
// when the file's identity changed; a file that cannot be opened is marked
// missing instead. While a reload is pending it only asks for another check.
void check_file_changed(DocWindow* window);

// Starts a ReloadFile Job (`manual` when the user asked). Needs a Document
// shown from a file; while a reload is pending it only sets reload_again.
void start_reload(DocWindow* window, bool manual);
