// The search box of a window: typing, Enter and Escape, the three options
// (kept in the settings, shared by every window), and the Search Job that a
// query runs in.
#pragma once

#include <cstdint>

#include "search/matcher.h"

struct DocWindow;
struct Job;

// The user changed the box text (ignored while the program changes it): the
// search runs 250 ms after the last change.
void search_box_changed(DocWindow* window, const char* text, uint64_t length);
// Runs the box text now: a compile error shows in the message bar (and in
// script mode as "search-error=..."); an empty box clears the search.
void run_search_now(DocWindow* window);
// Enter runs a changed box (or a first query), else finds the next match;
// Shift+Enter finds the previous one.
void search_box_enter(DocWindow* window, bool shift);
// Escape: no search, an empty box, the focus back on the list.
void clear_search(DocWindow* window);
// After a reload: the last query again on the new Document.
void rerun_last_search(DocWindow* window);
// Script mode: sets the three options and the box text, then runs the search
// (with a Document only).
void set_search_from_script(DocWindow* window, const char* text, uint64_t length, const SearchOptions* options);

void toggle_match_case(DocWindow* window);
void toggle_regex(DocWindow* window);
void choose_scope(DocWindow* window, SearchScope scope);

// The options of the next run, from the settings.
SearchOptions current_search_options(const DocWindow* window);
// Forgets the last query (a failed re-run).
void forget_last_query(DocWindow* window);
// Everything the box holds, for a closing window: its running search is
// cancelled, its text and last query freed.
void release_search_box(DocWindow* window);
