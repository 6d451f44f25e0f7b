// A program of the handset that shows the common controls the way the views use them: dialog 200
// of its own resources, full screen with a menu bar, holding a tree of three items whose check-box
// image a tap on the image toggles, a list of names and numbers, and a field. Its Done key ends
// the program with controls_exit_code.
#pragma once

#include <commctrl.h>

namespace handset::testing {

inline constexpr int controls_exit_code = 9;
inline constexpr int controls_tree_id = 2000;
inline constexpr int controls_list_id = 2001;
inline constexpr int controls_note_id = 2002;
// The images of the tree's check-box strip.
inline constexpr int unchecked_image = 0;
inline constexpr int checked_image = 1;
// The colour of the mark inside a checked box (see fixtures/make_check_boxes.py).
inline constexpr COLORREF check_colour = RGB(0, 128, 0);

int WINAPI controls_main(HINSTANCE instance, HINSTANCE, LPWSTR, int);

} // namespace handset::testing
