// The help viewer, "peghelp.exe" on the device. Its command line names a page, such as
// "file:Telvane.0409.htm#SettingLink". When a desktop is running, the desktop's browser opens the
// page (through xdg-open); otherwise, or when the desktop has no xdg-open, the request is only
// written to the debug output. Either way the viewer counts as started, as on the device.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace handset {

// The address the browser gets. A "file:" page with a bare name lies in the device's Windows
// folder, where the device keeps its help pages; one with a path ("file:\Windows\x.htm") is read
// from the device folder's root. The anchor is kept. Any other address passes unchanged.
std::string help_page_address(std::u16string_view command_line,
                              const std::filesystem::path& device);

// Shows the page; the process id of the browser's launcher, or 0 when the page was only logged.
int show_help_page(std::u16string_view command_line);

} // namespace handset
