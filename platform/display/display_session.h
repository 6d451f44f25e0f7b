// The display a program shows the handset on, chosen by its `--display` option: "window" (the
// desktop window, the default) or "headless" (the framebuffer only). Either way the shell's
// hardware keys sit in front of the window system in the input path.
#pragma once

#include "display/display.h"
#include "display/headless_display.h"
#include "display/shell_input.h"

#include <memory>
#include <optional>
#include <string_view>

namespace handset {

enum class DisplayKind { window, headless };

// The kind an option value names; nothing for any other value.
std::optional<DisplayKind> display_kind_named(std::string_view name);

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
