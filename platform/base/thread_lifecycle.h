// Lets the module loader hear about threads that CreateThread makes, so that loaded code modules
// get their thread attach and detach calls.
#pragma once

#include <chrono>

namespace handset {

class ThreadLifecycleObserver {
  public:
    virtual ~ThreadLifecycleObserver() = default;
    // On the new thread, before its start routine runs.
    virtual void thread_started() = 0;
    // On the same thread, after its start routine returned.
    virtual void thread_ending() = 0;
};

// One observer at a time; nullptr removes it. The observer must stay alive for as long as any
// thread made by CreateThread may still run.
void set_thread_lifecycle_observer(ThreadLifecycleObserver* observer);

// On the device a process ends when its first thread returns from WinMain, and the threads it
// made with CreateThread end with it. Threads cannot be stopped from outside here, so the end of
// a program waits until they have returned (their windows are gone by then, so they run out
// quickly). False when some still run after `timeout`.
bool wait_for_created_threads(std::chrono::milliseconds timeout);

} // namespace handset
