// Threads for window-system tests. Every wait here has a time limit: a hang becomes a failure
// that says where it hung, and the program stops rather than sit until ctest kills it.
#pragma once

#include <winuser.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

namespace handset::testing {

inline constexpr std::chrono::seconds hang_limit{10};

// Stops the test program with a message when a wait exceeds the limit.
[[noreturn]] void report_hang(const char* what);

template <typename T>
T wait_or_fail(std::future<T>& future, const char* what) {
    if (future.wait_for(hang_limit) != std::future_status::ready) {
        report_hang(what);
    }
    return future.get();
}

// Waits, yielding, until the condition holds (another thread is expected to make it true).
template <typename F>
void wait_until(F&& condition, const char* what) {
    const auto deadline = std::chrono::steady_clock::now() + hang_limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            report_hang(what);
        }
        std::this_thread::yield();
    }
}

// Runs the body on a thread of its own and waits for it, within the limit.
template <typename F>
auto on_new_thread(F&& body) {
    using Result = decltype(body());
    std::packaged_task<Result()> task(std::forward<F>(body));
    std::future<Result> future = task.get_future();
    std::thread thread(std::move(task));
    if (future.wait_for(hang_limit) != std::future_status::ready) {
        thread.detach();
        report_hang("a test thread");
    }
    thread.join();
    return future.get();
}

// A thread that pumps messages, as a program's user interface thread does, and runs tasks given
// to it between messages. Tasks arrive as messages to a hidden window of the thread, so they also
// run while the thread sits in a modal loop (a dialog, a message box, a popup menu). Its windows
// belong to it.
class UiThread {
  public:
    UiThread();
    ~UiThread();
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;

    DWORD id() const { return m_id; }

    // Runs the task on the thread and returns its result.
    template <typename F>
    auto run(F&& body) {
        using Result = decltype(body());
        auto task = std::make_shared<std::packaged_task<Result()>>(std::forward<F>(body));
        std::future<Result> future = task->get_future();
        submit([task] { (*task)(); });
        return wait_or_fail(future, "a task on a UI thread");
    }

    // Ends the message loop and the thread; its windows go with it.
    void stop();

  private:
    static LRESULT CALLBACK task_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    void submit(std::function<void()> task);
    void run_next_task();
    void loop(std::promise<DWORD>& started);

    std::mutex m_mutex;
    std::deque<std::function<void()>> m_tasks;
    DWORD m_id = 0;
    HWND m_task_window;
    std::thread m_thread;
};

// A visible full-screen window of a logging class (registered here), made on the UI thread: the
// owner that dialogs, menus and message boxes of a test are opened from.
HWND make_owner_window(UiThread& thread, const char16_t* class_name);

} // namespace handset::testing
