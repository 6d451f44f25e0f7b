// A small program of the handset for the driver to work: dialog 100 of its own resources, whose
// Open button shows a message box and whose Done button ends the program with greeting_exit_code.
#pragma once

#include <winuser.h>

namespace handset::testing {

inline constexpr int greeting_exit_code = 7;
inline constexpr UINT_PTR greeting_open_id = 1001;
inline constexpr UINT_PTR greeting_message_id = 1000;

int WINAPI greeting_main(HINSTANCE instance, HINSTANCE, LPWSTR, int);

} // namespace handset::testing
