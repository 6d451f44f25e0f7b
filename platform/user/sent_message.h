// A message that one thread sends to a window of another thread.
//
// State table (the state lives in `done`, guarded by the sender's queue lock):
//
//   state    entered when                                  left when
//   -------  --------------------------------------------  -------------------------------------
//   queued   the sender puts it on the receiver's queue     the receiver takes it (running), or
//            and starts waiting                             the receiver's thread ends or the
//                                                           window is destroyed (done, result 0)
//   running  the receiver took it and calls the window's    the procedure returns (done, with its
//            procedure                                      result)
//   done     MessageQueue::finish_send stored the result    the sender reads the result and lets
//            and woke the sender                            go of the record
//
// Invariants:
// - A record is on at most one queue, and only while queued.
// - It reaches done exactly once: whoever takes it off the receiver's queue (the receiver to run
//   it, or the receiver's shut-down or the window's destruction to abandon it) finishes it.
// - The sender waits only for its own record, and while it waits it runs what other threads send
//   to it, so two threads that send to each other at the same time both get their answers.
#pragma once

#include <winuser.h>

#include <memory>

namespace handset {

class MessageQueue;

struct SentMessage {
    HWND window;
    UINT message = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
    std::shared_ptr<MessageQueue> sender;
    // Guarded by the sender's queue lock.
    bool done = false;
    LRESULT result = 0;
};

} // namespace handset
