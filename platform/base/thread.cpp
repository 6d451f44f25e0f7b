// CreateThread and the thread identities. A thread runs detached from its handle: closing the
// handle at once, as the programs do, leaves the thread running to its end.
#include "base/debug_output.h"
#include "base/kernel_objects.h"
#include "base/thread_lifecycle.h"

#include <winbase.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace handset {

namespace {

std::atomic<ThreadLifecycleObserver*> g_observer{nullptr};
std::atomic<DWORD> g_next_thread_id{1};
thread_local DWORD t_thread_id = 0;

// The threads made by CreateThread that have not yet returned. Never destroyed: a thread may
// return while the process exits.
struct RunningThreads {
    std::mutex lock;
    std::condition_variable returned;
    int count = 0;
};

RunningThreads& running_threads() {
    static RunningThreads* threads = new RunningThreads;
    return *threads;
}

void count_started_thread() {
    RunningThreads& threads = running_threads();
    std::lock_guard<std::mutex> lock(threads.lock);
    ++threads.count;
}

void count_returned_thread() {
    RunningThreads& threads = running_threads();
    std::lock_guard<std::mutex> lock(threads.lock);
    --threads.count;
    threads.returned.notify_all();
}

// What a thread handle stands for. Nothing waits on threads here, so it carries no state.
class ThreadObject : public KernelObject {};

void run_thread(DWORD id, LPTHREAD_START_ROUTINE start, LPVOID parameter) {
    t_thread_id = id;
    ThreadLifecycleObserver* observer = g_observer.load();
    if (observer) {
        observer->thread_started();
    }
    start(parameter);
    if (observer) {
        observer->thread_ending();
    }
    count_returned_thread();
}

} // namespace

void set_thread_lifecycle_observer(ThreadLifecycleObserver* observer) {
    g_observer = observer;
}

bool wait_for_created_threads(std::chrono::milliseconds timeout) {
    RunningThreads& threads = running_threads();
    std::unique_lock<std::mutex> lock(threads.lock);
    return threads.returned.wait_for(lock, timeout, [&] { return threads.count == 0; });
}

} // namespace handset

DWORD GetCurrentThreadId() {
    if (handset::t_thread_id == 0) {
        handset::t_thread_id = handset::g_next_thread_id++;
    }
    return handset::t_thread_id;
}

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                    DWORD creation_flags, LPDWORD thread_id) {
    if (start == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // A suspended start would need ResumeThread, which no program here calls.
    if ((creation_flags & ~STACK_SIZE_PARAM_IS_A_RESERVATION) != 0) {
        handset::debug_printf("CreateThread: creation flags 0x%x are not supported",
                              creation_flags);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const DWORD id = handset::g_next_thread_id++;
    const HANDLE handle = handset::add_kernel_object(std::make_shared<handset::ThreadObject>());
    if (!handle) {
        SetLastError(ERROR_NO_SYSTEM_RESOURCES);
        return nullptr;
    }
    handset::count_started_thread();
    try {
        std::thread(handset::run_thread, id, start, parameter).detach();
    } catch (const std::system_error& error) {
        handset::count_returned_thread();
        handset::debug_printf("CreateThread: %s", error.what());
        handset::close_kernel_object(handle);
        SetLastError(ERROR_NO_SYSTEM_RESOURCES);
        return nullptr;
    }
    if (thread_id) {
        *thread_id = id;
    }
    return handle;
}
