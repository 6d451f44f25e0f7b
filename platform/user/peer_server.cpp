#include "user/peer_server.h"

#include "base/debug_output.h"
#include "base/wide_text.h"
#include "user/window_system.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace handset {

namespace {

bool name_matches(std::optional<std::u16string_view> wanted, std::u16string_view actual) {
    return !wanted || compare_ignoring_case(*wanted, actual) == 0;
}

// Only this process's own top-level windows answer; children and proxies of other processes'
// windows are not the asker's business.
bool is_own_top_level(const WindowLock& lock, HWND handle) {
    const Window* window = WindowSystem::instance().find(lock, handle);
    return window != nullptr && !window->foreign_token && !window->is_child() &&
           !window->destroying;
}

HWND find_own_window(std::optional<std::u16string_view> window_class,
                     std::optional<std::u16string_view> title) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    for (HWND top : system.top_levels(lock)) {
        const Window* window = system.find(lock, top);
        if (is_own_top_level(lock, top) && name_matches(window_class, window->window_class->name) &&
            name_matches(title, window->text)) {
            return top;
        }
    }
    return HWND();
}

std::optional<LONG_PTR> user_data_of(HWND handle) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    if (!is_own_top_level(lock, handle)) {
        return std::nullopt;
    }
    return system.find(lock, handle)->user_data;
}

bool exists(HWND handle) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    return is_own_top_level(lock, handle);
}

PeerAnswer done(int64_t value) {
    return PeerAnswer{PeerStatus::done, 0, value};
}

constexpr PeerAnswer no_window{PeerStatus::no_window, 0, 0};

int listen_at(const std::filesystem::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.native().size() >= sizeof address.sun_path) {
        debug_printf("handset: the socket path %s is too long\n", path.c_str());
        return -1;
    }
    std::strcpy(address.sun_path, path.c_str());
    const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0) {
        return -1;
    }
    // A socket of this pid can only be a leftover of a process that is gone.
    unlink(path.c_str());
    if (bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 8) != 0) {
        debug_printf("handset: cannot listen on %s: %s\n", path.c_str(), std::strerror(errno));
        close(listener);
        return -1;
    }
    return listener;
}

} // namespace

PeerAnswer answer_peer_request(const PeerRequest& request) {
    const HWND window(request.window);
    switch (request.operation) {
    case PeerOperation::find: {
        const HWND found = find_own_window(peer_name(request.class_name, request.class_length),
                                           peer_name(request.title, request.title_length));
        return found ? done(found.value()) : no_window;
    }
    case PeerOperation::user_data: {
        const std::optional<LONG_PTR> value = user_data_of(window);
        return value ? done(*value) : no_window;
    }
    case PeerOperation::set_foreground: {
        if (!exists(window)) {
            return no_window;
        }
        const HWND target(window.value() | (request.last_active_popup ? 1u : 0u));
        return done(SetForegroundWindow(target));
    }
    case PeerOperation::post:
        if (!exists(window)) {
            return no_window;
        }
        return done(PostMessageW(window, request.message, static_cast<WPARAM>(request.wparam),
                                 static_cast<LPARAM>(request.lparam)));
    case PeerOperation::send:
        if (!exists(window)) {
            return no_window;
        }
        return done(SendMessageW(window, request.message, static_cast<WPARAM>(request.wparam),
                                 static_cast<LPARAM>(request.lparam)));
    }
    return no_window;
}

PeerServer::PeerServer(std::filesystem::path folder)
    : m_socket(peer_socket(folder, getpid())), m_listener(listen_at(m_socket)) {
    if (m_listener < 0) {
        return;
    }
    if (pipe2(m_wake, O_CLOEXEC) != 0) {
        close(m_listener);
        unlink(m_socket.c_str());
        m_listener = -1;
        return;
    }
    m_thread = std::thread([this] { serve(); });
}

PeerServer::~PeerServer() {
    if (m_listener < 0) {
        return;
    }
    const char stop = 0;
    while (write(m_wake[1], &stop, 1) < 0 && errno == EINTR) {
    }
    m_thread.join();
    unlink(m_socket.c_str());
    // The device's folder goes with its last process (rmdir leaves a folder that still has any).
    rmdir(m_socket.parent_path().c_str());
    close(m_listener);
    close(m_wake[0]);
    close(m_wake[1]);
}

void PeerServer::serve() {
    while (true) {
        pollfd entries[2] = {{m_listener, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (poll(entries, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (entries[1].revents != 0) {
            return;
        }
        const int connection = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection >= 0) {
            answer_one(connection);
            close(connection);
        }
    }
}

void PeerServer::answer_one(int connection) {
    PeerRequest request{};
    if (!receive_record(connection, &request, sizeof request)) {
        return;
    }
    const PeerAnswer answer = answer_peer_request(request);
    send_record(connection, &answer, sizeof answer);
}

} // namespace handset
