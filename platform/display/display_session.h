// The display a program shows the handset on: the desktop window, or headless (the framebuffer
// only). Either way the shell's hardware keys sit in front of the window system in the input
// path.
#pragma once

#include "display/display.h"
#include "display/headless_display.h"
#include "display/shell_input.h"

#include <memory>

namespace handset {

enum class DisplayKind { window, headless };

class DisplaySession {
  public:
    // Opens the display. When the desktop window cannot open, writes one line to standard error
    // that says so and names `--display headless`, and answers nullptr; the program then exits
    // with a failure.
    static std::unique_ptr<DisplaySession> open(DisplayKind kind, InputSink& window_system);

    ~DisplaySession();
    DisplaySession(const DisplaySession&) = delete;
    DisplaySession& operator=(const DisplaySession&) = delete;

    Display& display() { return *m_display; }
    // The way in for injected input, when the display is headless; nullptr otherwise.
    HeadlessDisplay* headless() { return m_headless; }

  private:
    DisplaySession(InputSink& window_system, std::unique_ptr<Display> display);

    ShellInput m_input;
    std::unique_ptr<Display> m_display;
    HeadlessDisplay* m_headless = nullptr;
};

} // namespace handset
