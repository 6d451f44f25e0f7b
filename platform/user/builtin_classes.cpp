#include "user/builtin_classes.h"

#include "user/popup_menu_window.h"

#include <wingdi.h>

namespace handset {

void register_builtin_classes(ClassRegistry& classes) {
    DWORD error = 0;
    WNDCLASSW dialog{};
    dialog.lpfnWndProc = DefDlgProcW;
    dialog.cbWndExtra = DLGWINDOWEXTRA;
    dialog.lpszClassName = dialog_class_name;
    classes.add(dialog, dialog_class_atom, error);

    WNDCLASSW popup_menu{};
    popup_menu.style = CS_DBLCLKS;
    popup_menu.cbWndExtra = sizeof(LONG_PTR);
    popup_menu.lpfnWndProc = popup_menu_procedure;
    popup_menu.lpszClassName = popup_menu_class_name;
    classes.add(popup_menu, popup_menu_class_atom, error);
}

} // namespace handset
