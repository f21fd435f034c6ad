// Jobs on threads of their own: the Win32 host's half of Job handling. Each
// worker reports only by posting to the message window.
#pragma once

#include <cstdint>

struct Job;

bool start_job_thread(void* context, Job* job);
void wait_job_thread(void* context, Job* job);
void release_job_thread(void* context, Job* job);
void post_job_progress(void* context, Job* job, uint32_t per_mille);
void post_job_done(void* context, Job* job);
