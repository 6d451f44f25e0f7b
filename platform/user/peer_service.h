// A process's membership of its device: while a PeerService lives, the other processes of the
// device (the one device_folder() names when it is made) find this process's top-level windows,
// and FindWindow, GetWindowLong(GWL_USERDATA), SetForegroundWindow, SendMessage and PostMessage
// reach theirs. A program's start makes one; without one a process stays on its own.
#pragma once

#include "user/peer_directory.h"
#include "user/peer_server.h"

#include <memory>

namespace handset {

class PeerService {
  public:
    PeerService();
    ~PeerService();
    PeerService(const PeerService&) = delete;
    PeerService& operator=(const PeerService&) = delete;

    // False when the device's socket folder or this process's socket could not be made (a debug
    // line said why); the process then runs alone.
    bool joined() const { return m_server != nullptr; }

  private:
    std::unique_ptr<PeerDirectory> m_directory;
    std::unique_ptr<PeerServer> m_server;
};

} // namespace handset
