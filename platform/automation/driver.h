// The automation driver: runs a program of the handset on a user interface thread of its own and
// works it as a person would, through the same input path as a display, for tests and scripts.
//
// The driver's calls come from one thread (the test's or the script's). It never touches window
// fields itself: the window tree is copied under the window lock and every window is read through
// the window API, which sends to the window's own thread where a program would.
#pragma once

#include "automation/window_reader.h"
#include "base/debug_output.h"
#include "display/display.h"
#include "user/message_box.h"

#include <winuser.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace handset {

// A program's entry function, as the device calls it.
using ProgramEntry = int (*)(HINSTANCE, HINSTANCE, LPWSTR, int);
using Milliseconds = std::chrono::milliseconds;

// Longer than the handset's 500 ms, so that the window system surely takes it as tap-and-hold.
inline constexpr Milliseconds hold_duration{600};

class Driver {
  public:
    // Input goes to `input` (the shell's input or the window system itself), which outlives the
    // driver. With `capture_debug`, the debug output of every thread is kept for debug_lines()
    // instead of going to the sink.
    explicit Driver(InputSink& input, bool capture_debug = true);
    // Waits a while for a program still running, then leaves its thread behind with a debug line.
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // Starts the program on a new thread, against the device in `device`, with the instance of
    // this process, the command line given and SW_SHOW. One program per driver.
    void start(ProgramEntry entry, const std::filesystem::path& device,
               std::u16string command_line = std::u16string());
    bool running() const;
    // The program's exit code once it and the threads it made have returned, as the end of its
    // process would stop them; nothing while it still runs after `timeout`.
    std::optional<int> wait_for_exit(Milliseconds timeout);

    void stylus_down(POINT screen);
    void stylus_move(POINT screen);
    void stylus_up(POINT screen);
    void tap(POINT screen);
    void hold(POINT screen);
    void key_down(UINT virtual_key);
    void key_up(UINT virtual_key);
    void press_key(UINT virtual_key);
    void type(std::u16string_view text);
    // Asks the program to close, as closing the phone's window does.
    void close_program();

    // Polls the condition until it holds (true) or the time is up (false).
    bool wait_until(const std::function<bool()>& condition, Milliseconds timeout);
    // A visible window that the query accepts, or 0 when none shows up in time.
    HWND wait_for_window(const WindowQuery& query, Milliseconds timeout);
    // The topmost open message box, or 0 when none opens in time.
    HWND wait_for_message_box(Milliseconds timeout);
    // Until no shown window waits to be painted, so that the screen is what the program drew.
    bool wait_until_painted(Milliseconds timeout);
    // Until the wait cursor has gone and painting has settled: the program has finished what it
    // was busy with.
    bool wait_until_idle(Milliseconds timeout);

    std::optional<MessageBoxContent> message_box(HWND box) const;
    // Closes the box as its OK button would; false for a window that is no open box.
    bool answer(HWND box);

    std::optional<WindowInfo> read(HWND window) const;
    HWND find(const WindowQuery& query) const;
    std::string dump() const;

    // The screen as the person sees it, once painting has settled. False when it cannot be
    // written (with a debug line).
    bool screenshot(const std::filesystem::path& path);
    // What was written to the debug output since the driver was made (empty without capture).
    std::vector<std::string> debug_lines() const;

  private:
    void deliver(InputEvent::Kind kind, POINT point = POINT{0, 0}, UINT key = 0,
                 WCHAR character = 0);

    InputSink& m_input;
    std::unique_ptr<DebugCapture> m_capture;
    std::future<int> m_exit;
    std::thread m_program;
};

} // namespace handset
