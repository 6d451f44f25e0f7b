// The system cursors, and the icons of modules. The handset shows no arrow; the wait cursor is the
// spinner that the screen draws in its centre while it is set. Nothing on the handset draws
// icons, so an icon's handle stands for an icon group that exists in its module.
#include "base/handle_table.h"
#include "gdi/screen.h"
#include "user/errors.h"
#include "user/input_state.h"

#include <libloaderapi.h>
#include <winuser.h>

#include <mutex>

namespace {

constexpr uint32_t arrow_cursor = 32512;
constexpr uint32_t wait_cursor = 32514;

// One lock over the cursor and the screen's spinner, so that threads setting the cursor at once
// leave the spinner agreeing with the cursor that won.
std::mutex g_cursor_mutex;
uint32_t g_cursor = 0;

// Icon handles live above the cursor ordinals, so the two never meet.
constexpr uint32_t icon_handle_base = 0x00100000;
handset::HandleTable<HRSRC>& icon_table() {
    static handset::HandleTable<HRSRC> table;
    return table;
}

} // namespace

using namespace handset;

HCURSOR WINAPI LoadCursorW(HINSTANCE hInstance, LPCWSTR lpCursorName) {
    const auto ordinal = reinterpret_cast<ULONG_PTR>(lpCursorName);
    if (!hInstance && IS_INTRESOURCE(lpCursorName) &&
        (ordinal == arrow_cursor || ordinal == wait_cursor)) {
        return HCURSOR(static_cast<uint32_t>(ordinal));
    }
    fail(ERROR_RESOURCE_NAME_NOT_FOUND, "LoadCursor",
         "only the system's arrow and wait cursors exist");
    return HCURSOR();
}

HICON WINAPI LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName) {
    HRSRC group = FindResourceW(hInstance, lpIconName, RT_GROUP_ICON);
    if (!group) {
        fail(ERROR_RESOURCE_NAME_NOT_FOUND, "LoadIcon", "the module has no such icon group");
        return HICON();
    }
    return HICON(icon_handle_base + icon_table().add(group));
}

HCURSOR WINAPI SetCursor(HCURSOR hCursor) {
    std::lock_guard lock(g_cursor_mutex);
    const uint32_t previous = g_cursor;
    g_cursor = hCursor.value();
    Screen::instance().set_wait_cursor(g_cursor == wait_cursor);
    return HCURSOR(previous);
}

HCURSOR WINAPI GetCursor() {
    std::lock_guard lock(g_cursor_mutex);
    return HCURSOR(g_cursor);
}

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
    if (lpPoint == nullptr) {
        return FALSE;
    }
    *lpPoint = stylus_position();
    return TRUE;
}
