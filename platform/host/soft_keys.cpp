#include "host/soft_keys.h"

#include "host/language_module.h"

#include <aygshell.h>

namespace handset {

HWND create_soft_keys(HWND owner, UINT menu) {
    SHMENUBARINFO bar{};
    bar.cbSize = sizeof(bar);
    bar.hwndParent = owner;
    bar.dwFlags = SHCMBF_HMENU;
    bar.nToolBarId = menu;
    bar.hInstRes = LanguageModule::current();
    return SHCreateMenuBar(&bar) ? bar.hwndMB : HWND();
}

} // namespace handset
