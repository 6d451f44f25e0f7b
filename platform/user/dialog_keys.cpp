// IsDialogMessage and the tab order: the keys a dialog handles for its controls. Enter picks the
// default button (IDOK when there is none), Esc picks IDCANCEL and Tab moves the focus through the
// controls that have WS_TABSTOP, unless the focused control asks for the key (WM_GETDLGCODE).
// Every other message for the dialog is translated and dispatched as usual.
#include "user/activation.h"
#include "user/input_state.h"
#include "user/message_sender.h"
#include "user/window_system.h"

#include <algorithm>
#include <vector>

namespace handset {

namespace {

bool belongs_to_dialog(HWND dialog, HWND window) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const Window* entry = system.find(lock, window);
    return entry != nullptr && system.is_descendant(lock, *entry, dialog);
}

LRESULT dialog_code(const MSG& message) {
    return send_message(message.hwnd, WM_GETDLGCODE, message.wParam,
                        reinterpret_cast<LPARAM>(&message));
}

void press_button(HWND dialog, WORD id) {
    const HWND button = GetDlgItem(dialog, id);
    if (button && !IsWindowEnabled(button)) {
        return;
    }
    send_message(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 static_cast<LPARAM>(button.value()));
}

void press_default_button(HWND dialog) {
    const LRESULT answer = send_message(dialog, DM_GETDEFID, 0, 0);
    press_button(dialog, HIWORD(answer) == DC_HASDEFID ? LOWORD(answer) : IDOK);
}

// The dialog's key handling; false when the message is not one of its keys.
bool handle_dialog_key(HWND dialog, const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_CHAR) {
        return false;
    }
    const LRESULT code = dialog_code(message);
    if ((code & DLGC_WANTMESSAGE) != 0) {
        return false;
    }
    const WPARAM key = message.wParam;
    if (message.message == WM_CHAR) {
        // The keys handled below also arrive as characters; those are spent.
        return key == u'\t' ? (code & DLGC_WANTTAB) == 0 : key == u'\r' || key == 0x1B;
    }
    switch (key) {
    case VK_TAB: {
        if ((code & DLGC_WANTTAB) != 0) {
            return false;
        }
        const bool backwards = key_held(VK_SHIFT);
        if (const HWND next = GetNextDlgTabItem(dialog, GetFocus(), backwards ? TRUE : FALSE)) {
            set_focus(next);
        }
        return true;
    }
    case VK_RETURN:
        press_default_button(dialog);
        return true;
    case VK_ESCAPE:
        press_button(dialog, IDCANCEL);
        return true;
    default:
        return false;
    }
}

bool is_tab_stop(const Window& window) {
    return window.visible() && window.enabled() && (window.style & WS_TABSTOP) != 0;
}

} // namespace

} // namespace handset

using namespace handset;

BOOL WINAPI IsDialogMessageW(HWND hDlg, LPMSG lpMsg) {
    if (lpMsg == nullptr || !belongs_to_dialog(hDlg, lpMsg->hwnd)) {
        return FALSE;
    }
    if (!handle_dialog_key(hDlg, *lpMsg)) {
        TranslateMessage(lpMsg);
        DispatchMessageW(lpMsg);
    }
    return TRUE;
}

HWND WINAPI GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const Window* dialog = system.find(lock, hDlg);
    if (dialog == nullptr) {
        return HWND();
    }
    std::vector<HWND> order = dialog->children;
    if (bPrevious) {
        std::reverse(order.begin(), order.end());
    }
    auto start = std::find(order.begin(), order.end(), hCtl);
    const size_t count = order.size();
    const size_t first = start == order.end() ? 0 : static_cast<size_t>(start - order.begin()) + 1;
    for (size_t step = 0; step < count; ++step) {
        const HWND candidate = order[(first + step) % count];
        if (is_tab_stop(*system.find(lock, candidate))) {
            return candidate;
        }
    }
    return HWND();
}
