// What the notification callbacks of up to four SIM handles received, each handle naming its
// recorder by the callback parameter.
#pragma once

#include <simmgr.h>

#include <gmock/gmock.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

// Far above the half second a change takes; reaching it means the notification never came.
inline constexpr auto patience = std::chrono::seconds(10);

struct Notification {
    DWORD code;
    bool has_data;
    DWORD size;
    DWORD entry;
    DWORD storage;
};

class Recorder {
  public:
    void record(const Notification& notification) {
        std::lock_guard lock(m_mutex);
        m_seen.push_back(notification);
        m_changed.notify_all();
    }

    // Waits until count notifications arrived; false if they did not within the patience.
    bool wait_for(size_t count) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, patience, [&] { return m_seen.size() >= count; });
    }

    std::vector<Notification> seen() {
        std::lock_guard lock(m_mutex);
        return m_seen;
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Notification> m_seen;
};

inline std::array<Recorder, 4>* g_recorders = nullptr;

inline void record_callback(DWORD code, const void* data, DWORD size, DWORD parameter) {
    Notification notification{code, data != nullptr, size, 0, 0};
    if (data != nullptr && size == sizeof(SIMPBECHANGE)) {
        const auto* change = static_cast<const SIMPBECHANGE*>(data);
        notification.entry = change->dwEntry;
        notification.storage = change->dwStorage;
    }
    (*g_recorders)[parameter].record(notification);
}

MATCHER_P2(IsEntryChange, code, slot, "") {
    return arg.code == DWORD(code) && arg.has_data && arg.size == sizeof(SIMPBECHANGE) &&
           arg.entry == DWORD(slot) && arg.storage == DWORD(SIM_PBSTORAGE_SIM);
}
