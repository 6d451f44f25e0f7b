// How the desktop window's mouse and keyboard become the handset's stylus and keys.
#pragma once

#include "display/display.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace handset {

// The handset key a desktop key stands for: F1 and F2 the soft keys, F3 Talk, Esc the title bar's
// cancel, and the keys that edit or move (backspace, delete, Enter, Tab, arrows, Home, End, Page
// Up and Down). Keys that type text come as characters instead, so that nothing types twice.
// Nothing for any other key, F5 included (it rotates the screen).
std::optional<UINT> handset_key_for(int32_t sdl_keycode);

// The stylus as the mouse drives it. The left button is the stylus itself, so holding it long is
// tap-and-hold by the handset's own clock. The right button is a ready-made tap-and-hold: the
// stylus goes down at once and stays down for the hold time, however soon the button is let go.
// While one button has the stylus, the other does nothing.
class MouseStylus {
  public:
    // Longer than the handset's 500 ms, so that the hold is surely recognised.
    static constexpr uint32_t right_click_hold_ms = 600;

    enum class Button { left, right };

    // Each answers the stylus events to deliver now; `now` is in milliseconds.
    std::vector<InputEvent> press(Button button, POINT point, uint32_t now);
    std::vector<InputEvent> release(Button button, POINT point, uint32_t now);
    std::vector<InputEvent> move(POINT point);
    // The lift that a right click put off, once its time has come.
    std::vector<InputEvent> due(uint32_t now);
    // Milliseconds until due() has something, or nothing when it never will.
    std::optional<uint32_t> wait_before_due(uint32_t now) const;

  private:
    enum class State { up, left_down, right_down, right_released };

    static InputEvent stylus(InputEvent::Kind kind, POINT point);

    State m_state = State::up;
    POINT m_point{};
    uint32_t m_lift_at = 0;
};

} // namespace handset
