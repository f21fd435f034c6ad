// The portable half of a document window: what it shows (a Document's
// ViewState, or the start page), its Job slots, texts and search box state,
// and the command dispatch. The platform's half (windows, painting, input)
// hangs off `platform` and hears of changes through the host's notify.
//
// Texts are UTF-8 here; the Win32 half converts them at its boundary. Limits
// given in characters count UTF-16 units, as the Windows buffers they stand
// for do.
#pragma once

#include <cstdint>

#include "app/file_watch.h"
#include "app/inspector_panel.h"
#include "files/file_io.h"
#include "search/matcher.h"

struct App;
struct Job;
struct ViewState;

constexpr uint32_t DISPLAY_NAME_UNITS = 259;
constexpr uint32_t FLASH_TEXT_UNITS = 159;
constexpr uint32_t TITLE_UNITS = 399;
// A UTF-16 unit takes at most three bytes of UTF-8 (a pair, four).
constexpr uint32_t DISPLAY_NAME_SIZE = DISPLAY_NAME_UNITS * 3 + 1;
constexpr uint32_t FLASH_TEXT_SIZE = FLASH_TEXT_UNITS * 3 + 1;
constexpr uint32_t TITLE_SIZE = TITLE_UNITS * 3 + 1;
constexpr uint32_t MESSAGE_TEXT_SIZE = 512;
constexpr uint32_t GOTO_MESSAGE_SIZE = 256;

// The search box and the query last run from it.
struct SearchBox {
    char* text;  // owned; nullptr for an empty box
    uint64_t length;
    char* last_query;  // owned; nullptr when no query has run
    uint64_t last_query_length;
    SearchOptions last_options;
    uint8_t has_last_query;
    uint8_t dirty;     // the text changed since the last run
    uint8_t in_error;  // the box shows the error colour
    uint8_t suppress;  // the program itself is changing the text
};

struct DocWindow {
    DocWindow* next;  // window list, newest first
    App* app;
    void* platform;   // the host's own record
    ViewState* view;  // the shown Document's, or none
    char* path;       // the file shown (owned), or none: clipboard documents and the start page
    char display_name[DISPLAY_NAME_SIZE];  // the path's file name, or "Clipboard %d"
    uint32_t parse_time;                   // milliseconds of the last parse
    uint8_t start_page;
    Job* open_job;
    Job* reload_job;
    Job* text_view_job;
    Job* search_job;
    uint32_t progress;  // per mille
    uint8_t progress_visible;
    uint64_t file_size;
    FileIdentity file_identity;  // of the file as last read
    uint8_t file_missing;        // the last check or reload found no readable file
    uint8_t reload_again;        // a change arrived while a reload was pending
    uint32_t reload_count;       // successful reloads
    ChangeBurst change_burst;    // change notices waiting for timer 7
    char flash_text[FLASH_TEXT_SIZE];  // shown in the status bar for two seconds
    char message_text[MESSAGE_TEXT_SIZE];  // the message bar under the top bar
    uint8_t message_is_error;
    uint8_t problem_bar_dismissed;
    uint8_t inspector_shown;
    int32_t inspector_width;  // pixels at 96 DPI
    InspectorCache inspector_cache;
    uint8_t goto_mode;        // the go-to box replaces the breadcrumbs
    char goto_message[GOTO_MESSAGE_SIZE];  // the last failed Go to Path, until the box changes
    SearchBox search_box;
};

// A new window linked at the head of the list (the start page when asked),
// with the Inspector as the settings say; nullptr when memory runs out or the
// host cannot make its window.
[[nodiscard]] DocWindow* create_doc_window(App* app, bool start_page);
// Closes a window: unlinks it, detaches its Jobs (the search Job is cancelled
// and waited for), has the host destroy its platform half, and frees it. When
// it was the last window the host hears that all windows are closed.
void close_doc_window(DocWindow* window);

// Tells the host what changed (Notice bits), for one window or for all.
void notify_window(DocWindow* window, uint32_t notices);
void notify_every_window(App* app, uint32_t notices);

// "%s - %s" (display name, "Tarnwell") when a display name is set, else
// "Tarnwell", at most 399 UTF-16 units (snprintf contract).
uint64_t doc_window_title(const DocWindow* window, char* buffer, uint64_t size);
void update_title(DocWindow* window);
// Sets the display name, cut to 259 UTF-16 units.
void set_display_name(DocWindow* window, const char* name, uint64_t length);

// Shows a short text in the status bar for two seconds (at most 159 UTF-16 units).
void flash_status(DocWindow* window, const char* text);
// The message bar's text (empty hides it), marked as an error or not.
void set_message_bar(DocWindow* window, const char* text, bool is_error);
// Empties the message bar when it shows an error.
void clear_message_bar_error(DocWindow* window);

// The host calls this when a timer of the window fires (DocTimer ids).
void doc_window_timer(DocWindow* window, uint32_t timer_id);

// Runs a command id of the command table (commands.h): the ones that are
// about windows through the host's run_window_command, the others here.
// Commands that need a Document, a selection or a search do nothing without
// one; unknown ids do nothing. After Close or Exit the window may be gone.
void run_command(DocWindow* window, uint32_t command_id);

// Selects the Node a typed path names. False with the reason in
// DocWindow::goto_message (and in script mode the line "goto-error=...").
bool submit_go_to_path(DocWindow* window, const char* text, uint64_t length);
