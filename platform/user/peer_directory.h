// The other processes of the device as the window system sees them: a directory of their
// top-level windows over the sockets in the device's folder. A token is the peer's process id in
// its upper half and the peer's own window handle in its lower half. A socket that no process
// listens on any more is a leftover of a process that died, and is removed.
#pragma once

#include "user/foreign_windows.h"
#include "user/peer_protocol.h"

namespace handset {

class PeerDirectory : public ForeignWindowDirectory {
  public:
    explicit PeerDirectory(std::filesystem::path folder) : m_folder(std::move(folder)) {}

    std::optional<uint64_t> find_window(std::optional<std::u16string_view> window_class,
                                        std::optional<std::u16string_view> title) override;
    std::optional<LONG_PTR> user_data(uint64_t token) override;
    std::optional<bool> set_foreground(uint64_t token, bool last_active_popup) override;
    std::optional<bool> post_message(uint64_t token, UINT message, WPARAM wparam,
                                     LPARAM lparam) override;
    std::optional<LRESULT> send_message(uint64_t token, UINT message, WPARAM wparam,
                                        LPARAM lparam) override;

  private:
    // The peer's answer, or nothing when it is gone, unreachable or has no such window.
    std::optional<int64_t> ask(pid_t process, const PeerRequest& request);
    std::optional<int64_t> ask_about(uint64_t token, PeerRequest request);

    std::filesystem::path m_folder;
};

// Messages whose parameters are plain values cross to another process; those that carry
// pointers into this process's memory would be meaningless there.
bool crosses_processes(UINT message);

} // namespace handset
