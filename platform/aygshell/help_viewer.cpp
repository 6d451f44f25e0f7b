#include "aygshell/help_viewer.h"

#include "base/debug_output.h"
#include "base/device_folder.h"
#include "base/utf.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <thread>

extern char** environ;

namespace handset {

namespace {

constexpr std::u16string_view file_scheme = u"file:";
constexpr const char* launcher = "xdg-open";

bool desktop_running() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

// Runs the launcher with its output discarded, and reaps it when it ends, so that no zombie
// outlives it. 0 when it could not be started.
int spawn_launcher(const std::string& address) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int stream = 0; stream <= 2; ++stream) {
        posix_spawn_file_actions_addopen(&actions, stream, "/dev/null",
                                         stream == 0 ? O_RDONLY : O_WRONLY, 0);
    }
    char* arguments[] = {const_cast<char*>(launcher), const_cast<char*>(address.c_str()), nullptr};
    pid_t child = 0;
    const int failure = posix_spawnp(&child, launcher, &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0) {
        return 0;
    }
    std::thread([child] { waitpid(child, nullptr, 0); }).detach();
    return child;
}

} // namespace

std::string help_page_address(std::u16string_view command_line,
                              const std::filesystem::path& device) {
    if (!command_line.starts_with(file_scheme)) {
        return utf16_to_utf8(command_line);
    }
    std::u16string_view page = command_line.substr(file_scheme.size());
    std::u16string_view anchor;
    if (const size_t hash = page.find(u'#'); hash != std::u16string_view::npos) {
        anchor = page.substr(hash);
        page = page.substr(0, hash);
    }
    std::string path = utf16_to_utf8(page);
    std::replace(path.begin(), path.end(), '\\', '/');
    const std::filesystem::path file =
        path.starts_with('/') ? device / path.substr(1) : device / "Windows" / path;
    return "file://" + file.lexically_normal().string() + utf16_to_utf8(anchor);
}

int show_help_page(std::u16string_view command_line) {
    const std::string address = help_page_address(command_line, device_folder());
    if (!desktop_running()) {
        debug_printf("peghelp.exe: no desktop is running; the help page is %s", address.c_str());
        return 0;
    }
    const int process = spawn_launcher(address);
    if (process == 0) {
        debug_printf("peghelp.exe: %s could not be started; the help page is %s", launcher,
                     address.c_str());
        return 0;
    }
    debug_printf("peghelp.exe: %s opens %s", launcher, address.c_str());
    return process;
}

} // namespace handset
