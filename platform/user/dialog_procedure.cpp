// DefDlgProc, the window procedure of the dialog class. It hands each message to the dialog
// procedure first and applies the device's rules to the answer:
// - FALSE: the dialog procedure did not handle the message, and the dialog's default handling
//   (focus, default button, background, WM_CLOSE as IDCANCEL; then DefWindowProc) answers it;
// - TRUE: it handled the message, and the answer is what it stored in DWL_MSGRESULT, except for
//   the messages whose answer is the dialog procedure's own result (WM_INITDIALOG, the WM_CTLCOLOR
//   messages and a few others).
#include "user/activation.h"
#include "user/dialog_state.h"
#include "user/message_sender.h"
#include "user/window_system.h"

#include <wingdi.h>

namespace handset {

namespace {

bool answers_with_procedure_result(UINT message) {
    if (is_control_color_message(message)) {
        return true;
    }
    switch (message) {
    case WM_INITDIALOG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

std::shared_ptr<DialogState> state_of(HWND dialog) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    Window* window = system.find(lock, dialog);
    return window != nullptr ? window->dialog : nullptr;
}

bool is_control_of(const WindowLock& lock, HWND control, HWND dialog) {
    WindowSystem& system = WindowSystem::instance();
    Window* window = system.find(lock, control);
    return window != nullptr && window->handle != dialog &&
           system.is_descendant(lock, *window, dialog);
}

// WA_INACTIVE: remember which control had the focus.
void save_focus(HWND dialog, DialogState& state) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const HWND focus = system.focus(lock);
    if (is_control_of(lock, focus, dialog)) {
        state.saved_focus = focus;
    }
}

// WA_ACTIVE and WM_SETFOCUS: the remembered control; else, unless a control has the focus
// already, the first tab stop, so that the keys reach a control of the active dialog.
void restore_focus(HWND dialog, DialogState& state) {
    HWND target;
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        if (is_control_of(lock, state.saved_focus, dialog)) {
            target = state.saved_focus;
        } else if (is_control_of(lock, system.focus(lock), dialog)) {
            return;
        }
    }
    if (!target) {
        target = GetNextDlgTabItem(dialog, HWND(), FALSE);
    }
    if (target) {
        set_focus(target);
    }
}

LRESULT erase_dialog_background(HWND dialog, HDC dc) {
    HBRUSH brush = HBRUSH(
        static_cast<uint32_t>(send_message(dialog, WM_CTLCOLORDLG, static_cast<WPARAM>(dc.value()),
                                           static_cast<LPARAM>(dialog.value()))));
    if (!brush) {
        brush = HBRUSH(static_cast<uint32_t>(DefWindowProcW(dialog, WM_CTLCOLORDLG,
                                                            static_cast<WPARAM>(dc.value()),
                                                            static_cast<LPARAM>(dialog.value()))));
    }
    RECT client;
    GetClientRect(dialog, &client);
    FillRect(dc, &client, brush);
    return 1;
}

// The default button: DM_SETDEFID's, else a child that says it is the default push button.
LRESULT default_id(HWND dialog, const DialogState& state) {
    std::optional<WORD> chosen;
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        chosen = state.default_id;
    }
    if (chosen) {
        return MAKELONG(*chosen, DC_HASDEFID);
    }
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((send_message(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0) {
            return MAKELONG(static_cast<WORD>(GetDlgCtrlID(child)), DC_HASDEFID);
        }
    }
    return 0;
}

LRESULT next_control(HWND dialog, WPARAM wparam, LPARAM lparam) {
    HWND target;
    if (LOWORD(lparam) != 0) {
        target = HWND(static_cast<uint32_t>(wparam));
    } else {
        target = GetNextDlgTabItem(dialog, GetFocus(), wparam != 0 ? TRUE : FALSE);
    }
    if (target) {
        set_focus(target);
    }
    return 0;
}

LRESULT default_dialog_handling(HWND dialog, DialogState& state, UINT message, WPARAM wparam,
                                LPARAM lparam) {
    switch (message) {
    case WM_ERASEBKGND:
        return erase_dialog_background(dialog, HDC(static_cast<uint32_t>(wparam)));
    case WM_ACTIVATE:
        if (LOWORD(wparam) == WA_INACTIVE) {
            save_focus(dialog, state);
        } else {
            restore_focus(dialog, state);
        }
        return 0;
    case WM_SETFOCUS:
        restore_focus(dialog, state);
        return 0;
    case DM_SETDEFID: {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        state.default_id = static_cast<WORD>(wparam);
        return TRUE;
    }
    case DM_GETDEFID:
        return default_id(dialog, state);
    case WM_NEXTDLGCTL:
        return next_control(dialog, wparam, lparam);
    case WM_GETFONT:
        return static_cast<LRESULT>(state.font.value());
    case WM_CLOSE:
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     static_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL).value()));
        return 0;
    case WM_INITDIALOG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return 0;
    default:
        return DefWindowProcW(dialog, message, wparam, lparam);
    }
}

// DWL_MSGRESULT starts at 0 for every message, so a procedure that handles a message without
// storing a result answers 0.
DLGPROC start_message(DialogState& state) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    state.message_result = 0;
    return state.procedure;
}

LRESULT stored_result(const DialogState& state) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    return state.message_result;
}

} // namespace

} // namespace handset

using namespace handset;

LRESULT WINAPI DefDlgProcW(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
    const std::shared_ptr<DialogState> state = state_of(hDlg);
    if (!state) {
        return DefWindowProcW(hDlg, Msg, wParam, lParam);
    }
    const DLGPROC procedure = start_message(*state);
    const INT_PTR handled = procedure != nullptr ? procedure(hDlg, Msg, wParam, lParam) : 0;
    if (!handled) {
        return IsWindow(hDlg) ? default_dialog_handling(hDlg, *state, Msg, wParam, lParam) : 0;
    }
    if (answers_with_procedure_result(Msg)) {
        return handled;
    }
    return stored_result(*state);
}
