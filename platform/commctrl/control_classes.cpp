// Registers the controls' window classes when the library loads, so that dialog templates find
// them by name (windres stores "SysTreeView32" uppercased; class names match without case) before
// any program code runs. InitCommonControls has nothing left to do then, as on the device, where
// the shell has loaded the common controls long before a program starts.
#include "commctrl/control.h"
#include "commctrl/edit_control.h"
#include "commctrl/list_view.h"
#include "commctrl/push_button.h"
#include "commctrl/scroll_bar_control.h"
#include "commctrl/static_control.h"
#include "commctrl/tree_view.h"

#include "base/debug_output.h"
#include "base/utf.h"

namespace handset {

namespace {

template <typename T>
void register_control(LPCWSTR name, UINT class_style) {
    WNDCLASSW record{};
    record.style = class_style | CS_GLOBALCLASS;
    record.lpszClassName = name;
    if (!register_control_class<T>(record)) {
        debug_printf("commctrl: the %s class could not be registered", utf16_to_utf8(name).c_str());
    }
}

struct ControlClasses {
    ControlClasses() {
        register_control<StaticControl>(u"Static", 0);
        register_control<PushButton>(u"Button", CS_DBLCLKS);
        register_control<EditControl>(u"Edit", CS_DBLCLKS);
        register_control<ScrollBarControl>(u"ScrollBar", 0);
        register_control<TreeView>(WC_TREEVIEWW, CS_DBLCLKS);
        register_control<ListView>(WC_LISTVIEWW, CS_DBLCLKS);
    }
};

const ControlClasses registered;

} // namespace

} // namespace handset

void WINAPI InitCommonControls() {}

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* lpInitCtrls) {
    return lpInitCtrls != nullptr && lpInitCtrls->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE
                                                                                         : FALSE;
}
