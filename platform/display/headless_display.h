// The display without a window: the screen lives only in the framebuffer, and the person's input
// is whatever the automation driver injects, which reaches the window system along the same
// path as a window's input.
#pragma once

#include "display/display.h"

#include <mutex>

namespace handset {

class HeadlessDisplay : public Display {
  public:
    ~HeadlessDisplay() override;

    bool open(InputSink& sink) override;
    void close() override;
    // Nothing to show.
    void screen_changed() override {}

    // Hands an event to the sink as a window would; false while the display is closed.
    bool inject(const InputEvent& event);

  private:
    std::mutex m_mutex;
    InputSink* m_sink = nullptr;
};

} // namespace handset
