#include "aygshell/shell_dialogs.h"

#include "aygshell/input_panel.h"
#include "aygshell/screen_bands.h"
#include "aygshell/shell_windows.h"
#include "user/window_system.h"

#include <aygshell.h>

#include <algorithm>

namespace handset {

namespace {

// The frame of a full-screen dialog has no caption bar: the task bar shows its caption instead.
void move_caption_to_task_bar(HWND dialog) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    if (Window* window = system.find(lock, dialog)) {
        window->caption_in_task_bar = true;
    }
}

} // namespace

ShellDialogs& ShellDialogs::instance() {
    static auto* dialogs = new ShellDialogs();
    return *dialogs;
}

void ShellDialogs::make_full_screen(HWND dialog, DWORD flags) {
    if (!update(dialog, flags)) {
        // Subclassed under the lock, so that the dialog's first message through the shell's
        // procedure finds the procedure it is to be passed on to.
        std::lock_guard lock(m_mutex);
        const auto previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            dialog, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&ShellDialogs::watch_procedure)));
        m_entries.push_back(Entry{dialog, flags, previous});
    }
    move_caption_to_task_bar(dialog);
    fit(FullScreenDialog{dialog, flags});
    repaint_task_bar();
}

bool ShellDialogs::update(HWND dialog, DWORD flags) {
    std::lock_guard lock(m_mutex);
    for (Entry& entry : m_entries) {
        if (entry.dialog == dialog) {
            entry.flags = flags;
            return true;
        }
    }
    return false;
}

std::optional<FullScreenDialog> ShellDialogs::current() const {
    for (const FullScreenDialog& dialog : full_screen()) {
        if (IsWindowVisible(dialog.dialog)) {
            return dialog;
        }
    }
    return std::nullopt;
}

std::optional<DWORD> ShellDialogs::flags_of(HWND dialog) const {
    std::lock_guard lock(m_mutex);
    for (const Entry& entry : m_entries) {
        if (entry.dialog == dialog) {
            return entry.flags;
        }
    }
    return std::nullopt;
}

std::vector<FullScreenDialog> ShellDialogs::full_screen() const {
    std::lock_guard lock(m_mutex);
    std::vector<FullScreenDialog> dialogs;
    for (auto entry = m_entries.rbegin(); entry != m_entries.rend(); ++entry) {
        dialogs.push_back(FullScreenDialog{entry->dialog, entry->flags});
    }
    return dialogs;
}

void ShellDialogs::fit(const FullScreenDialog& dialog) {
    const ScreenBands bands = ScreenBands::current();
    UINT placement = SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
    RECT area{};
    if ((dialog.flags & SHIDIF_FULLSCREENNOMENUBAR) != 0) {
        area =
            RECT{bands.desktop.left, bands.desktop.top, bands.desktop.right, bands.menu_bar.bottom};
    } else if ((dialog.flags & SHIDIF_SIZEDLGFULLSCREEN) != 0) {
        area = bands.desktop;
    } else if ((dialog.flags & SHIDIF_SIZEDLG) != 0) {
        area = bands.visible_desktop(InputPanel::instance().is_up());
    } else {
        placement |= SWP_NOMOVE | SWP_NOSIZE;
    }
    SetWindowPos(dialog.dialog, HWND(), area.left, area.top, area.right - area.left,
                 area.bottom - area.top, placement);
}

void ShellDialogs::move_to_front(HWND dialog) {
    std::lock_guard lock(m_mutex);
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&](const Entry& entry) { return entry.dialog == dialog; });
    if (found != m_entries.end()) {
        std::rotate(found, found + 1, m_entries.end());
    }
}

WNDPROC ShellDialogs::forget(HWND dialog) {
    std::lock_guard lock(m_mutex);
    WNDPROC previous = nullptr;
    std::erase_if(m_entries, [&](const Entry& entry) {
        if (entry.dialog != dialog) {
            return false;
        }
        previous = entry.previous;
        return true;
    });
    return previous;
}

WNDPROC ShellDialogs::previous_of(HWND dialog) const {
    std::lock_guard lock(m_mutex);
    for (const Entry& entry : m_entries) {
        if (entry.dialog == dialog) {
            return entry.previous;
        }
    }
    return nullptr;
}

LRESULT CALLBACK ShellDialogs::watch_procedure(HWND dialog, UINT message, WPARAM wparam,
                                               LPARAM lparam) {
    ShellDialogs& dialogs = instance();
    const WNDPROC previous =
        message == WM_NCDESTROY ? dialogs.forget(dialog) : dialogs.previous_of(dialog);
    const LRESULT result = previous != nullptr
                               ? CallWindowProcW(previous, dialog, message, wparam, lparam)
                               : DefDlgProcW(dialog, message, wparam, lparam);
    dialogs.observe(dialog, message, wparam);
    return result;
}

void ShellDialogs::observe(HWND dialog, UINT message, WPARAM wparam) {
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wparam) != WA_INACTIVE) {
            move_to_front(dialog);
            repaint_task_bar();
        }
        return;
    case WM_NCDESTROY:
        InputPanel::instance().window_gone(dialog);
        repaint_task_bar();
        return;
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_SHOWWINDOW:
        repaint_task_bar();
        return;
    default:
        return;
    }
}

void ShellDialogs::repaint_task_bar() {
    InvalidateRect(ShellWindows::instance().task_bar(), nullptr, FALSE);
}

} // namespace handset
