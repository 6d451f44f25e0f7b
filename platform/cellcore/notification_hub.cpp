#include "cellcore/notification_hub.h"

#include <algorithm>
#include <chrono>

namespace handset {

// Defined by the window system when it is part of the library: handles the messages that other
// threads sent to the calling thread. A thread that closes a handle while that handle's callback
// runs waits for the callback; if the callback is itself waiting for that thread to answer a
// sent message, serving sent messages meanwhile is what keeps the two from deadlocking.
void serve_sent_messages() __attribute__((weak));

namespace {

constexpr auto poll_interval = std::chrono::milliseconds(100);
constexpr auto serve_interval = std::chrono::milliseconds(5);

} // namespace

NotificationHub& NotificationHub::instance() {
    // Never destroyed: the thread may still be parked when the process exits.
    static NotificationHub* hub = new NotificationHub;
    return *hub;
}

void NotificationHub::subscribe(uint32_t handle, SIMCALLBACK callback, DWORD parameter,
                                std::unique_ptr<ChangeFeed> feed) {
    std::lock_guard lock(m_mutex);
    m_subscribers.push_back(std::make_shared<Subscriber>(
        Subscriber{handle, callback, parameter, std::move(feed), true}));
    if (!m_thread.joinable()) {
        m_thread = std::thread([this] { run(); });
        m_thread_id = m_thread.get_id();
    }
    m_wakeup.notify_one();
}

void NotificationHub::unsubscribe(uint32_t handle) {
    std::unique_lock lock(m_mutex);
    auto found = std::find_if(m_subscribers.begin(), m_subscribers.end(),
                              [&](const auto& subscriber) { return subscriber->handle == handle; });
    if (found == m_subscribers.end()) {
        return;
    }
    std::shared_ptr<Subscriber> subscriber = *found;
    subscriber->active = false;
    m_subscribers.erase(found);
    if (std::this_thread::get_id() != m_thread_id) {
        wait_for_callback(lock, subscriber.get());
    }
}

void NotificationHub::wait_for_callback(std::unique_lock<std::mutex>& lock,
                                        const Subscriber* subscriber) {
    while (m_in_callback == subscriber) {
        m_callback_done.wait_for(lock, serve_interval);
        if (m_in_callback == subscriber && serve_sent_messages) {
            lock.unlock();
            serve_sent_messages();
            lock.lock();
        }
    }
}

void NotificationHub::wake() {
    std::lock_guard lock(m_mutex);
    m_woken = true;
    m_wakeup.notify_one();
}

void NotificationHub::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_subscribers.empty()) {
            m_wakeup.wait(lock, [this] { return !m_subscribers.empty(); });
        } else {
            m_wakeup.wait_for(lock, poll_interval, [this] { return m_woken; });
        }
        m_woken = false;
        const std::vector<std::shared_ptr<Subscriber>> subscribers = m_subscribers;
        lock.unlock();
        for (const std::shared_ptr<Subscriber>& subscriber : subscribers) {
            deliver(*subscriber);
        }
        lock.lock();
    }
}

void NotificationHub::deliver(Subscriber& subscriber) {
    for (const CardChange& change : subscriber.feed->poll()) {
        {
            std::lock_guard lock(m_mutex);
            if (!subscriber.active) {
                return;
            }
            m_in_callback = &subscriber;
        }
        const SIMPBECHANGE entry{static_cast<DWORD>(change.slot), SIM_PBSTORAGE_SIM};
        const bool about_entry = change.code != SIM_NOTIFY_RADIOOFF;
        subscriber.callback(change.code, about_entry ? &entry : nullptr,
                            about_entry ? sizeof entry : 0, subscriber.parameter);
        std::lock_guard lock(m_mutex);
        m_in_callback = nullptr;
        m_callback_done.notify_all();
    }
}

} // namespace handset
