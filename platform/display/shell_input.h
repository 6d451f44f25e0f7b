// The shell's place in the input path: every event a display hands on passes here before the
// window system sees it. The shell takes the hardware keys it owns (soft keys, Talk when a menu bar
// overrides it, Esc for the task bar's button), rotation requests, and the request to close the
// desktop window, which closes the program's windows.
#pragma once

#include "display/display.h"

namespace handset {

class ShellInput : public InputSink {
  public:
    explicit ShellInput(InputSink& window_system) : m_window_system(window_system) {}

    void deliver(const InputEvent& event) override;

  private:
    InputSink& m_window_system;
};

} // namespace handset
