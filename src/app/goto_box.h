// Go to Path's box, which takes the breadcrumbs' place while it is open, and
// its message in the strip under the top bar. Submitting a typed path is
// submit_go_to_path (doc_window.h).
#pragma once

#include <cstdint>

struct DocWindow;

// The text the box opens with: the selected Node's path in the current path
// style, "" when nothing is selected. nullptr when the box cannot open (no
// Document, or no memory); otherwise the caller frees it (mem_free).
[[nodiscard]] char* go_to_box_text(const DocWindow* window, uint64_t* length);
// The box is now shown over the breadcrumbs.
void go_to_box_opened(DocWindow* window);
// Closes the box, and its message goes with it.
void close_go_to_box(DocWindow* window);
// The user edited the box: its message is out of date.
void go_to_box_edited(DocWindow* window);
