#include "user/peer_service.h"

#include "base/device_folder.h"

namespace handset {

PeerService::PeerService() {
    const std::optional<std::filesystem::path> folder = peer_folder(device_folder());
    if (!folder) {
        return;
    }
    auto server = std::make_unique<PeerServer>(*folder);
    if (!server->listening()) {
        return;
    }
    m_server = std::move(server);
    m_directory = std::make_unique<PeerDirectory>(*folder);
    set_foreign_window_directory(m_directory.get());
}

PeerService::~PeerService() {
    if (m_directory) {
        set_foreign_window_directory(nullptr);
    }
}

} // namespace handset
