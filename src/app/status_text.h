// The status bar's left text: the progress of a running open, reload or
// text-view build, otherwise the shown Document's status summary.
#pragma once

#include <cstdint>

struct DocWindow;

constexpr uint32_t STATUS_TEXT_SIZE = 512;

// The progress of a running open, reload or text-view build once it is to be
// shown, in per mille (at most 1000); false while there is none to show.
bool progress_shown(const DocWindow* window, uint32_t* per_mille);

// snprintf contract; empty without progress to show and without a Document.
uint64_t status_left_text(const DocWindow* window, char* buffer, uint64_t size);
