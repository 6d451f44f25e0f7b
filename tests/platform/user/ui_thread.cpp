#include "ui_thread.h"

#include "message_log.h"

#include <winbase.h>

#include <cstdio>
#include <cstdlib>

namespace handset::testing {

namespace {

constexpr UINT task_message = WM_APP + 0x100;
constexpr const char16_t* task_class = u"TestUiThreadTasks";

// Classes belong to the process, so every UI thread shares the one class.
void register_task_class(WNDPROC procedure) {
    static std::once_flag registered;
    std::call_once(registered, [procedure] {
        WNDCLASSW record{};
        record.lpfnWndProc = procedure;
        record.cbWndExtra = sizeof(LONG_PTR);
        record.lpszClassName = task_class;
        RegisterClassW(&record);
    });
}

} // namespace

void report_hang(const char* what) {
    std::fprintf(stderr, "HANG: %s did not finish within %lld seconds\n", what,
                 static_cast<long long>(hang_limit.count()));
    std::fflush(stderr);
    std::_Exit(3);
}

UiThread::UiThread() {
    std::promise<DWORD> started;
    std::future<DWORD> id = started.get_future();
    m_thread = std::thread([this, &started] { loop(started); });
    m_id = wait_or_fail(id, "a UI thread starting");
}

UiThread::~UiThread() {
    stop();
}

LRESULT CALLBACK UiThread::task_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == task_message) {
        reinterpret_cast<UiThread*>(GetWindowLongPtrW(window, 0))->run_next_task();
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

void UiThread::submit(std::function<void()> task) {
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    PostMessageW(m_task_window, task_message, 0, 0);
}

void UiThread::run_next_task() {
    std::function<void()> task;
    {
        std::lock_guard lock(m_mutex);
        task = std::move(m_tasks.front());
        m_tasks.pop_front();
    }
    task();
}

void UiThread::loop(std::promise<DWORD>& started) {
    register_task_class(task_procedure);
    m_task_window = CreateWindowExW(0, task_class, u"", WS_POPUP, 0, 0, 1, 1, HWND(), HMENU(),
                                    HINSTANCE(), nullptr);
    SetWindowLongPtrW(m_task_window, 0, reinterpret_cast<LONG_PTR>(this));
    started.set_value(GetCurrentThreadId());
    MSG message;
    while (GetMessageW(&message, HWND(), 0, 0) > 0) {
        dispatch_message(message);
    }
    DestroyWindow(m_task_window);
}

void UiThread::stop() {
    if (!m_thread.joinable()) {
        return;
    }
    submit([] { PostQuitMessage(0); });
    std::promise<void> joined;
    std::future<void> done = joined.get_future();
    std::thread joiner([&] {
        m_thread.join();
        joined.set_value();
    });
    if (done.wait_for(hang_limit) != std::future_status::ready) {
        joiner.detach();
        report_hang("a UI thread stopping");
    }
    joiner.join();
}

HWND make_owner_window(UiThread& thread, const char16_t* class_name) {
    return thread.run([class_name] {
        register_test_class(class_name);
        return CreateWindowExW(0, class_name, u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, HWND(),
                               HMENU(), HINSTANCE(), nullptr);
    });
}

} // namespace handset::testing
