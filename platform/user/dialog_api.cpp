// Dialog boxes from templates, ending them, dialog units, and reaching their controls.
#include "base/debug_output.h"
#include "gdi/screen.h"
#include "user/dialog_builder.h"
#include "user/errors.h"
#include "user/message_sender.h"
#include "user/modal_loop.h"
#include "user/thread_queue.h"
#include "user/window_placement.h"
#include "user/window_system.h"

#include <wingdi.h>

#include <optional>
#include <span>

namespace handset {

namespace {

// DialogBoxIndirectParam gets a bare pointer; templates are small, so the parser may look at
// this much of it, and stops at the template's own end.
constexpr size_t indirect_template_limit = 64 * 1024;

std::optional<DialogTemplate> template_at(LPCDLGTEMPLATEW data, size_t size, const char* function) {
    if (data == nullptr) {
        fail(ERROR_INVALID_PARAMETER, function, "no dialog template");
        return std::nullopt;
    }
    std::optional<DialogTemplate> parsed =
        parse_dialog_template(std::span(reinterpret_cast<const BYTE*>(data), size));
    if (!parsed) {
        fail(ERROR_INVALID_PARAMETER, function, "the dialog template is damaged");
    }
    return parsed;
}

bool valid_owner(HWND owner, const char* function) {
    if (owner && !IsWindow(owner)) {
        fail_bad_window(function, owner);
        return false;
    }
    return true;
}

INT_PTR run_dialog(const DialogTemplate& dialog_template, HINSTANCE instance, HWND owner,
                   DLGPROC procedure, LPARAM parameter, const char* function) {
    auto state = std::make_shared<DialogState>();
    const HWND dialog =
        build_dialog(dialog_template, instance, owner, procedure, parameter, state, function);
    if (!dialog) {
        return -1;
    }
    return run_modal(dialog, state);
}

Window* dialog_window(const WindowLock& lock, HWND window) {
    Window* entry = WindowSystem::instance().find(lock, window);
    return entry != nullptr && entry->dialog ? entry : nullptr;
}

} // namespace

} // namespace handset

using namespace handset;

INT_PTR WINAPI DialogBoxIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW hDialogTemplate,
                                       HWND hWndParent, DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    const char* function = "DialogBoxIndirectParam";
    if (!valid_owner(hWndParent, function)) {
        return -1;
    }
    std::optional<DialogTemplate> parsed =
        template_at(hDialogTemplate, indirect_template_limit, function);
    if (!parsed) {
        return -1;
    }
    return run_dialog(*parsed, hInstance, hWndParent, lpDialogFunc, dwInitParam, function);
}

INT_PTR WINAPI DialogBoxParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    const char* function = "DialogBoxParam";
    if (!valid_owner(hWndParent, function)) {
        return -1;
    }
    const HRSRC resource = FindResourceW(hInstance, lpTemplateName, RT_DIALOG);
    const HGLOBAL loaded = resource ? LoadResource(hInstance, resource) : HGLOBAL();
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        fail(ERROR_RESOURCE_NAME_NOT_FOUND, function, "no such dialog resource");
        return -1;
    }
    std::optional<DialogTemplate> parsed = template_at(
        static_cast<LPCDLGTEMPLATEW>(data), SizeofResource(hInstance, resource), function);
    if (!parsed) {
        return -1;
    }
    return run_dialog(*parsed, hInstance, hWndParent, lpDialogFunc, dwInitParam, function);
}

HWND WINAPI CreateDialogIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW lpTemplate,
                                       HWND hWndParent, DLGPROC lpDialogFunc, LPARAM lParamInit) {
    const char* function = "CreateDialogIndirectParam";
    if (!valid_owner(hWndParent, function)) {
        return HWND();
    }
    std::optional<DialogTemplate> parsed =
        template_at(lpTemplate, indirect_template_limit, function);
    if (!parsed) {
        return HWND();
    }
    auto state = std::make_shared<DialogState>();
    const HWND dialog =
        build_dialog(*parsed, hInstance, hWndParent, lpDialogFunc, lParamInit, state, function);
    if (dialog && (parsed->style & WS_VISIBLE) != 0) {
        show_window(dialog, SW_SHOW);
    }
    return dialog;
}

// running → ending: store the result, give the owner its input back, and hide the dialog, which
// passes activation back to the owner. The loop sees the end once the message being handled
// returns; a call from another thread wakes it with WM_NULL.
BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
    HWND owner;
    bool other_thread;
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        Window* dialog = dialog_window(lock, hDlg);
        if (dialog == nullptr) {
            lock.unlock();
            fail(ERROR_WINDOW_NOT_DIALOG, "EndDialog", "the window is not a dialog");
            return FALSE;
        }
        dialog->dialog->ended = true;
        dialog->dialog->result = nResult;
        owner = dialog->dialog->disabled_owner;
        dialog->dialog->disabled_owner = HWND();
        other_thread = dialog->queue != current_queue();
    }
    if (owner) {
        EnableWindow(owner, TRUE);
    }
    show_window(hDlg, SW_HIDE);
    if (other_thread) {
        PostMessageW(hDlg, WM_NULL, 0, 0);
    }
    return TRUE;
}

BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect) {
    SIZE base;
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        Window* dialog = dialog_window(lock, hDlg);
        if (dialog == nullptr || lpRect == nullptr) {
            lock.unlock();
            fail(ERROR_WINDOW_NOT_DIALOG, "MapDialogRect", "the window is not a dialog");
            return FALSE;
        }
        base = dialog->dialog->base_units;
    }
    *lpRect = map_dialog_units(*lpRect, base);
    return TRUE;
}

LONG WINAPI GetDialogBaseUnits() {
    const SIZE base = dialog_base_units(HFONT(GetStockObject(SYSTEM_FONT)));
    return MAKELONG(static_cast<WORD>(base.cx), static_cast<WORD>(base.cy));
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const Window* dialog = system.find_local(lock, hDlg, "GetDlgItem");
    if (dialog == nullptr) {
        return HWND();
    }
    // Classic templates store 16-bit ids, so -1 (IDC_STATIC) reads 0xFFFF there.
    const auto wanted = static_cast<UINT_PTR>(static_cast<UINT>(nIDDlgItem));
    for (HWND handle : dialog->children) {
        const UINT_PTR id = system.find(lock, handle)->id;
        if (id == wanted || (id <= 0xFFFF && id == (wanted & 0xFFFF))) {
            return handle;
        }
    }
    return HWND();
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const Window* window = system.find_local(lock, hWnd, "GetDlgCtrlID");
    // Only a child has an identifier; a top-level window's GWL_ID slot holds its menu.
    return window != nullptr && window->is_child() ? static_cast<int>(window->id) : 0;
}

LRESULT WINAPI SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam,
                                   LPARAM lParam) {
    const HWND control = GetDlgItem(hDlg, nIDDlgItem);
    return control ? send_message(control, Msg, wParam, lParam) : 0;
}

BOOL WINAPI SetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPCWSTR lpString) {
    const HWND control = GetDlgItem(hDlg, nIDDlgItem);
    return control ? SetWindowTextW(control, lpString) : FALSE;
}

UINT WINAPI GetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPWSTR lpString, int cchMax) {
    if (lpString != nullptr && cchMax > 0) {
        lpString[0] = u'\0';
    }
    const HWND control = GetDlgItem(hDlg, nIDDlgItem);
    return control ? static_cast<UINT>(GetWindowTextW(control, lpString, cchMax)) : 0;
}
