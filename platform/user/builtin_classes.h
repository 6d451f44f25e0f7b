// The classes the window system itself provides: dialogs ("#32770", whose atom that name spells)
// and popup menus ("#32768"). Message boxes are dialogs. Controls come from later modules, which
// register their classes with RegisterClass like any program.
#pragma once

#include "user/window_class.h"

namespace handset {

inline constexpr ATOM dialog_class_atom = 0x8002;
inline constexpr ATOM popup_menu_class_atom = 0x8000;
inline constexpr const char16_t* dialog_class_name = u"#32770";
inline constexpr const char16_t* popup_menu_class_name = u"#32768";

void register_builtin_classes(ClassRegistry& classes);

} // namespace handset
