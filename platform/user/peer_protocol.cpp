#include "user/peer_protocol.h"

#include "base/debug_output.h"
#include "base/socket_transfer.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace handset {

namespace {

// FNV-1a: a stable name for the device folder's path, short enough for a socket address.
uint64_t path_hash(const std::string& text) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char byte : text) {
        hash = (hash ^ byte) * 0x100000001b3ull;
    }
    return hash;
}

// The folder exists, is a folder of this user and no one else may enter it.
bool private_folder(const std::filesystem::path& folder) {
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat status {};
    return lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == getuid() && (status.st_mode & 077) == 0;
}

std::filesystem::path runtime_root() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        return std::filesystem::path(runtime) / "telvane";
    }
    return std::filesystem::path("/tmp") / ("telvane-" + std::to_string(getuid()));
}

} // namespace

std::optional<std::filesystem::path> peer_folder(const std::filesystem::path& device) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::weakly_canonical(device, error);
    if (error) {
        absolute = device;
    }
    const std::filesystem::path root = runtime_root();
    char name[32];
    std::snprintf(name, sizeof name, "device-%016llx",
                  static_cast<unsigned long long>(path_hash(absolute.string())));
    const std::filesystem::path folder = root / name;
    if (!private_folder(root) || !private_folder(folder)) {
        debug_printf("handset: no private folder for the device's sockets at %s\n", folder.c_str());
        return std::nullopt;
    }
    return folder;
}

std::filesystem::path peer_socket(const std::filesystem::path& folder, pid_t process) {
    return folder / (std::to_string(process) + ".sock");
}

bool put_peer_name(std::optional<std::u16string_view> name, char16_t (&field)[peer_name_capacity],
                   uint16_t& length) {
    if (!name) {
        length = peer_any_name;
        return true;
    }
    if (name->size() > peer_name_capacity) {
        return false;
    }
    std::copy(name->begin(), name->end(), field);
    length = static_cast<uint16_t>(name->size());
    return true;
}

std::optional<std::u16string_view> peer_name(const char16_t (&field)[peer_name_capacity],
                                             uint16_t length) {
    if (length == peer_any_name) {
        return std::nullopt;
    }
    return std::u16string_view(field, std::min<size_t>(length, peer_name_capacity));
}

bool send_record(int socket, const void* record, size_t size) {
    return send_fully(socket, record, size, std::chrono::steady_clock::now() + peer_timeout);
}

bool receive_record(int socket, void* record, size_t size) {
    return receive_fully(socket, record, size, std::chrono::steady_clock::now() + peer_timeout);
}

} // namespace handset
