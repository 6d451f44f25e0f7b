// The seam to the top-level windows of other processes on the same device. A directory of them
// (the per-device sockets, built in a later module) plugs in here; without one, no foreign window
// exists. FindWindow asks the directory when no window of this process matches, and a window it
// finds stands in this process's table as a proxy: IsWindow holds, GetWindowLong(GWL_USERDATA),
// SetForegroundWindow, SendMessage and PostMessage go to the directory, and everything else
// fails with ERROR_ACCESS_DENIED as for a window this process may not touch.
#pragma once

#include <winuser.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace handset {

class ForeignWindowDirectory {
  public:
    virtual ~ForeignWindowDirectory() = default;

    // The directory's token for a top-level window of another process whose class and title
    // match (compared without regard to case); an absent name matches any.
    virtual std::optional<uint64_t> find_window(std::optional<std::u16string_view> window_class,
                                                std::optional<std::u16string_view> title) = 0;
    // nullopt for each of these: the window (or its process) is gone or unreachable, which the
    // window system takes as the window no longer existing.
    virtual std::optional<LONG_PTR> user_data(uint64_t token) = 0;
    virtual std::optional<bool> set_foreground(uint64_t token, bool last_active_popup) = 0;
    virtual std::optional<bool> post_message(uint64_t token, UINT message, WPARAM wparam,
                                             LPARAM lparam) = 0;
    virtual std::optional<LRESULT> send_message(uint64_t token, UINT message, WPARAM wparam,
                                                LPARAM lparam) = 0;
    // The device's start lock (see user/start_lock.h). A directory whose processes cannot start
    // at the same moment has nothing to hold.
    virtual void hold_start_lock() {}
    virtual void release_start_lock() {}
};

// One directory at a time; nullptr removes it. It must outlive every call that may reach it.
void set_foreign_window_directory(ForeignWindowDirectory* directory);

// A proxy handle for the first foreign window that matches, or 0. On a thread that has created no
// top-level window yet, the look is made under the device's start lock, which stays held when
// nothing is found (see user/start_lock.h).
HWND find_foreign_window(LPCWSTR window_class, LPCWSTR title);
// A top-level window of this thread has been created (or its creation failed): the other
// processes' finds can see it now, so a start lock this process holds is given back.
void top_level_window_created();

// The proxy operations. A window found gone has its proxy dropped, so its handle stops being
// valid, and the call answers as for an invalid window.
LRESULT send_to_foreign_window(HWND proxy, uint64_t token, UINT message, WPARAM wparam,
                               LPARAM lparam);
BOOL post_to_foreign_window(HWND proxy, uint64_t token, UINT message, WPARAM wparam, LPARAM lparam);
std::optional<LONG_PTR> foreign_user_data(HWND proxy, uint64_t token);
BOOL set_foreign_foreground(HWND proxy, uint64_t token, bool last_active_popup);

} // namespace handset
