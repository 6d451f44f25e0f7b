// What a dialog window carries beyond an ordinary window: its procedure and the DWL_* slots, its
// font and dialog base units, where its focus was, and how its modal run stands. Guarded by the
// window lock, like the window that holds it.
#pragma once

#include <winuser.h>

#include <memory>
#include <optional>

namespace handset {

struct MessageBoxContent;

struct DialogState {
    DialogState() = default;
    DialogState(const DialogState&) = delete;
    DialogState& operator=(const DialogState&) = delete;
    ~DialogState();

    DLGPROC procedure = nullptr;
    LRESULT message_result = 0;
    LONG_PTR user = 0;

    HFONT font;
    // A font made from the template goes when the dialog goes.
    bool owns_font = false;
    // Horizontal and vertical dialog base units of the font: four and eight dialog units.
    SIZE base_units{};

    // Where the focus goes when the dialog is activated: the control that had it when the dialog
    // was last deactivated, the first tab stop after WM_INITDIALOG answered nonzero, or the
    // control the dialog procedure chose while the dialog was still hidden.
    HWND saved_focus;
    std::optional<WORD> default_id;

    // Modal run: EndDialog sets `ended` and `result`, the run's loop reads them.
    bool ended = false;
    INT_PTR result = 0;
    // The owner this dialog's modal run disabled, until EndDialog (or the run's end) enables it.
    HWND disabled_owner;
    // Set when the dialog is a message box.
    std::shared_ptr<const MessageBoxContent> message_box;
};

} // namespace handset
