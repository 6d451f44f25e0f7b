// The front-end that shows the handset's screen to a person and takes their input: headless (no
// window; screenshots only) or a desktop window. The window system composes the screen; a
// display only shows it, and turns the person's input into stylus and key events.
#pragma once

#include "gdi/screen.h"

#include <windef.h>

namespace handset {

struct InputEvent {
    enum class Kind {
        stylus_down,
        stylus_move,
        stylus_up,
        key_down,
        key_up,
        character,      // typed text, one UTF-16 unit at a time
        close_request,  // the person closed the window
        rotate_request, // the person asked to rotate the screen
    };
    Kind kind;
    POINT point{0, 0};   // stylus events: screen coordinates
    UINT key = 0;        // key events: the virtual-key code
    WCHAR character = 0; // character events
};

// Where a display sends input: the window system, which queues it to the right thread.
class InputSink {
  public:
    virtual ~InputSink() = default;
    // Called on the display's own thread (or the caller's, for injected input). It queues the
    // event and returns: waiting here for a UI thread could deadlock with a closing display.
    virtual void deliver(const InputEvent& event) = 0;
};

// A display follows the screen as its observer: screen_changed (with the GDI lock held) tells it
// to present Screen::take_changes() of Screen::compose() soon, on its own thread.
class Display : public ScreenObserver {
  public:
    // Starts showing the screen and sending input to `sink`, which outlives the display's being
    // open. False, with one debug line saying why, when this front-end cannot start here.
    virtual bool open(InputSink& sink) = 0;
    // Stops both; the display no longer follows the screen.
    virtual void close() = 0;
};

} // namespace handset
