#include "base/device_folder.h"

#include <cstdlib>
#include <mutex>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace handset {

namespace {

std::mutex g_override_mutex;
std::filesystem::path g_override;

std::filesystem::path environment_path(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return {};
    }
    return value;
}

// $HOME, or the password database's entry when a service runs without one.
std::filesystem::path home_folder() {
    std::filesystem::path home = environment_path("HOME");
    if (!home.empty()) {
        return home;
    }
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        return found->pw_dir;
    }
    return std::filesystem::current_path();
}

// XDG asks that a relative $XDG_DATA_HOME be ignored.
std::filesystem::path data_home() {
    std::filesystem::path xdg = environment_path("XDG_DATA_HOME");
    if (xdg.is_absolute()) {
        return xdg;
    }
    return home_folder() / ".local" / "share";
}

} // namespace

std::filesystem::path device_folder() {
    {
        std::lock_guard lock(g_override_mutex);
        if (!g_override.empty()) {
            return g_override;
        }
    }
    std::filesystem::path from_environment = environment_path("TELVANE_DEVICE");
    if (!from_environment.empty()) {
        return from_environment;
    }
    return data_home() / "telvane" / "device";
}

void set_device_folder(std::filesystem::path folder) {
    std::lock_guard lock(g_override_mutex);
    g_override = std::move(folder);
}

} // namespace handset
