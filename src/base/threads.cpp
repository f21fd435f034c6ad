// POSIX threads on every platform: the mingw-w64 runtime the Windows build
// links statically (its posix thread model) provides them over the Windows
// threads, so the engine needs no Windows header.
#include "base/threads.h"

#include <pthread.h>

#include <thread>

#include "base/memory.h"

struct Thread {
    pthread_t handle;
    void (*run)(void* argument);
    void* argument;
};

namespace {

void* thread_main(void* thread) {
    Thread* self = static_cast<Thread*>(thread);
    self->run(self->argument);
    return nullptr;
}

}  // namespace

Thread* start_thread(void (*run)(void* argument), void* argument) {
    auto* thread = static_cast<Thread*>(mem_alloc(sizeof(Thread)));
    if (!thread) return nullptr;
    thread->run = run;
    thread->argument = argument;
    if (pthread_create(&thread->handle, nullptr, thread_main, thread) != 0) {
        mem_free(thread);
        return nullptr;
    }
    return thread;
}

void join_thread(Thread* thread) {
    pthread_join(thread->handle, nullptr);
    mem_free(thread);
}

void yield_thread() { std::this_thread::yield(); }

uint32_t processor_count() {
    uint32_t count = std::thread::hardware_concurrency();
    return count ? count : 1;
}
