#include "user/peer_directory.h"

#include "base/debug_output.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace handset {

namespace {

uint64_t token_of(pid_t process, uint32_t window) {
    return (static_cast<uint64_t>(process) << 32) | window;
}

pid_t process_of(uint64_t token) {
    return static_cast<pid_t>(token >> 32);
}

std::optional<pid_t> process_named(const std::filesystem::path& socket) {
    if (socket.extension() != ".sock") {
        return std::nullopt;
    }
    const std::string stem = socket.stem().string();
    if (stem.empty() || stem.find_first_not_of("0123456789") != std::string::npos ||
        stem.size() > 9) {
        return std::nullopt;
    }
    return static_cast<pid_t>(std::stol(stem));
}

struct Connection {
    int socket = -1;
    bool stale = false; // nobody listens: the process that made the socket is gone
};

Connection connect_to(const std::filesystem::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.native().size() >= sizeof address.sun_path) {
        return Connection{};
    }
    std::strcpy(address.sun_path, path.c_str());
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0) {
        return Connection{};
    }
    if (connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const bool stale = errno == ECONNREFUSED;
        close(socket);
        return Connection{-1, stale};
    }
    return Connection{socket, false};
}

} // namespace

bool crosses_processes(UINT message) {
    return message == WM_NULL || message == WM_CLOSE || message >= WM_USER;
}

std::optional<int64_t> PeerDirectory::ask(pid_t process, const PeerRequest& request) {
    const std::filesystem::path path = peer_socket(m_folder, process);
    const Connection connection = connect_to(path);
    if (connection.stale) {
        unlink(path.c_str());
    }
    if (connection.socket < 0) {
        return std::nullopt;
    }
    PeerAnswer answer{};
    const bool answered = send_record(connection.socket, &request, sizeof request) &&
                          receive_record(connection.socket, &answer, sizeof answer);
    close(connection.socket);
    if (!answered || answer.status != PeerStatus::done) {
        return std::nullopt;
    }
    return answer.value;
}

std::optional<int64_t> PeerDirectory::ask_about(uint64_t token, PeerRequest request) {
    request.window = static_cast<uint32_t>(token);
    return ask(process_of(token), request);
}

std::optional<uint64_t> PeerDirectory::find_window(std::optional<std::u16string_view> window_class,
                                                   std::optional<std::u16string_view> title) {
    auto request = std::make_unique<PeerRequest>();
    request->operation = PeerOperation::find;
    if (!put_peer_name(window_class, request->class_name, request->class_length) ||
        !put_peer_name(title, request->title, request->title_length)) {
        return std::nullopt;
    }
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, error)) {
        const std::optional<pid_t> process = process_named(entry.path());
        if (!process || *process == getpid()) {
            continue;
        }
        if (const std::optional<int64_t> window = ask(*process, *request)) {
            return token_of(*process, static_cast<uint32_t>(*window));
        }
    }
    return std::nullopt;
}

std::optional<LONG_PTR> PeerDirectory::user_data(uint64_t token) {
    PeerRequest request{};
    request.operation = PeerOperation::user_data;
    const std::optional<int64_t> value = ask_about(token, request);
    return value ? std::optional<LONG_PTR>(static_cast<LONG_PTR>(*value)) : std::nullopt;
}

std::optional<bool> PeerDirectory::set_foreground(uint64_t token, bool last_active_popup) {
    PeerRequest request{};
    request.operation = PeerOperation::set_foreground;
    request.last_active_popup = last_active_popup ? 1 : 0;
    const std::optional<int64_t> value = ask_about(token, request);
    return value ? std::optional<bool>(*value != 0) : std::nullopt;
}

std::optional<bool> PeerDirectory::post_message(uint64_t token, UINT message, WPARAM wparam,
                                                LPARAM lparam) {
    if (!crosses_processes(message)) {
        debug_printf("PostMessage: message 0x%04X carries this process's memory and is not "
                     "posted to another process\n",
                     message);
        return false;
    }
    PeerRequest request{};
    request.operation = PeerOperation::post;
    request.message = message;
    request.wparam = wparam;
    request.lparam = lparam;
    const std::optional<int64_t> value = ask_about(token, request);
    return value ? std::optional<bool>(*value != 0) : std::nullopt;
}

std::optional<LRESULT> PeerDirectory::send_message(uint64_t token, UINT message, WPARAM wparam,
                                                   LPARAM lparam) {
    if (!crosses_processes(message)) {
        debug_printf("SendMessage: message 0x%04X carries this process's memory and is not "
                     "sent to another process\n",
                     message);
        return 0;
    }
    PeerRequest request{};
    request.operation = PeerOperation::send;
    request.message = message;
    request.wparam = wparam;
    request.lparam = lparam;
    const std::optional<int64_t> value = ask_about(token, request);
    return value ? std::optional<LRESULT>(static_cast<LRESULT>(*value)) : std::nullopt;
}

} // namespace handset
