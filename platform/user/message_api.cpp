// Sending, posting, taking and dispatching messages.
#include "user/activation.h"
#include "user/errors.h"
#include "user/foreign_windows.h"
#include "user/input_state.h"
#include "user/keyboard.h"
#include "user/message_pump.h"
#include "user/message_sender.h"
#include "user/painting.h"
#include "user/thread_queue.h"
#include "user/window_system.h"

#ifndef ERROR_INVALID_THREAD_ID
#define ERROR_INVALID_THREAD_ID 1444
#endif

namespace handset {

namespace {

// A tap on a window that is not active activates its top-level window first, as the device does.
void activate_on_tap(HWND window) {
    HWND root;
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        Window* entry = system.find(lock, window);
        if (entry == nullptr) {
            return;
        }
        Window& top = system.root_of(lock, *entry);
        if (top.handle == system.active(lock) || !top.takes_activation || !top.enabled()) {
            return;
        }
        root = top.handle;
    }
    activate(root, WA_CLICKACTIVE);
}

bool valid_filter_window(HWND window) {
    return !window || IsWindow(window);
}

} // namespace

} // namespace handset

using namespace handset;

LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return send_message(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (!hWnd) {
        return current_queue()->post(stamped_message(HWND(), Msg, wParam, lParam)) ? TRUE : FALSE;
    }
    std::shared_ptr<MessageQueue> queue;
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        Window* window = system.find(lock, hWnd);
        if (window == nullptr) {
            lock.unlock();
            fail_bad_window("PostMessage", hWnd);
            return FALSE;
        }
        if (window->foreign_token) {
            const uint64_t token = *window->foreign_token;
            lock.unlock();
            return post_to_foreign_window(hWnd, token, Msg, wParam, lParam);
        }
        queue = window->queue;
    }
    if (!queue->post(stamped_message(hWnd, Msg, wParam, lParam))) {
        fail_bad_window("PostMessage", hWnd);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI PostThreadMessageW(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<MessageQueue> queue = queue_of_thread(idThread);
    if (!queue || !queue->post(stamped_message(HWND(), Msg, wParam, lParam))) {
        fail(ERROR_INVALID_THREAD_ID, "PostThreadMessage", "no such thread with a queue");
        return FALSE;
    }
    return TRUE;
}

void WINAPI PostQuitMessage(int nExitCode) {
    current_queue()->post_quit(nExitCode);
}

BOOL WINAPI GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    if (lpMsg == nullptr || !valid_filter_window(hWnd)) {
        fail(ERROR_INVALID_PARAMETER, "GetMessage", "no MSG, or the filter names no window");
        return -1;
    }
    *lpMsg = *next_message(MessageFilter{hWnd, wMsgFilterMin, wMsgFilterMax}, Removal::remove,
                           Waiting::wait);
    return lpMsg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                         UINT wRemoveMsg) {
    if (lpMsg == nullptr || !valid_filter_window(hWnd)) {
        fail(ERROR_INVALID_PARAMETER, "PeekMessage", "no MSG, or the filter names no window");
        return FALSE;
    }
    const Removal removal = (wRemoveMsg & PM_REMOVE) != 0 ? Removal::remove : Removal::keep;
    std::optional<MSG> message = next_message(MessageFilter{hWnd, wMsgFilterMin, wMsgFilterMax},
                                              removal, Waiting::return_at_once);
    if (!message) {
        return FALSE;
    }
    *lpMsg = *message;
    return TRUE;
}

BOOL WINAPI WaitMessage() {
    MessageQueue& queue = *current_queue();
    const uint64_t seen = queue.activity();
    MSG message;
    if (PeekMessageW(&message, HWND(), 0, 0, PM_NOREMOVE)) {
        return TRUE;
    }
    queue.wait_for_activity(seen);
    return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
    if (lpMsg == nullptr || lpMsg->message != WM_KEYDOWN) {
        return FALSE;
    }
    const std::optional<WCHAR> character =
        character_for_key(static_cast<UINT>(lpMsg->wParam), key_held(VK_SHIFT));
    if (character) {
        PostMessageW(lpMsg->hwnd, WM_CHAR, *character, lpMsg->lParam);
    }
    return TRUE;
}

LRESULT WINAPI DispatchMessageW(const MSG* lpMsg) {
    if (lpMsg == nullptr || !lpMsg->hwnd) {
        return 0;
    }
    if (lpMsg->message == WM_PAINT) {
        return deliver_paint(lpMsg->hwnd);
    }
    if (lpMsg->message == WM_LBUTTONDOWN) {
        activate_on_tap(lpMsg->hwnd);
    }
    return call_procedure(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

DWORD WINAPI GetMessagePos() {
    const POINT position = current_message_stamp().position;
    return static_cast<DWORD>(
        MAKELONG(static_cast<WORD>(position.x), static_cast<WORD>(position.y)));
}

LONG WINAPI GetMessageTime() {
    return static_cast<LONG>(current_message_stamp().time);
}
