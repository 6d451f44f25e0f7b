#include "display/sdl_display.h"

#include "base/debug_output.h"
#include "base/utf.h"
#include "gdi/screen.h"

#include <SDL.h>
#include <winuser.h>

#include <algorithm>
#include <cmath>

namespace handset {

namespace {

constexpr const char* window_title = "Handset";
// How often the wait cursor's spinner turns, and how long the loop sleeps with nothing to do.
constexpr int spinner_interval_ms = 100;
constexpr int idle_wait_ms = 500;
// The window takes at most this share of the desktop.
constexpr double desktop_share = 0.9;
constexpr uint32_t argb_format = SDL_PIXELFORMAT_ARGB8888;

// The largest whole scale at which the screen fits the desktop's usable area, at least 1.
int desktop_scale(int width, int height) {
    SDL_Rect usable{0, 0, width, height};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) {
        return 1;
    }
    const double fit =
        std::min(usable.w * desktop_share / width, usable.h * desktop_share / height);
    return std::max(1, static_cast<int>(fit));
}

bool is_shell_key(UINT key) {
    return key == VK_TSOFT1 || key == VK_TSOFT2 || key == VK_TTALK || key == VK_ESCAPE;
}

} // namespace

SdlDisplay::~SdlDisplay() {
    close();
}

bool SdlDisplay::open(InputSink& sink) {
    if (m_thread.joinable()) {
        debug_line("SDL display: already open");
        return false;
    }
    m_sink = &sink;
    m_running = true;
    std::promise<bool> started;
    std::future<bool> result = started.get_future();
    m_thread = std::thread([this, &started] { run(started); });
    if (!result.get()) {
        m_thread.join();
        m_running = false;
        m_sink = nullptr;
        return false;
    }
    Screen::instance().set_observer(this);
    return true;
}

void SdlDisplay::close() {
    if (!m_thread.joinable()) {
        return;
    }
    Screen::instance().set_observer(nullptr);
    m_running = false;
    screen_changed();
    m_thread.join();
    m_sink = nullptr;
}

void SdlDisplay::screen_changed() {
    std::lock_guard lock(m_wake_mutex);
    if (m_accepting_wakes) {
        SDL_Event wake{};
        wake.type = m_wake_event;
        SDL_PushEvent(&wake);
    }
}

POINT SdlDisplay::window_point(POINT screen) const {
    std::lock_guard lock(m_placement_mutex);
    return POINT{m_placement.left + static_cast<LONG>((screen.x + 0.5) * m_placement.scale),
                 m_placement.top + static_cast<LONG>((screen.y + 0.5) * m_placement.scale)};
}

std::optional<Surface> SdlDisplay::shown_screen() {
    std::future<std::optional<Surface>> answer;
    {
        std::lock_guard lock(m_request_mutex);
        if (!m_running) {
            return std::nullopt;
        }
        m_pixel_requests.emplace_back();
        answer = m_pixel_requests.back().get_future();
    }
    screen_changed();
    return answer.get();
}

void SdlDisplay::run(std::promise<bool>& started) {
    if (!start_sdl()) {
        started.set_value(false);
        return;
    }
    // Shown before open() returns, so that the screen's place in the window is known by then.
    present();
    started.set_value(true);
    uint32_t last_turn = SDL_GetTicks();
    while (m_running) {
        bool dirty = false;
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, wait_timeout()) != 0) {
            do {
                dirty |= handle(event);
            } while (SDL_PollEvent(&event) != 0);
        }
        deliver_all(m_stylus.due(SDL_GetTicks()));
        if (Screen::instance().wait_cursor_shown() &&
            SDL_GetTicks() - last_turn >= static_cast<uint32_t>(spinner_interval_ms)) {
            last_turn = SDL_GetTicks();
            m_spinner_phase = (m_spinner_phase + 1) % 8;
            dirty = true;
        }
        if (dirty) {
            present();
        }
    }
    stop_sdl();
}

