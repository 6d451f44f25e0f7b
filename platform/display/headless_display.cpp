#include "display/headless_display.h"

namespace handset {

HeadlessDisplay::~HeadlessDisplay() {
    close();
}

bool HeadlessDisplay::open(InputSink& sink) {
    {
        std::lock_guard lock(m_mutex);
        m_sink = &sink;
    }
    Screen::instance().set_observer(this);
    return true;
}

void HeadlessDisplay::close() {
    {
        std::lock_guard lock(m_mutex);
        if (m_sink == nullptr) {
            return;
        }
        m_sink = nullptr;
    }
    Screen::instance().set_observer(nullptr);
}

bool HeadlessDisplay::inject(const InputEvent& event) {
    // The lock is held while the sink runs, so that close() cannot return while an event is
    // still on its way in.
    std::lock_guard lock(m_mutex);
    if (m_sink == nullptr) {
        return false;
    }
    m_sink->deliver(event);
    return true;
}

} // namespace handset
