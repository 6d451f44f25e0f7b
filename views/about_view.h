// The about box: the program's title, its version from the registry, a notice line, and the
// maker's company line and logo unless the registry hides them.
#pragma once

#include <windows.h>

void CTRL_ABOUT_Layout(HWND hDlg);
