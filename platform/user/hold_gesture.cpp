#include "user/hold_gesture.h"

#include "user/message_queue.h"
#include "user/thread_queue.h"

#include <winbase.h>
#include <wingdi.h>
#include <winuser.h>

#include <cstdlib>

namespace handset {

namespace {

// How far the stylus may wander, in pixels at 96 dpi, and still be holding.
constexpr int hold_slop = 5;
constexpr DWORD poll_interval_ms = 10;

// The stylus input waiting for the window (from the hardware, or posted as by a test), looked at
// without handling anything: a sent message served here would run the program's code in the
// middle of the control's stylus-down.
class PendingStylus {
  public:
    PendingStylus(HWND window, POINT start, int slop)
        : m_queue(*current_queue()), m_window(window), m_start(start), m_slop(slop) {}

    bool came_up() {
        const MessageFilter ups{m_window, WM_LBUTTONUP, WM_LBUTTONUP};
        MSG message;
        return m_queue.take_posted(ups, false, message) || m_queue.take_input(ups, false, message);
    }

    // Moves within the slop are taken out on the way: they change nothing for the window.
    bool moved_away() {
        const MessageFilter moves{m_window, WM_MOUSEMOVE, WM_MOUSEMOVE};
        MSG message;
        while (m_queue.take_input(moves, false, message)) {
            const int dx = std::abs(GET_X_LPARAM(message.lParam) - m_start.x);
            const int dy = std::abs(GET_Y_LPARAM(message.lParam) - m_start.y);
            if (dx > m_slop || dy > m_slop) {
                return true;
            }
            m_queue.take_input(moves, true, message);
        }
        return false;
    }

  private:
    MessageQueue& m_queue;
    HWND m_window;
    POINT m_start;
    int m_slop;
};

int slop_of(HWND window) {
    const HDC dc = GetDC(window);
    const int slop = hold_slop * GetDeviceCaps(dc, LOGPIXELSX) / 96;
    ReleaseDC(window, dc);
    return slop;
}

} // namespace

bool recognise_hold(HWND window, POINT client_point) {
    PendingStylus stylus(window, client_point, slop_of(window));
    const auto deadline = std::chrono::steady_clock::now() + hold_time;
    for (;;) {
        if (stylus.came_up() || stylus.moved_away()) {
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return true;
        }
        Sleep(poll_interval_ms);
    }
}

} // namespace handset
