#include "display/sdl_input.h"

#include <SDL.h>
#include <winuser.h>

namespace handset {

std::optional<UINT> handset_key_for(int32_t sdl_keycode) {
    switch (sdl_keycode) {
    case SDLK_F1:
        return VK_TSOFT1;
    case SDLK_F2:
        return VK_TSOFT2;
    case SDLK_F3:
        return VK_TTALK;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_DELETE:
        return VK_DELETE;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_END:
        return VK_END;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    default:
        return std::nullopt;
    }
}

InputEvent MouseStylus::stylus(InputEvent::Kind kind, POINT point) {
    InputEvent event{kind};
    event.point = point;
    return event;
}

std::vector<InputEvent> MouseStylus::press(Button button, POINT point, uint32_t now) {
    if (m_state != State::up) {
        return {};
    }
    m_point = point;
    if (button == Button::left) {
        m_state = State::left_down;
    } else {
        m_state = State::right_down;
        m_lift_at = now + right_click_hold_ms;
    }
    return {stylus(InputEvent::Kind::stylus_down, point)};
}

std::vector<InputEvent> MouseStylus::release(Button button, POINT point, uint32_t now) {
    if (button == Button::left && m_state == State::left_down) {
        m_state = State::up;
        return {stylus(InputEvent::Kind::stylus_up, point)};
    }
    if (button == Button::right && m_state == State::right_down) {
        m_state = State::right_released;
        return due(now);
    }
    return {};
}

std::vector<InputEvent> MouseStylus::move(POINT point) {
    if (m_state != State::left_down) {
        return {};
    }
    m_point = point;
    return {stylus(InputEvent::Kind::stylus_move, point)};
}

std::vector<InputEvent> MouseStylus::due(uint32_t now) {
    if (m_state != State::right_released || static_cast<int32_t>(now - m_lift_at) < 0) {
        return {};
    }
    m_state = State::up;
    return {stylus(InputEvent::Kind::stylus_up, m_point)};
}

std::optional<uint32_t> MouseStylus::wait_before_due(uint32_t now) const {
    if (m_state != State::right_released) {
        return std::nullopt;
    }
    const int32_t left = static_cast<int32_t>(m_lift_at - now);
    return left > 0 ? static_cast<uint32_t>(left) : 0;
}

} // namespace handset
