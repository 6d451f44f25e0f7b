// A one-shot signal between threads. Waits are bounded, so a thread that never signals fails the
// test instead of hanging it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

class Signal {
  public:
    static constexpr std::chrono::seconds patience{10};

    void raise() {
        std::lock_guard lock(m_mutex);
        m_raised = true;
        m_changed.notify_all();
    }

    [[nodiscard]] bool wait() {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, patience, [this] { return m_raised; });
    }

    bool raised() const {
        std::lock_guard lock(m_mutex);
        return m_raised;
    }

  private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_raised = false;
};
