// Background Jobs: reading and parsing a file, parsing the clipboard's text,
// building the text view and running a search, each on a worker thread of its
// own that the host makes.
//
// A Job goes: created (user-interface thread) -> started (in the App's
// running-jobs list, run_job working on its thread) -> done (the worker posted
// its completion) -> handled and freed by job_done. Cancelling only asks: the
// worker and the engines read the cancel flag as they go, and a cancelled Job
// still completes. The worker touches nothing but its Job, its file and its
// text; it reads only the host table and read delay of the App.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/document.h"
#include "files/file_io.h"

struct App;
struct DocWindow;
struct SearchState;
struct TextView;

enum class JobKind : uint32_t { OpenFile = 0, ParseClipboard = 1, ReloadFile = 2, BuildTextView = 3, Search = 4 };
enum class JobResult : uint32_t { Ok = 0, ReadFailed = 1, TooBig = 2, OutOfMemory = 3, Cancelled = 4 };

// Files are read in pieces of this size, and larger files are refused.
constexpr uint32_t READ_CHUNK = 0x1000000;
constexpr uint64_t MAX_FILE_SIZE = MAX_TEXT_LENGTH;
// At most one progress message per this many milliseconds and Job.
constexpr uint64_t PROGRESS_INTERVAL_MS = 100;

struct Job;
// What the module that creates a Job does when its worker's posts arrive.
using JobFinish = void (*)(Job* job);
using JobProgress = void (*)(Job* job, uint32_t per_mille);

struct Job {
    Job* next;  // running-jobs list
    JobKind kind;
    JobFinish finish;      // once, before the Job is freed; the window may be gone
    JobProgress progress;  // absent: the window's progress figure is updated
    App* app;
    DocWindow* window;         // receives the result; cleared when it closes or the Job is superseded
    DocWindow* target_window;  // ParseClipboard: the window that asked, or none
    std::atomic<uint32_t> cancel;
    char* path;       // OpenFile, ReloadFile: UTF-8, owned
    uint8_t records;  // the path ends in ".jsonl" or ".ndjson": read as JSON Lines
    uint8_t* text;    // owned until handed to the loader; 64 zero bytes follow it
    uint64_t text_length;
    uint64_t file_size;
    uint64_t too_large_size;  // TooBig: the size over the limit, converted for UTF-16
    uint64_t last_progress_tick;
    uint8_t was_start_page;  // OpenFile: the window showed the start page when the open began
    void* thread;            // the host's
    uint8_t manual;          // ReloadFile: the user asked for it
    SearchState* search;     // Search: not owned
    Document* source_document;  // BuildTextView: retained
    uint32_t text_mode;         // BuildTextView: TEXT_SOURCE or TEXT_PRETTY
    uint32_t select_line;       // BuildTextView: line to select on arrival, or NO_LINE
    Document* result_document;  // retained unless taken
    TextView* result_text_view;
    FileIdentity file_identity;
    JobResult result;
    uint32_t os_error;  // ReadFailed
    uint32_t parse_time;  // milliseconds
};

// A zeroed Job of the kind for `window` (select_line none) that `finish`
// completes, or nullptr.
[[nodiscard]] Job* create_job(App* app, JobKind kind, DocWindow* window, JobFinish finish);
// Links the Job into the running list and has the host start its thread. When
// no thread can be made the Job completes at once with OutOfMemory, so every
// started Job completes exactly once.
void start_job(Job* job);
// Sets the cancel flag, waits for the thread to end, detaches the Job from its
// window and empties the slot. Its completion still arrives and only frees it.
void cancel_job(Job** slot);
void free_job(Job* job);

// The worker, on the Job's own thread: does the kind's work, then posts the
// completion through the host.
void run_job(Job* job);

// User-interface thread, when the worker's posts arrive.
void job_progress(Job* job, uint32_t per_mille);
void job_done(Job* job);  // unlinks, finishes and frees the Job

// Every running Job of a closing window loses it (and is cancelled).
void detach_window_jobs(App* app, DocWindow* window);
