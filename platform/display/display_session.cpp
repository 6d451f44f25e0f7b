#include "display/display_session.h"

#include "display/sdl_display.h"

#include <cstdio>

namespace handset {

DisplaySession::DisplaySession(InputSink& window_system, std::unique_ptr<Display> display)
    : m_input(window_system), m_display(std::move(display)),
      m_headless(dynamic_cast<HeadlessDisplay*>(m_display.get())) {}

DisplaySession::~DisplaySession() {
    m_display->close();
}

std::unique_ptr<DisplaySession> DisplaySession::open(DisplayKind kind, InputSink& window_system) {
    std::unique_ptr<Display> display;
    if (kind == DisplayKind::window) {
        display = std::make_unique<SdlDisplay>();
    } else {
        display = std::make_unique<HeadlessDisplay>();
    }
    std::unique_ptr<DisplaySession> session(new DisplaySession(window_system, std::move(display)));
    if (!session->m_display->open(session->m_input)) {
        std::fputs("No display is available for the handset's window; run with --display "
                   "headless to go without one.\n",
                   stderr);
        return nullptr;
    }
    return session;
}

} // namespace handset
