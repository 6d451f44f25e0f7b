// The other processes of the device as the window system sees them: a directory of their
// top-level windows over the sockets in the device's folder. A token is the peer's process id in
// its upper half and the peer's own window handle in its lower half. A socket that no process
// listens on any more is a leftover of a process that died, and is removed.
#pragma once

#include "user/foreign_windows.h"
#include "user/peer_protocol.h"
#include "user/start_lock.h"

namespace handset {

class PeerDirectory : public ForeignWindowDirectory {
  public:
    explicit PeerDirectory(std::filesystem::path folder)
        : m_folder(std::move(folder)), m_start_lock(m_folder) {}

    std::optional<uint64_t> find_window(std::optional<std::u16string_view> window_class,
                                        std::optional<std::u16string_view> title) override;
    std::optional<LONG_PTR> user_data(uint64_t token) override;
    std::optional<bool> set_foreground(uint64_t token, bool last_active_popup) override;
    std::optional<bool> post_message(uint64_t token, UINT message, WPARAM wparam,
                                     LPARAM lparam) override;
    std::optional<LRESULT> send_message(uint64_t token, UINT message, WPARAM wparam,
                                        LPARAM lparam) override;
    void hold_start_lock() override { m_start_lock.hold(); }
    void release_start_lock() override { m_start_lock.release(); }

  private:
    // The peer's answer, or nothing when it is gone, unreachable or has no such window.
    std::optional<int64_t> ask(pid_t process, const PeerRequest& request);
    std::optional<int64_t> ask_about(uint64_t token, PeerRequest request);

    std::filesystem::path m_folder;
    StartLock m_start_lock;
};

// Messages whose parameters are plain values cross to another process; those that carry
// pointers into this process's memory would be meaningless there.
bool crosses_processes(UINT message);

} // namespace handset
