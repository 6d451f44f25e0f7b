// The message queue of one thread: messages posted to it, input from the hardware, messages other
// threads send to its windows, its quit request, and the wake-ups that painting needs.
//
// Input waits in a queue of its own, read after the posted messages as on the device: what the
// program posts while it handles a key (the WM_CHAR of TranslateMessage above all) comes before
// the next key or tap, however quickly the hardware delivers them.
//
// The owner thread takes messages out; any thread may put them in. A waiter never misses a
// wake-up: each change bumps an activity count, and a waiter sleeps only while the count is the
// one it read before looking at the queue.
#pragma once

#include "user/sent_message.h"

#include <winuser.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

namespace handset {

struct MessageFilter {
    HWND window;
    UINT first = 0;
    UINT last = 0;

    bool accepts(const MSG& message) const;
    bool accepts_message(UINT message) const;
};

class MessageQueue {
  public:
    explicit MessageQueue(DWORD thread_id) : m_thread_id(thread_id) {}

    DWORD thread_id() const { return m_thread_id; }

    // False once the owner thread has ended.
    bool post(const MSG& message);
    bool post_input(const MSG& message);
    void post_quit(int exit_code);
    // Queues a send from another thread; false (and nothing queued) once the owner has ended.
    bool deliver(std::shared_ptr<SentMessage> message);
    // Wakes the owner to look again, e.g. because one of its windows needs painting.
    void wake();

    // Owner side. The activity count goes with wait_for_activity.
    uint64_t activity() const;
    std::shared_ptr<SentMessage> take_sent();
    bool take_posted(const MessageFilter& filter, bool remove, MSG& message);
    bool take_input(const MessageFilter& filter, bool remove, MSG& message);
    std::optional<int> quit_request(const MessageFilter& filter, bool remove);
    void wait_for_activity(uint64_t seen);

    // Sender side: the receiver (or whoever abandons the send) finishes the record on the
    // sender's queue, which wakes the sender.
    void finish_send(SentMessage& message, LRESULT result);
    std::optional<LRESULT> result_of(const SentMessage& message) const;

    // The owner thread ended: sends still queued are finished with 0, later ones are refused.
    void shut_down();
    // Finishes with 0 every queued send to the window, which is being destroyed.
    void abandon_sends_to(HWND window);

  private:
    void bump(std::unique_lock<std::mutex>& lock);
    bool add(std::deque<MSG>& queue, const MSG& message);
    bool take(std::deque<MSG>& queue, const MessageFilter& filter, bool remove, MSG& message);

    const DWORD m_thread_id;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<MSG> m_posted;
    std::deque<MSG> m_input;
    std::deque<std::shared_ptr<SentMessage>> m_sent;
    std::optional<int> m_quit;
    uint64_t m_activity = 0;
    bool m_ended = false;
};

} // namespace handset
