// The full-screen dialogs of SHInitDialog. The shell watches each by subclassing it: activation
// decides which dialog the task bar speaks for, a new caption or state repaints the task bar, and
// the dialog's end takes it off the list.
//
// The list is guarded by its own lock, which is never held while a window procedure runs.
#pragma once

#include <winuser.h>

#include <mutex>
#include <optional>
#include <vector>

namespace handset {

struct FullScreenDialog {
    HWND dialog;
    DWORD flags; // SHIDIF_*
};

class ShellDialogs {
  public:
    static ShellDialogs& instance();

    // Enters (or updates) the dialog as a full-screen one and sizes it.
    void make_full_screen(HWND dialog, DWORD flags);

    // The full-screen dialog activated last that is still shown.
    std::optional<FullScreenDialog> current() const;
    std::optional<DWORD> flags_of(HWND dialog) const;
    // Every full-screen dialog, the one activated last first.
    std::vector<FullScreenDialog> full_screen() const;

    // Sizes the dialog as its flags ask, for the screen and the input panel as they are now.
    static void fit(const FullScreenDialog& dialog);

  private:
    struct Entry {
        HWND dialog;
        DWORD flags;
        WNDPROC previous;
    };

    ShellDialogs() = default;

    // False when the dialog was not on the list.
    bool update(HWND dialog, DWORD flags);
    void move_to_front(HWND dialog);
    // Takes the dialog off the list; the procedure it had before the shell watched it.
    WNDPROC forget(HWND dialog);
    WNDPROC previous_of(HWND dialog) const;

    static LRESULT CALLBACK watch_procedure(HWND dialog, UINT message, WPARAM wparam,
                                            LPARAM lparam);
    void observe(HWND dialog, UINT message, WPARAM wparam);
    static void repaint_task_bar();

    mutable std::mutex m_mutex;
    // In the order of activation, the one activated last at the back.
    std::vector<Entry> m_entries;
};

} // namespace handset
