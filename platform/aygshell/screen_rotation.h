// Turning the screen between portrait and landscape, as the device does when its keyboard slides
// out: the shell moves its bands to the new shape, refits every full-screen dialog, and then
// tells each of them with WM_SETTINGCHANGE(SETTINGCHANGE_RESET), the one in front first, so that
// they lay out their controls again.
#pragma once

namespace handset {

// Runs on the thread of the shell's windows (the task bar asks for it there).
void rotate_screen();

// Moves the task bar, the input panel and every menu bar to the bands of the screen as it is now.
void fit_shell_to_screen();

} // namespace handset
