// GetWindowLong and SetWindowLong, and their pointer-sized forms. Procedure addresses do not fit
// the device's 32-bit LONG here, so GWL_WNDPROC and DWL_DLGPROC answer only the Ptr forms; the
// 32-bit forms fail with ERROR_INVALID_INDEX rather than hand out half an address.
#include "user/dialog_state.h"
#include "user/errors.h"
#include "user/foreign_windows.h"
#include "user/message_sender.h"
#include "user/window_system.h"

#include <cstring>

namespace handset {

namespace {

enum class Width { long32, pointer };

const char* function_name(bool setting, Width width) {
    if (setting) {
        return width == Width::long32 ? "SetWindowLong" : "SetWindowLongPtr";
    }
    return width == Width::long32 ? "GetWindowLong" : "GetWindowLongPtr";
}

size_t slot_size(Width width) {
    return width == Width::long32 ? sizeof(LONG) : sizeof(LONG_PTR);
}

bool is_procedure_index(const Window& window, int index) {
    return index == GWL_WNDPROC || (window.dialog && index == DWL_DLGPROC);
}

// The slot a non-negative index names in a dialog: DWL_MSGRESULT and DWL_USER.
LONG_PTR* dialog_slot(Window& window, int index) {
    if (!window.dialog) {
        return nullptr;
    }
    if (index == DWL_MSGRESULT) {
        return &window.dialog->message_result;
    }
    if (index == DWL_USER) {
        return &window.dialog->user;
    }
    return nullptr;
}

bool extra_bytes_hold(const Window& window, int index, Width width) {
    return index >= 0 && static_cast<size_t>(index) + slot_size(width) <= window.extra.size();
}

LONG_PTR read_extra(const Window& window, int index, Width width) {
    if (width == Width::long32) {
        LONG value;
        std::memcpy(&value, window.extra.data() + index, sizeof(value));
        return value;
    }
    LONG_PTR value;
    std::memcpy(&value, window.extra.data() + index, sizeof(value));
    return value;
}

void write_extra(Window& window, int index, Width width, LONG_PTR value) {
    if (width == Width::long32) {
        const LONG narrow = static_cast<LONG>(value);
        std::memcpy(window.extra.data() + index, &narrow, sizeof(narrow));
        return;
    }
    std::memcpy(window.extra.data() + index, &value, sizeof(value));
}

std::optional<LONG_PTR> read_slot(Window& window, int index, Width width) {
    switch (index) {
    case GWL_WNDPROC:
        return reinterpret_cast<LONG_PTR>(window.procedure);
    case GWL_HINSTANCE:
        return static_cast<LONG_PTR>(window.instance.value());
    case GWL_HWNDPARENT:
        return static_cast<LONG_PTR>((window.is_child() ? window.parent : window.owner).value());
    case GWL_ID:
        return static_cast<LONG_PTR>(window.id);
    case GWL_STYLE:
        return static_cast<LONG>(window.style);
    case GWL_EXSTYLE:
        return static_cast<LONG>(window.ex_style);
    case GWL_USERDATA:
        return window.user_data;
    default:
        break;
    }
    if (window.dialog && index == DWL_DLGPROC) {
        return reinterpret_cast<LONG_PTR>(window.dialog->procedure);
    }
    if (LONG_PTR* slot = dialog_slot(window, index)) {
        return *slot;
    }
    if (extra_bytes_hold(window, index, width)) {
        return read_extra(window, index, width);
    }
    return std::nullopt;
}

// Stores the value and gives back the previous one; nullopt for an index that names nothing.
std::optional<LONG_PTR> write_slot(Window& window, int index, Width width, LONG_PTR value) {
    const std::optional<LONG_PTR> previous = read_slot(window, index, width);
    if (!previous || index == GWL_HINSTANCE || index == GWL_HWNDPARENT) {
        return std::nullopt;
    }
    switch (index) {
    case GWL_WNDPROC:
        window.procedure = reinterpret_cast<WNDPROC>(value);
        return previous;
    case GWL_ID:
        window.id = static_cast<UINT_PTR>(value);
        return previous;
    case GWL_STYLE:
        window.style = static_cast<DWORD>(value);
        return previous;
    case GWL_EXSTYLE:
        window.ex_style = static_cast<DWORD>(value);
        return previous;
    case GWL_USERDATA:
        window.user_data = value;
        return previous;
    default:
        break;
    }
    if (window.dialog && index == DWL_DLGPROC) {
        window.dialog->procedure = reinterpret_cast<DLGPROC>(value);
    } else if (LONG_PTR* slot = dialog_slot(window, index)) {
        *slot = value;
    } else {
        write_extra(window, index, width, value);
    }
    return previous;
}

// The window whose slot the call names; nullptr after reporting why not.
Window* slot_owner(const WindowLock& lock, HWND handle, int index, Width width,
                   const char* function) {
    Window* window = WindowSystem::instance().find_local(lock, handle, function);
    if (window != nullptr && width == Width::long32 && is_procedure_index(*window, index)) {
        fail(ERROR_INVALID_INDEX, function, "a procedure address needs the Ptr form");
        return nullptr;
    }
    return window;
}

// The one slot another process's window shows: its user data.
std::optional<uint64_t> foreign_user_data_token(HWND handle, int index) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const Window* window = system.find(lock, handle);
    if (window == nullptr || index != GWL_USERDATA) {
        return std::nullopt;
    }
    return window->foreign_token;
}

LONG_PTR get_long(HWND handle, int index, Width width) {
    if (std::optional<uint64_t> token = foreign_user_data_token(handle, index)) {
        return foreign_user_data(handle, *token).value_or(0);
    }
    const char* function = function_name(false, width);
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    Window* window = slot_owner(lock, handle, index, width, function);
    if (window == nullptr) {
        return 0;
    }
    const std::optional<LONG_PTR> value = read_slot(*window, index, width);
    if (!value) {
        fail(ERROR_INVALID_INDEX, function, "no such index");
        return 0;
    }
    return *value;
}

LONG_PTR set_long(HWND handle, int index, Width width, LONG_PTR value) {
    const char* function = function_name(true, width);
    WindowSystem& system = WindowSystem::instance();
    std::optional<LONG_PTR> previous;
    {
        WindowLock lock = system.lock();
        Window* window = slot_owner(lock, handle, index, width, function);
        if (window == nullptr) {
            return 0;
        }
        previous = write_slot(*window, index, width, value);
        if (!previous) {
            fail(ERROR_INVALID_INDEX, function, "no such index, or one that cannot be set");
            return 0;
        }
    }
    if (index == GWL_STYLE || index == GWL_EXSTYLE) {
        STYLESTRUCT change{static_cast<DWORD>(*previous), static_cast<DWORD>(value)};
        send_message(handle, WM_STYLECHANGED, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&change));
    }
    SetLastError(0);
    return *previous;
}

} // namespace

} // namespace handset

using namespace handset;

LONG WINAPI GetWindowLongW(HWND hWnd, int nIndex) {
    return static_cast<LONG>(get_long(hWnd, nIndex, Width::long32));
}

LONG WINAPI SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong) {
    return static_cast<LONG>(set_long(hWnd, nIndex, Width::long32, dwNewLong));
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND hWnd, int nIndex) {
    return get_long(hWnd, nIndex, Width::pointer);
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    return set_long(hWnd, nIndex, Width::pointer, dwNewLong);
}
