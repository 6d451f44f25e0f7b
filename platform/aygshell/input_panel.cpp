#include "aygshell/input_panel.h"

#include "aygshell/menu_bar_directory.h"
#include "aygshell/screen_bands.h"
#include "aygshell/shell_windows.h"

namespace handset {

InputPanel& InputPanel::instance() {
    static auto* panel = new InputPanel();
    return *panel;
}

bool InputPanel::is_up() const {
    std::lock_guard lock(m_mutex);
    return m_up;
}

bool InputPanel::change(bool up, HWND requester) {
    std::lock_guard lock(m_mutex);
    m_requester = up ? requester : HWND();
    if (m_up == up) {
        return false;
    }
    m_up = up;
    return true;
}

void InputPanel::set_up(bool up) {
    if (change(up, HWND())) {
        show_change(up);
    }
}

void InputPanel::raise_for(HWND window) {
    if (change(true, window)) {
        show_change(true);
    }
}

void InputPanel::toggle() {
    bool up;
    {
        std::lock_guard lock(m_mutex);
        m_up = !m_up;
        m_requester = HWND();
        up = m_up;
    }
    show_change(up);
}

void InputPanel::window_gone(HWND window) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_up || !window || m_requester != window) {
            return;
        }
        m_up = false;
        m_requester = HWND();
    }
    show_change(false);
}

void InputPanel::show_change(bool up) const {
    const HWND window = ShellWindows::instance().input_panel();
    const RECT area = ScreenBands::current().input_panel;
    SetWindowPos(window, HWND_TOPMOST, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOACTIVATE | (up ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    for (HWND menu_bar : MenuBarDirectory::instance().all()) {
        InvalidateRect(menu_bar, nullptr, FALSE);
    }
    if (const HWND front = GetForegroundWindow()) {
        SendMessageW(front, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0);
    }
}

void InputPanel::describe(SIPINFO& info) const {
    const bool up = is_up();
    const ScreenBands bands = ScreenBands::current();
    info.fdwFlags = SIPF_DOCKED | (up ? SIPF_ON : SIPF_OFF);
    info.rcVisibleDesktop = bands.visible_desktop(up);
    info.rcSipRect = bands.input_panel;
    info.dwImDataSize = 0;
}

} // namespace handset
