// Which parts of which windows need painting, and where on the screen each window may draw.
//
// Windows paint straight into the screen's framebuffer, each clipped to the part of it that is
// not covered: its own rectangle, inside every ancestor's client area, less the top-level
// windows above it (and its siblings above or children, with WS_CLIPSIBLINGS or
// WS_CLIPCHILDREN). So when a window moves, hides, goes away or comes up in the z-order, what it
// uncovered is invalidated in the windows beneath, and the desktop is painted where no window is.
//
// A parent without WS_CLIPCHILDREN paints over its children, so invalidating it invalidates the
// children it overlaps as well; WM_PAINT goes to parents before children, so the children paint
// last and stay on top.
//
// Every function here expects the window lock held.
#pragma once

#include "gdi/clip_region.h"
#include "user/message_queue.h"
#include "user/window_system.h"

namespace handset {

// Where the window may draw, in screen coordinates: its client area or the whole window.
ClipRegion visible_region(const WindowLock& lock, const Window& window, bool client_only);

// Adds part of the client area (client coordinates; nullptr: all of it) to the update region.
void invalidate_client(const WindowLock& lock, Window& window, const RECT* area, bool erase);
// The whole window, frame included.
void invalidate_window(const WindowLock& lock, Window& window);
// Invalidates whatever is visible of every window inside `screen_area`, and paints the desktop
// where no window covers it.
void expose(const WindowLock& lock, const RECT& screen_area);
// Removes the area (nullptr: all) from the update region. The update region is kept as one
// rectangle, so a partial validation leaves it as it was unless it covers it.
void validate_client(const WindowLock& lock, Window& window, const RECT* area);

bool needs_paint(const Window& window);
// The first window of the queue's thread that needs painting, parents before children.
Window* next_window_to_paint(const WindowLock& lock, const MessageQueue& queue);

// A window's rectangle, and its client area's, on the screen.
RECT screen_rect(const WindowLock& lock, const Window& window);
RECT client_screen_rect(const WindowLock& lock, const Window& window);

} // namespace handset
