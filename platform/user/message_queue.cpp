#include "user/message_queue.h"

namespace handset {

bool MessageFilter::accepts_message(UINT message) const {
    if (first == 0 && last == 0) {
        return true;
    }
    return message >= first && message <= last;
}

bool MessageFilter::accepts(const MSG& message) const {
    if (window && message.hwnd != window) {
        return false;
    }
    return accepts_message(message.message);
}

void MessageQueue::bump(std::unique_lock<std::mutex>&) {
    ++m_activity;
    m_wake.notify_all();
}

bool MessageQueue::add(std::deque<MSG>& queue, const MSG& message) {
    std::unique_lock lock(m_mutex);
    if (m_ended) {
        return false;
    }
    queue.push_back(message);
    bump(lock);
    return true;
}

bool MessageQueue::post(const MSG& message) {
    return add(m_posted, message);
}

bool MessageQueue::post_input(const MSG& message) {
    return add(m_input, message);
}

void MessageQueue::post_quit(int exit_code) {
    std::unique_lock lock(m_mutex);
    m_quit = exit_code;
    bump(lock);
}

bool MessageQueue::deliver(std::shared_ptr<SentMessage> message) {
    std::unique_lock lock(m_mutex);
    if (m_ended) {
        return false;
    }
    m_sent.push_back(std::move(message));
    bump(lock);
    return true;
}

void MessageQueue::wake() {
    std::unique_lock lock(m_mutex);
    bump(lock);
}

uint64_t MessageQueue::activity() const {
    std::lock_guard lock(m_mutex);
    return m_activity;
}

std::shared_ptr<SentMessage> MessageQueue::take_sent() {
    std::lock_guard lock(m_mutex);
    if (m_sent.empty()) {
        return nullptr;
    }
    std::shared_ptr<SentMessage> message = std::move(m_sent.front());
    m_sent.pop_front();
    return message;
}

bool MessageQueue::take(std::deque<MSG>& queue, const MessageFilter& filter, bool remove,
                        MSG& message) {
    std::lock_guard lock(m_mutex);
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (filter.accepts(*it)) {
            message = *it;
            if (remove) {
                queue.erase(it);
            }
            return true;
        }
    }
    return false;
}

bool MessageQueue::take_posted(const MessageFilter& filter, bool remove, MSG& message) {
    return take(m_posted, filter, remove, message);
}

bool MessageQueue::take_input(const MessageFilter& filter, bool remove, MSG& message) {
    return take(m_input, filter, remove, message);
}

std::optional<int> MessageQueue::quit_request(const MessageFilter& filter, bool remove) {
    std::lock_guard lock(m_mutex);
    if (!m_quit || !filter.accepts_message(WM_QUIT)) {
        return std::nullopt;
    }
    std::optional<int> exit_code = m_quit;
    if (remove) {
        m_quit.reset();
    }
    return exit_code;
}

void MessageQueue::wait_for_activity(uint64_t seen) {
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [&] { return m_activity != seen; });
}

void MessageQueue::finish_send(SentMessage& message, LRESULT result) {
    std::unique_lock lock(m_mutex);
    message.result = result;
    message.done = true;
    bump(lock);
}

std::optional<LRESULT> MessageQueue::result_of(const SentMessage& message) const {
    std::lock_guard lock(m_mutex);
    if (!message.done) {
        return std::nullopt;
    }
    return message.result;
}

void MessageQueue::shut_down() {
    std::deque<std::shared_ptr<SentMessage>> abandoned;
    {
        std::unique_lock lock(m_mutex);
        m_ended = true;
        abandoned.swap(m_sent);
        m_posted.clear();
        m_input.clear();
        bump(lock);
    }
    for (const std::shared_ptr<SentMessage>& message : abandoned) {
        message->sender->finish_send(*message, 0);
    }
}

void MessageQueue::abandon_sends_to(HWND window) {
    std::deque<std::shared_ptr<SentMessage>> abandoned;
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_sent.begin(); it != m_sent.end();) {
            if ((*it)->window == window) {
                abandoned.push_back(std::move(*it));
                it = m_sent.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (const std::shared_ptr<SentMessage>& message : abandoned) {
        message->sender->finish_send(*message, 0);
    }
}

} // namespace handset
