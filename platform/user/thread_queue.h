// Each thread's message queue and per-thread message state. A thread gets its queue the first
// time it touches the window system; when the thread ends, its windows go away without messages
// (nothing can run their procedures any more) and whoever is still waiting on a send to it gets 0.
#pragma once

#include "user/message_queue.h"

#include <winuser.h>

#include <memory>

namespace handset {

// The calling thread's queue, made on first use.
const std::shared_ptr<MessageQueue>& current_queue();
// The queue of a live thread that has one; nullptr otherwise.
std::shared_ptr<MessageQueue> queue_of_thread(DWORD thread_id);

// What GetMessagePos and GetMessageTime report: the last message the thread took out.
struct MessageStamp {
    DWORD time = 0;
    POINT position{0, 0};
};
MessageStamp& current_message_stamp();

} // namespace handset
