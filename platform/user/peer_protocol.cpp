#include "user/peer_protocol.h"

#include "base/debug_output.h"

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

bool wait_for(int socket, short events) {
    pollfd entry{socket, events, 0};
    int ready;
    do {
        ready = poll(&entry, 1, static_cast<int>(peer_timeout.count()));
    } while (ready < 0 && errno == EINTR);
    return ready == 1 && (entry.revents & events) != 0;
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
    const char* bytes = static_cast<const char*>(record);
    while (size > 0) {
        if (!wait_for(socket, POLLOUT)) {
            return false;
        }
        const ssize_t written = send(socket, bytes, size, MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool receive_record(int socket, void* record, size_t size) {
    char* bytes = static_cast<char*>(record);
    while (size > 0) {
        if (!wait_for(socket, POLLIN)) {
            return false;
        }
        const ssize_t got = recv(socket, bytes, size, 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        bytes += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

} // namespace handset
