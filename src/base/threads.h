// Worker threads for the engine, which splits big loads over the processors.
// Starting a thread can fail (no memory, no more threads): the caller then
// does the work itself, on fewer threads.
#pragma once

#include <cstdint>

struct Thread;

// Starts run(argument) on a new thread; nullptr when it cannot be started.
[[nodiscard]] Thread* start_thread(void (*run)(void* argument), void* argument);
// Waits for the thread to end and frees it.
void join_thread(Thread* thread);
// Lets another thread run, for a thread that waits on one.
void yield_thread();
// Processors the system offers (at least 1).
uint32_t processor_count();
