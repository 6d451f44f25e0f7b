// The handset's screen in a desktop window (SDL2), scaled to fit the desktop. The mouse is the
// stylus (the right button a ready-made tap-and-hold), F1 and F2 are the soft keys, F3 is Talk,
// F5 turns the screen, Esc is the title bar's cancel, and the keyboard types into the focused
// field. Closing the window asks the program to close.
//
// SDL runs on a thread of the display's own: the window, its events and its drawing all live
// there. The screen tells the display of a change (with the GDI lock held) by waking that thread,
// which composes the screen and shows it.
#pragma once

#include "display/display.h"
#include "display/sdl_input.h"
#include "gdi/surface.h"

#include <atomic>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;

namespace handset {

class SdlDisplay : public Display {
  public:
    SdlDisplay() = default;
    ~SdlDisplay() override;
    SdlDisplay(const SdlDisplay&) = delete;
    SdlDisplay& operator=(const SdlDisplay&) = delete;

    // False, with one debug line saying why, when no desktop window can be opened here.
    bool open(InputSink& sink) override;
    void close() override;
    void screen_changed() override;

    // Where the centre of a screen pixel shows in the window, in window coordinates.
    POINT window_point(POINT screen) const;
    // The window's picture of the screen, one pixel per screen pixel (read at the centres), as it
    // is shown after everything that changed before the call; nothing while closed.
    std::optional<Surface> shown_screen();

  private:
    // The screen's place in the window: scaled to fit, centred.
    struct Placement {
        int left = 0;
        int top = 0;
        double scale = 1;
    };

    void run(std::promise<bool>& started);
    bool start_sdl();
    void stop_sdl();
    // True while the loop goes on.
    bool handle(const SDL_Event& event);
    void handle_key(const SDL_Event& event);
    void handle_text(const char* utf8);
    void deliver(const InputEvent& event);
    void deliver_all(const std::vector<InputEvent>& events);
    std::optional<POINT> screen_point(int window_x, int window_y, bool clamp) const;
    void present();
    void fit_window_to_screen(int width, int height);
    void answer_pixel_requests();
    int wait_timeout() const;

    InputSink* m_sink = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_running{false};

    // Guards waking the SDL thread against SDL starting or stopping meanwhile.
    std::mutex m_wake_mutex;
    bool m_accepting_wakes = false;
    uint32_t m_wake_event = 0;

    // The SDL thread's own.
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
    int m_texture_width = 0;
    int m_texture_height = 0;
    int m_spinner_phase = 0;
    MouseStylus m_stylus;

    // Read by window_point on other threads.
    mutable std::mutex m_placement_mutex;
    Placement m_placement;

    std::mutex m_request_mutex;
    std::vector<std::promise<std::optional<Surface>>> m_pixel_requests;
};

} // namespace handset
