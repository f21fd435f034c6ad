// The worker's side of a Job, on its own thread: reading a file in 16 MiB
// pieces, parsing a text, building a text view, running a search. It reports
// only through the host's posts.
#include <chrono>
#include <cstring>
#include <thread>

#include "app/app.h"
#include "app/jobs.h"
#include "base/memory.h"
#include "core/load.h"
#include "search/search_run.h"
#include "views/text_view.h"

namespace {

uint64_t now_ms() {
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

const AppHost& host_of(const Job* job) { return job->app->host; }

// At most one progress message per PROGRESS_INTERVAL_MS.
void post_progress(Job* job, uint32_t per_mille) {
    uint64_t now = now_ms();
    if (now - job->last_progress_tick < PROGRESS_INTERVAL_MS) return;
    job->last_progress_tick = now;
    host_of(job).post_job_progress(host_of(job).context, job, per_mille);
}

bool reads_file(const Job* job) { return job->kind == JobKind::OpenFile || job->kind == JobKind::ReloadFile; }

// Engine progress; for a file, parsing fills the second half of the bar.
void report_progress(void* argument, uint64_t done, uint64_t total) {
    Job* job = static_cast<Job*>(argument);
    uint32_t per_mille = progress_per_mille(done, total);
    post_progress(job, reads_file(job) ? 500 + per_mille / 2 : per_mille);
}

ProgressContext progress_of(Job* job) { return ProgressContext{report_progress, job, &job->cancel}; }

JobResult read_failed(Job* job, uint32_t os_error) {
    job->os_error = os_error;
    return JobResult::ReadFailed;
}

// Reads the whole file into a padded buffer; a file that shrinks while it is
// read ends at the first empty read.
JobResult read_chunks(Job* job, FileHandle file) {
    const FileIo* io = host_of(job).platform;
    uint64_t size = job->file_size;
    uint8_t* buffer = alloc_text_buffer(size);
    if (!buffer) return JobResult::OutOfMemory;
    uint64_t done = 0;
    while (done < size) {
        if (job->cancel.load() != 0) {
            mem_free(buffer);
            return JobResult::Cancelled;
        }
        uint64_t left = size - done;
        uint32_t piece = left < READ_CHUNK ? static_cast<uint32_t>(left) : READ_CHUNK;
        uint32_t got = 0, os_error = 0;
        if (!io->read(file, buffer + done, piece, &got, &os_error)) {
            mem_free(buffer);
            return read_failed(job, os_error);
        }
        if (got == 0) break;
        done += got;
        post_progress(job, static_cast<uint32_t>(done * 500 / size));
        uint32_t delay = job->app->read_delay_ms;
        if (delay) std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    }
    std::memset(buffer + done, 0, TEXT_PADDING);
    job->text = buffer;
    job->text_length = done;
    return JobResult::Ok;
}

JobResult read_file(Job* job) {
    const FileIo* io = host_of(job).platform;
    uint32_t os_error = 0;
    FileHandle file = io->open_for_reading(job->path, &os_error);
    if (file == NO_FILE) return read_failed(job, os_error);
    if (!io->identity(file, &job->file_identity)) job->file_identity = FileIdentity{};
    JobResult result = JobResult::Ok;
    if (!io->size(file, &job->file_size, &os_error)) {
        result = read_failed(job, os_error);
    } else if (job->file_size > MAX_FILE_SIZE) {
        job->too_large_size = job->file_size;
        result = JobResult::TooBig;
    } else {
        result = read_chunks(job, file);
    }
    io->close(file);
    return result;
}

JobResult parse_text(Job* job) {
    ProgressContext progress = progress_of(job);
    LoadOptions options{0, job->records};
    uint8_t* text = job->text;
    job->text = nullptr;
    uint32_t outcome = 0;
    uint64_t start = now_ms();
    job->result_document = load_document(text, job->text_length, &options, &progress, &outcome, &job->too_large_size);
    job->parse_time = static_cast<uint32_t>(now_ms() - start);
    if (job->result_document) return JobResult::Ok;
    if (outcome == LOAD_CANCELLED) return JobResult::Cancelled;
    return outcome == LOAD_TOO_LARGE ? JobResult::TooBig : JobResult::OutOfMemory;
}

JobResult build_text(Job* job) {
    ProgressContext progress = progress_of(job);
    uint32_t outcome = 0;
    job->result_text_view = build_text_view(job->source_document, job->text_mode, &progress, &outcome);
    if (job->result_text_view) return JobResult::Ok;
    return outcome == TEXT_VIEW_CANCELLED ? JobResult::Cancelled : JobResult::OutOfMemory;
}

JobResult search(Job* job) {
    ProgressContext progress = progress_of(job);
    return run_search(job->search, &progress) == SEARCH_CANCELLED ? JobResult::Cancelled : JobResult::Ok;
}

JobResult work(Job* job) {
    switch (job->kind) {
    case JobKind::OpenFile:
    case JobKind::ReloadFile: {
        JobResult read = read_file(job);
        return read == JobResult::Ok ? parse_text(job) : read;
    }
    case JobKind::ParseClipboard: return parse_text(job);
    case JobKind::BuildTextView: return build_text(job);
    case JobKind::Search: return search(job);
    }
    return JobResult::Cancelled;
}

}  // namespace

void run_job(Job* job) {
    job->result = work(job);
    host_of(job).post_job_done(host_of(job).context, job);
}
