#include "display/shell_input.h"

#include "aygshell/hardware_keys.h"
#include "aygshell/program_close.h"

namespace handset {

void ShellInput::deliver(const InputEvent& event) {
    switch (event.kind) {
    case InputEvent::Kind::rotate_request:
        request_screen_rotation();
        return;
    case InputEvent::Kind::close_request:
        request_program_close();
        return;
    case InputEvent::Kind::key_down:
    case InputEvent::Kind::key_up:
        if (shell_takes_key(event.key, event.kind == InputEvent::Kind::key_down)) {
            return;
        }
        break;
    case InputEvent::Kind::stylus_down:
    case InputEvent::Kind::stylus_move:
    case InputEvent::Kind::stylus_up:
    case InputEvent::Kind::character:
        break;
    }
    m_window_system.deliver(event);
}

} // namespace handset
