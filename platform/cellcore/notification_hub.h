// The SIM library's notification thread. Every handle opened with
// SIM_INIT_SIMCARD_NOTIFICATIONS is a subscriber with its own change feed; the thread polls the
// feeds every 100 ms (at once after a change made in this process) and calls each subscriber's
// callback with what its feed reported, one call at a time.
//
// A subscriber's life:
//
//   subscribed --unsubscribe--> removed    no callback starts after the removal
//       |  ^
//  call |  | callback returns
//       v  |
//   in callback --unsubscribe from another thread--> waits until the callback returns
//               --unsubscribe from the callback itself--> removed at once (waiting would
//                                                         wait for itself)
//
// So when unsubscribe returns, the callback is not running and never runs again, except that a
// callback which removes its own handle naturally finishes its own run.
#pragma once

#include <simmgr.h>

#include "cellcore/card_backend.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace handset {

class NotificationHub {
  public:
    static NotificationHub& instance();

    void subscribe(uint32_t handle, SIMCALLBACK callback, DWORD parameter,
                   std::unique_ptr<ChangeFeed> feed);
    void unsubscribe(uint32_t handle);
    // Polls now: a change made in this process reaches this process's handles without delay.
    void wake();

  private:
    struct Subscriber {
        uint32_t handle;
        SIMCALLBACK callback;
        DWORD parameter;
        std::unique_ptr<ChangeFeed> feed; // used by the thread only
        bool active = true;               // guarded by m_mutex
    };

    NotificationHub() = default;
    void run();
    void deliver(Subscriber& subscriber);
    void wait_for_callback(std::unique_lock<std::mutex>& lock, const Subscriber* subscriber);

    std::mutex m_mutex;
    std::condition_variable m_wakeup;
    std::condition_variable m_callback_done;
    std::vector<std::shared_ptr<Subscriber>> m_subscribers;
    const Subscriber* m_in_callback = nullptr;
    bool m_woken = false;
    std::thread m_thread;
    std::thread::id m_thread_id;
};

} // namespace handset