bool SdlDisplay::start_sdl() {
    // The window's own pixels, drawn by the software renderer below, rather than a texture of an
    // OpenGL renderer behind them, which would load the desktop's whole graphics stack.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        debug_printf("SDL display: no desktop window can be opened here: %s", SDL_GetError());
        // What a failed start leaves behind is SDL's to release.
        SDL_Quit();
        return false;
    }
    const ScreenProfile screen = Screen::instance().profile();
    const int scale = desktop_scale(screen.width, screen.height);
    m_window = SDL_CreateWindow(window_title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                screen.width * scale, screen.height * scale, SDL_WINDOW_RESIZABLE);
    // The software renderer: the screen is small, and it follows the window's size at once when
    // a rotation resizes the window, which an accelerated one on a virtual X server did not.
    if (m_window != nullptr) {
        m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
    }
    if (m_renderer == nullptr) {
        debug_printf("SDL display: the desktop window could not be made: %s", SDL_GetError());
        stop_sdl();
        return false;
    }
    m_wake_event = SDL_RegisterEvents(1);
    {
        std::lock_guard lock(m_wake_mutex);
        m_accepting_wakes = true;
    }
    SDL_StartTextInput();
    return true;
}

void SdlDisplay::stop_sdl() {
    {
        std::lock_guard lock(m_wake_mutex);
        m_accepting_wakes = false;
    }
    {
        std::lock_guard lock(m_request_mutex);
        for (auto& request : m_pixel_requests) {
            request.set_value(std::nullopt);
        }
        m_pixel_requests.clear();
    }
    SDL_StopTextInput();
    if (m_texture != nullptr) {
        SDL_DestroyTexture(m_texture);
        m_texture = nullptr;
    }
    if (m_renderer != nullptr) {
        SDL_DestroyRenderer(m_renderer);
        m_renderer = nullptr;
    }
    if (m_window != nullptr) {
        SDL_DestroyWindow(m_window);
        m_window = nullptr;
    }
    SDL_Quit();
}

int SdlDisplay::wait_timeout() const {
    int timeout = Screen::instance().wait_cursor_shown() ? spinner_interval_ms : idle_wait_ms;
    if (const std::optional<uint32_t> lift = m_stylus.wait_before_due(SDL_GetTicks())) {
        timeout = std::min(timeout, static_cast<int>(*lift));
    }
    return timeout;
}

bool SdlDisplay::handle(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        deliver(InputEvent{InputEvent::Kind::close_request});
        return false;
    case SDL_WINDOWEVENT:
        return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        handle_key(event);
        return false;
    case SDL_TEXTINPUT:
        handle_text(event.text.text);
        return false;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        if (event.button.button != SDL_BUTTON_LEFT && event.button.button != SDL_BUTTON_RIGHT) {
            return false;
        }
        const auto button = event.button.button == SDL_BUTTON_LEFT ? MouseStylus::Button::left
                                                                   : MouseStylus::Button::right;
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        // A press outside the screen touches nothing; a release anywhere lifts the stylus.
        if (const std::optional<POINT> point =
                screen_point(event.button.x, event.button.y, !down)) {
            deliver_all(down ? m_stylus.press(button, *point, SDL_GetTicks())
                             : m_stylus.release(button, *point, SDL_GetTicks()));
        }
        return false;
    }
    case SDL_MOUSEMOTION:
        if (const std::optional<POINT> point = screen_point(event.motion.x, event.motion.y, true)) {
            deliver_all(m_stylus.move(*point));
        }
        return false;
    default:
        // The screen's wake-up, and requests for the window's pixels.
        return event.type == m_wake_event;
    }
}

void SdlDisplay::handle_key(const SDL_Event& event) {
    const bool down = event.type == SDL_KEYDOWN;
    if (event.key.keysym.sym == SDLK_F5) {
        if (down && event.key.repeat == 0) {
            deliver(InputEvent{InputEvent::Kind::rotate_request});
        }
        return;
    }
    const std::optional<UINT> key = handset_key_for(event.key.keysym.sym);
    // A held soft key, Talk or Esc presses once; editing keys repeat as the device's do.
    if (!key || (event.key.repeat != 0 && is_shell_key(*key))) {
        return;
    }
    InputEvent input{down ? InputEvent::Kind::key_down : InputEvent::Kind::key_up};
    input.key = *key;
    deliver(input);
}

void SdlDisplay::handle_text(const char* utf8) {
    for (const char16_t unit : utf8_to_utf16(utf8)) {
        InputEvent input{InputEvent::Kind::character};
        input.character = unit;
        deliver(input);
    }
}

void SdlDisplay::deliver(const InputEvent& event) {
    m_sink->deliver(event);
}

