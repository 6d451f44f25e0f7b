// Sending and receiving a whole block over a stream socket before a deadline, across short
// transfers and interrupted calls.
#pragma once

#include <chrono>
#include <cstddef>

namespace handset {

using SocketDeadline = std::chrono::steady_clock::time_point;

// False when the peer is gone, the socket failed or the deadline passed first.
bool send_fully(int socket, const void* data, size_t size, SocketDeadline deadline);
bool receive_fully(int socket, void* data, size_t size, SocketDeadline deadline);

} // namespace handset
