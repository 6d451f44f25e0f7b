// The window system's end of the input path: the sink that displays (through the shell) hand
// their stylus and key events to, and so the way in for the automation driver's input too.
#pragma once

#include "display/display.h"

namespace handset {

class WindowSystemInput : public InputSink {
  public:
    void deliver(const InputEvent& event) override;
};

} // namespace handset