void SdlDisplay::deliver_all(const std::vector<InputEvent>& events) {
    for (const InputEvent& event : events) {
        deliver(event);
    }
}

std::optional<POINT> SdlDisplay::screen_point(int window_x, int window_y, bool clamp) const {
    Placement placement;
    {
        std::lock_guard lock(m_placement_mutex);
        placement = m_placement;
    }
    LONG x = static_cast<LONG>(std::floor((window_x - placement.left) / placement.scale));
    LONG y = static_cast<LONG>(std::floor((window_y - placement.top) / placement.scale));
    const bool inside = x >= 0 && y >= 0 && x < m_texture_width && y < m_texture_height;
    if (!inside && !clamp) {
        return std::nullopt;
    }
    x = std::clamp<LONG>(x, 0, m_texture_width - 1);
    y = std::clamp<LONG>(y, 0, m_texture_height - 1);
    return POINT{x, y};
}

void SdlDisplay::fit_window_to_screen(int width, int height) {
    const int scale = desktop_scale(width, height);
    SDL_SetWindowSize(m_window, width * scale, height * scale);
}

void SdlDisplay::present() {
    Screen& screen = Screen::instance();
    // Taken before composing: a change made after this point wakes the loop again.
    screen.take_changes();
    const Surface picture = screen.compose(m_spinner_phase);
    if (picture.width() != m_texture_width || picture.height() != m_texture_height) {
        if (m_texture != nullptr) {
            SDL_DestroyTexture(m_texture);
            // A turned screen: the window turns with it.
            fit_window_to_screen(picture.width(), picture.height());
        }
        m_texture = SDL_CreateTexture(m_renderer, argb_format, SDL_TEXTUREACCESS_STREAMING,
                                      picture.width(), picture.height());
        m_texture_width = picture.width();
        m_texture_height = picture.height();
    }
    SDL_UpdateTexture(m_texture, nullptr, picture.row(0), picture.width() * 4);

    // The drawing's real size: after a resize the window may say its new size before the
    // desktop has given it. Without SDL_WINDOW_ALLOW_HIGHDPI a pixel is a window point.
    int window_width = 0;
    int window_height = 0;
    SDL_GetRendererOutputSize(m_renderer, &window_width, &window_height);
    Placement placement;
    placement.scale = std::min(static_cast<double>(window_width) / picture.width(),
                               static_cast<double>(window_height) / picture.height());
    placement.left = static_cast<int>((window_width - picture.width() * placement.scale) / 2);
    placement.top = static_cast<int>((window_height - picture.height() * placement.scale) / 2);
    {
        std::lock_guard lock(m_placement_mutex);
        m_placement = placement;
    }
    const SDL_Rect area{placement.left, placement.top,
                        static_cast<int>(picture.width() * placement.scale),
                        static_cast<int>(picture.height() * placement.scale)};
    SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
    SDL_RenderClear(m_renderer);
    SDL_RenderCopy(m_renderer, m_texture, nullptr, &area);
    answer_pixel_requests();
    SDL_RenderPresent(m_renderer);
}

// Read back before SDL_RenderPresent, after which the drawing's contents are undefined.
void SdlDisplay::answer_pixel_requests() {
    std::vector<std::promise<std::optional<Surface>>> requests;
    {
        std::lock_guard lock(m_request_mutex);
        requests.swap(m_pixel_requests);
    }
    if (requests.empty()) {
        return;
    }
    int output_width = 0;
    int output_height = 0;
    SDL_GetRendererOutputSize(m_renderer, &output_width, &output_height);
    Surface output(output_width, output_height);
    const bool read = SDL_RenderReadPixels(m_renderer, nullptr, argb_format, output.row(0),
                                           output_width * 4) == 0;
    Surface shown(m_texture_width, m_texture_height);
    for (int y = 0; read && y < m_texture_height; ++y) {
        for (int x = 0; x < m_texture_width; ++x) {
            const POINT at = window_point(POINT{x, y});
            if (at.x >= 0 && at.y >= 0 && at.x < output_width && at.y < output_height) {
                shown.set_pixel(x, y, output.pixel(at.x, at.y));
            }
        }
    }
    for (auto& request : requests) {
        request.set_value(read ? std::optional<Surface>(shown) : std::nullopt);
    }
}

} // namespace handset
