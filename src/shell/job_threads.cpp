#include "shell/job_threads.h"

#include <windows.h>

#include "app/jobs.h"
#include "shell/process.h"

namespace {

// A full message queue refuses posts for a while; the completion must still
// arrive, or the Job would never be freed and a script would wait forever.
constexpr DWORD DONE_RETRY_MS = 10;

DWORD WINAPI job_thread(void* argument) {
    run_job(static_cast<Job*>(argument));
    return 0;
}

}  // namespace

bool start_job_thread(void*, Job* job) {
    HANDLE thread = CreateThread(nullptr, 0, job_thread, job, 0, nullptr);
    job->thread = thread;
    return thread != nullptr;
}

void wait_job_thread(void*, Job* job) {
    if (job->thread) WaitForSingleObject(static_cast<HANDLE>(job->thread), INFINITE);
}

void release_job_thread(void*, Job* job) {
    if (job->thread) CloseHandle(static_cast<HANDLE>(job->thread));
    job->thread = nullptr;
}

// A lost progress post costs nothing: the next one brings the news.
void post_job_progress(void*, Job* job, uint32_t per_mille) {
    PostMessageW(process()->message_window, MSG_JOB_PROGRESS, per_mille, reinterpret_cast<LPARAM>(job));
}

void post_job_done(void*, Job* job) {
    HWND target = process()->message_window;
    while (!PostMessageW(target, MSG_JOB_DONE, 0, reinterpret_cast<LPARAM>(job)) && IsWindow(target)) {
        Sleep(DONE_RETRY_MS);
    }
}
