#include "automation/window_input.h"

#include "user/input.h"

namespace handset {

void WindowSystemInput::deliver(const InputEvent& event) {
    switch (event.kind) {
    case InputEvent::Kind::stylus_down:
        inject_stylus_down(event.point);
        return;
    case InputEvent::Kind::stylus_move:
        inject_stylus_move(event.point);
        return;
    case InputEvent::Kind::stylus_up:
        inject_stylus_up(event.point);
        return;
    case InputEvent::Kind::key_down:
    case InputEvent::Kind::key_up:
        inject_key(event.key, event.kind == InputEvent::Kind::key_down);
        return;
    case InputEvent::Kind::character:
        inject_character(event.character);
        return;
    case InputEvent::Kind::close_request:
    case InputEvent::Kind::rotate_request:
        // The shell acts on these before the window system; nothing of them reaches windows.
        return;
    }
}

} // namespace handset
