// Switching a window between its tree and its text view, and the
// BuildTextView Jobs that make text views in the background.
#pragma once

#include <cstdint>

struct DocWindow;
struct Job;

// The tree view.
void show_tree_view(DocWindow* window);
// The text view, built first when there is none; in the text view,
// the other kind of text (the document's own lines or re-indented).
void show_text_view(DocWindow* window);
// Show in text: the first problem's line in the document's own lines.
void show_problem_in_text(DocWindow* window);
