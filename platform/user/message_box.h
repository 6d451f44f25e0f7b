// Message boxes: a modal dialog with a caption, an icon, the text wrapped to the box's width and
// an OK button. One without an owner (or with MB_TOPMOST) stays above all other windows. The
// automation driver reads their text, caption and style here and answers them as the OK button
// would.
#pragma once

#include <winuser.h>

#include <optional>
#include <string>
#include <vector>

namespace handset {

struct MessageBoxContent {
    std::u16string text;
    std::u16string caption;
    UINT style = 0;
};

std::optional<MessageBoxContent> message_box_content(HWND window);
// The message boxes now open, topmost first.
std::vector<HWND> open_message_boxes();
// Closes the box with the answer its OK button gives; false for a window that is no box.
bool answer_message_box(HWND window);

} // namespace handset
