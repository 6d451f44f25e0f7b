#include "user/message_sender.h"

#include "user/errors.h"
#include "user/foreign_windows.h"
#include "user/thread_queue.h"
#include "user/window_system.h"

namespace handset {

namespace {

// The sender's side of a cross-thread send (see sent_message.h for its states): queue the record
// to the receiver, then wait for it to be done, running meanwhile whatever others send to us.
LRESULT send_to_other_thread(const std::shared_ptr<MessageQueue>& receiver, HWND window,
                             UINT message, WPARAM wparam, LPARAM lparam) {
    const std::shared_ptr<MessageQueue>& own = current_queue();
    auto record = std::make_shared<SentMessage>();
    record->window = window;
    record->message = message;
    record->wparam = wparam;
    record->lparam = lparam;
    record->sender = own;
    if (!receiver->deliver(record)) {
        // The receiver's thread has ended: its windows are gone, and the answer is 0.
        return 0;
    }
    for (;;) {
        const uint64_t seen = own->activity();
        if (std::optional<LRESULT> result = own->result_of(*record)) {
            return *result;
        }
        if (run_incoming_sends(*own)) {
            continue;
        }
        own->wait_for_activity(seen);
    }
}

} // namespace

LRESULT call_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    WNDPROC procedure;
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        Window* entry = system.find(lock, window);
        if (entry == nullptr || entry->procedure == nullptr) {
            return 0;
        }
        procedure = entry->procedure;
    }
    return procedure(window, message, wparam, lparam);
}

LRESULT send_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    std::shared_ptr<MessageQueue> receiver;
    std::optional<uint64_t> foreign;
    {
        WindowSystem& system = WindowSystem::instance();
        WindowLock lock = system.lock();
        Window* entry = system.find(lock, window);
        if (entry == nullptr) {
            lock.unlock();
            fail_bad_window("SendMessage", window);
            return 0;
        }
        receiver = entry->queue;
        foreign = entry->foreign_token;
    }
    if (foreign) {
        return send_to_foreign_window(window, *foreign, message, wparam, lparam);
    }
    if (receiver == current_queue()) {
        return call_procedure(window, message, wparam, lparam);
    }
    return send_to_other_thread(receiver, window, message, wparam, lparam);
}

// The receiver's side: take each queued record (queued → running), run the procedure, and
// finish the record on the sender's queue (running → done), which wakes the sender.
bool run_incoming_sends(MessageQueue& queue) {
    bool ran = false;
    while (std::shared_ptr<SentMessage> record = queue.take_sent()) {
        const LRESULT result =
            call_procedure(record->window, record->message, record->wparam, record->lparam);
        record->sender->finish_send(*record, result);
        ran = true;
    }
    return ran;
}

void serve_sent_messages() {
    if (const std::shared_ptr<MessageQueue>& queue = current_queue()) {
        run_incoming_sends(*queue);
    }
}

} // namespace handset
