// This process's end of the device's socket folder: a thread that answers the other processes'
// requests about this process's top-level windows. It reads windows under the window lock and
// hands messages and the foreground request to the window API, so a close request reaches the
// window's own thread as any cross-thread send would.
#pragma once

#include "user/peer_protocol.h"

#include <filesystem>
#include <thread>

namespace handset {

class PeerServer {
  public:
    // Listens on this process's socket in `folder`; listening() tells whether that worked.
    explicit PeerServer(std::filesystem::path folder);
    // Stops answering and removes the socket.
    ~PeerServer();
    PeerServer(const PeerServer&) = delete;
    PeerServer& operator=(const PeerServer&) = delete;

    bool listening() const { return m_listener >= 0; }

  private:
    void serve();
    void answer_one(int connection);

    std::filesystem::path m_socket;
    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
};

// The answer this process gives to one request.
PeerAnswer answer_peer_request(const PeerRequest& request);

} // namespace handset
