#include "user/thread_queue.h"

#include "user/window_lifecycle.h"

#include <winbase.h>

#include <map>
#include <mutex>

namespace handset {

namespace {

class QueueDirectory {
  public:
    static QueueDirectory& instance() {
        // Never destroyed: threads may end after static destruction has begun.
        static QueueDirectory* directory = new QueueDirectory();
        return *directory;
    }

    void add(const std::shared_ptr<MessageQueue>& queue) {
        std::lock_guard lock(m_mutex);
        m_queues[queue->thread_id()] = queue;
    }

    void remove(DWORD thread_id) {
        std::lock_guard lock(m_mutex);
        m_queues.erase(thread_id);
    }

    std::shared_ptr<MessageQueue> find(DWORD thread_id) {
        std::lock_guard lock(m_mutex);
        auto found = m_queues.find(thread_id);
        return found == m_queues.end() ? nullptr : found->second.lock();
    }

  private:
    std::mutex m_mutex;
    std::map<DWORD, std::weak_ptr<MessageQueue>> m_queues;
};

// Lives as long as the thread; its destructor is the thread's end as the window system sees it.
class ThreadQueue {
  public:
    ThreadQueue() : m_queue(std::make_shared<MessageQueue>(GetCurrentThreadId())) {
        QueueDirectory::instance().add(m_queue);
    }

    ~ThreadQueue() {
        QueueDirectory::instance().remove(m_queue->thread_id());
        forget_windows_of(*m_queue);
        m_queue->shut_down();
    }

    const std::shared_ptr<MessageQueue>& queue() const { return m_queue; }

  private:
    std::shared_ptr<MessageQueue> m_queue;
};

} // namespace

const std::shared_ptr<MessageQueue>& current_queue() {
    thread_local ThreadQueue thread_queue;
    return thread_queue.queue();
}

std::shared_ptr<MessageQueue> queue_of_thread(DWORD thread_id) {
    return QueueDirectory::instance().find(thread_id);
}

MessageStamp& current_message_stamp() {
    thread_local MessageStamp stamp;
    return stamp;
}

} // namespace handset
