#include "gdi/screen.h"
#include "message_log.h"
#include "ui_thread.h"
#include "user/thread_queue.h"

#include <gtest/gtest.h>
#include <winbase.h>
#include <winuser.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace handset;
using namespace handset::testing;

namespace {

constexpr UINT ask_thread = WM_APP + 1;   // answers the id of the thread that runs it
constexpr UINT ask_back = WM_APP + 2;     // sends ask_thread to the window in lparam, adds one
constexpr UINT record_order = WM_APP + 3; // logged, to see the order of arrival
constexpr const char16_t* worker_class = u"CrossThreadWindow";

LRESULT CALLBACK worker_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case ask_thread:
        return static_cast<LRESULT>(GetCurrentThreadId()) + static_cast<LRESULT>(wparam);
    case ask_back:
        return SendMessageW(HWND(static_cast<uint32_t>(lparam)), ask_thread, 0, 0) + 1;
    case record_order:
        MessageLog::instance().record(window, message, wparam, lparam);
        return 0;
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

HWND make_window() {
    return CreateWindowExW(0, worker_class, u"", WS_POPUP, 0, 0, 10, 10, HWND(), HMENU(),
                           HINSTANCE(), nullptr);
}

class CrossThread : public ::testing::Test {
  protected:
    void SetUp() override {
        Screen::instance().set_profile(ScreenProfile::qvga());
        register_test_class(worker_class, worker_procedure);
        MessageLog::instance().clear();
    }

    // The UI threads of each test have ended, taking their windows with them.
    void TearDown() override { UnregisterClassW(worker_class, HINSTANCE()); }
};

TEST_F(CrossThread, ASendRunsOnTheWindowsThreadAndReturnsItsResult) {
    UiThread receiver;
    const HWND window = receiver.run([] { return make_window(); });
    const LRESULT answer = on_new_thread([&] { return SendMessageW(window, ask_thread, 5, 0); });
    EXPECT_EQ(answer, static_cast<LRESULT>(receiver.id()) + 5);
}

TEST_F(CrossThread, AThreadWaitingForAnAnswerStillAnswersSendsToItself) {
    UiThread first;
    UiThread second;
    const HWND first_window = first.run([] { return make_window(); });
    const HWND second_window = second.run([] { return make_window(); });
    // first sends to second, whose procedure sends back to first while first waits.
    const LRESULT answer = first.run([&] {
        return SendMessageW(second_window, ask_back, 0, static_cast<LPARAM>(first_window.value()));
    });
    EXPECT_EQ(answer, static_cast<LRESULT>(first.id()) + 1);
}

TEST_F(CrossThread, TwoThreadsSendingToEachOtherAtTheSameMomentBothGetTheirAnswers) {
    UiThread first;
    UiThread second;
    const HWND first_window = first.run([] { return make_window(); });
    const HWND second_window = second.run([] { return make_window(); });
    std::atomic<int> ready{0};
    auto exchange = [&](HWND target) {
        ++ready;
        while (ready.load() < 2) {
            std::this_thread::yield();
        }
        LRESULT total = 0;
        for (int round = 0; round < 200; ++round) {
            total += SendMessageW(target, ask_thread, 0, 0);
        }
        return total;
    };
    std::thread from_first([&] {
        const LRESULT total = first.run([&] { return exchange(second_window); });
        EXPECT_EQ(total, 200 * static_cast<LRESULT>(second.id()));
    });
    const LRESULT total = second.run([&] { return exchange(first_window); });
    EXPECT_EQ(total, 200 * static_cast<LRESULT>(first.id()));
    from_first.join();
}

TEST_F(CrossThread, ManySendersEachGetTheirOwnAnswer) {
    UiThread receiver;
    const HWND window = receiver.run([] { return make_window(); });
    std::vector<std::thread> senders;
    std::atomic<int> wrong{0};
    for (WPARAM sender = 0; sender < 8; ++sender) {
        senders.emplace_back([&, sender] {
            for (int round = 0; round < 100; ++round) {
                if (SendMessageW(window, ask_thread, sender, 0) !=
                    static_cast<LRESULT>(receiver.id() + sender)) {
                    ++wrong;
                }
            }
        });
    }
    for (std::thread& sender : senders) {
        sender.join();
    }
    EXPECT_EQ(wrong.load(), 0);
}

// Waits, without pumping, until a send to this thread is queued.
void wait_for_incoming_send(const std::shared_ptr<MessageQueue>& queue, uint64_t before) {
    while (queue->activity() == before) {
        std::this_thread::yield();
    }
}

TEST_F(CrossThread, ASenderGetsZeroWhenTheReceivingThreadEndsWithoutAnswering) {
    std::promise<HWND> created;
    std::future<HWND> window_ready = created.get_future();
    std::atomic<uint64_t> before{0};
    std::thread receiver([&] {
        const HWND window = make_window();
        before = current_queue()->activity();
        created.set_value(window);
        wait_for_incoming_send(current_queue(), before);
        // Ends without taking the message.
    });
    const HWND window = wait_or_fail(window_ready, "the receiver making its window");
    const LRESULT answer = on_new_thread([&] { return SendMessageW(window, ask_thread, 1, 0); });
    receiver.join();
    EXPECT_EQ(answer, 0);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(CrossThread, ASenderGetsZeroWhenTheWindowIsDestroyedBeforeItsTurn) {
    UiThread receiver;
    const HWND window = receiver.run([] { return make_window(); });
    std::future<LRESULT> answer;
    receiver.run([&] {
        const std::shared_ptr<MessageQueue>& queue = current_queue();
        const uint64_t before = queue->activity();
        answer = std::async(std::launch::async,
                            [window] { return SendMessageW(window, ask_thread, 1, 0); });
        wait_for_incoming_send(queue, before);
        DestroyWindow(window);
        return 0;
    });
    EXPECT_EQ(wait_or_fail(answer, "a send to a destroyed window"), 0);
}

TEST_F(CrossThread, MessagesPostedFromAnotherThreadKeepTheirOrder) {
    UiThread receiver;
    const HWND window = receiver.run([] { return make_window(); });
    on_new_thread([&] {
        for (WPARAM index = 0; index < 500; ++index) {
            PostMessageW(window, record_order, index, 0);
        }
        return 0;
    });
    receiver.run([] { return 0; });
    std::vector<ExpectedMessage> in_order;
    for (WPARAM index = 0; index < 500; ++index) {
        in_order.push_back(expect(window, record_order, index).posted());
    }
    EXPECT_TRUE(sequence_matches(MessageLog::instance().take(), in_order));
}

TEST_F(CrossThread, PostingToAThreadThatEndedFails) {
    DWORD ended = 0;
    on_new_thread([&] {
        MSG message;
        PeekMessageW(&message, HWND(), 0, 0, PM_NOREMOVE);
        ended = GetCurrentThreadId();
        return 0;
    });
    EXPECT_FALSE(PostThreadMessageW(ended, WM_USER, 0, 0));
}

} // namespace
