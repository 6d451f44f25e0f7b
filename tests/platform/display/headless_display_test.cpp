#include "display/headless_display.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace handset {
namespace {

class RecordingSink : public InputSink {
  public:
    void deliver(const InputEvent& event) override {
        std::lock_guard lock(m_mutex);
        m_events.push_back(event);
    }
    std::vector<InputEvent> events() {
        std::lock_guard lock(m_mutex);
        return m_events;
    }

  private:
    std::mutex m_mutex;
    std::vector<InputEvent> m_events;
};

TEST(HeadlessDisplay, InjectedInputReachesTheSinkInOrderWhileOpen) {
    RecordingSink sink;
    HeadlessDisplay display;
    EXPECT_FALSE(display.inject(InputEvent{InputEvent::Kind::key_down}));
    ASSERT_TRUE(display.open(sink));
    EXPECT_TRUE(display.inject(InputEvent{InputEvent::Kind::stylus_down, POINT{10, 20}}));
    EXPECT_TRUE(display.inject(InputEvent{InputEvent::Kind::stylus_up, POINT{10, 20}}));
    display.close();
    EXPECT_FALSE(display.inject(InputEvent{InputEvent::Kind::key_up}));
    const std::vector<InputEvent> events = sink.events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, InputEvent::Kind::stylus_down);
    EXPECT_EQ(events[0].point.y, 20);
    EXPECT_EQ(events[1].kind, InputEvent::Kind::stylus_up);
}

TEST(HeadlessDisplay, ClosingWhileAnotherThreadInjectsIsSafe) {
    RecordingSink sink;
    HeadlessDisplay display;
    ASSERT_TRUE(display.open(sink));
    std::atomic<int> delivered{0};
    std::thread injector([&] {
        for (int i = 0; i < 1000; ++i) {
            if (display.inject(InputEvent{InputEvent::Kind::character, {}, 0, u'a'})) {
                ++delivered;
            }
        }
    });
    display.close();
    injector.join();
    EXPECT_EQ(static_cast<int>(sink.events().size()), delivered.load());
}

} // namespace
} // namespace handset
