// The input panel's state: raised or lowered. Raising shows the keyboard in the band above the
// menu bar, which shrinks the visible desktop; every change repaints the menu bars' panel buttons
// and tells the window in front with WM_SETTINGCHANGE(SPI_SETSIPINFO), so that a dialog can fit
// itself to the new visible desktop.
//
// A panel that a full-screen dialog raised goes down when that dialog ends, so that the window
// under it is not left behind the keyboard; one the person raised stays until they lower it.
#pragma once

#include <sipapi.h>
#include <winuser.h>

#include <mutex>

namespace handset {

class InputPanel {
  public:
    static InputPanel& instance();

    bool is_up() const;
    // Any thread may call it. The window calls happen outside the panel's lock, so a window
    // procedure that answers the notification may ask for the state again.
    void set_up(bool up);
    // Raised for the window (SHSipPreference).
    void raise_for(HWND window);
    void toggle();
    // The window is ending: the panel goes down if it was raised for it.
    void window_gone(HWND window);
    // SipGetInfo's answer, for the screen as it is now.
    void describe(SIPINFO& info) const;

  private:
    InputPanel() = default;
    // false when the state was already `up`.
    bool change(bool up, HWND requester);
    void show_change(bool up) const;

    mutable std::mutex m_mutex;
    bool m_up = false;
    // The window the panel was raised for; 0 when the person raised it, or it is down.
    HWND m_requester;
};

} // namespace handset
