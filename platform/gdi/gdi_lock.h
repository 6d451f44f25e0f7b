// One lock guards all of the drawing state: the object and device-context tables, the glyph
// caches and the pixels of every surface, the screen's included. Painting happens on the UI
// threads while the display reads the screen on its own thread, and one lock keeps that simple
// and race-free; a drawing call holds it for microseconds.
//
// Functions that need the lock held take a `const GdiGuard&` as proof instead of locking again.
#pragma once

#include <mutex>

namespace handset {

class GdiGuard {
  public:
    GdiGuard();
    GdiGuard(const GdiGuard&) = delete;
    GdiGuard& operator=(const GdiGuard&) = delete;

  private:
    std::unique_lock<std::mutex> m_lock;
};

} // namespace handset
