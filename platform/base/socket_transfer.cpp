#include "base/socket_transfer.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

namespace handset {

namespace {

// Waits for events until the deadline; false when it passed or the socket failed.
bool wait_until(int socket, short events, SocketDeadline deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() < 0) {
            return false;
        }
        pollfd entry{socket, events, 0};
        const int ready = poll(&entry, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        return ready == 1 && (entry.revents & events) != 0;
    }
}

// Moves size bytes with transfer (send or recv) until all went or it failed.
template <typename Transfer>
bool transfer_fully(int socket, short events, char* bytes, size_t size, SocketDeadline deadline,
                    Transfer transfer) {
    while (size > 0) {
        if (!wait_until(socket, events, deadline)) {
            return false;
        }
        const ssize_t moved = transfer(bytes, size);
        if (moved < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (moved <= 0) {
            return false;
        }
        bytes += moved;
        size -= static_cast<size_t>(moved);
    }
    return true;
}

} // namespace

bool send_fully(int socket, const void* data, size_t size, SocketDeadline deadline) {
    char* bytes = const_cast<char*>(static_cast<const char*>(data));
    return transfer_fully(socket, POLLOUT, bytes, size, deadline, [&](char* from, size_t count) {
        return send(socket, from, count, MSG_NOSIGNAL);
    });
}

bool receive_fully(int socket, void* data, size_t size, SocketDeadline deadline) {
    return transfer_fully(socket, POLLIN, static_cast<char*>(data), size, deadline,
                          [&](char* into, size_t count) { return recv(socket, into, count, 0); });
}

} // namespace handset
