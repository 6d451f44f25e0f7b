#include "base/debug_output.h"

#include "thread_signal.h"

#include <winbase.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

using testing::HasSubstr;

namespace {

// Runs a function on a thread made by CreateThread and lets the test wait for its end.
class Worker {
  public:
    explicit Worker(std::function<void()> body) : m_body(std::move(body)) {
        const HANDLE thread = CreateThread(nullptr, 0, &Worker::run, this, 0, nullptr);
        EXPECT_TRUE(thread);
        CloseHandle(thread);
    }
    ~Worker() { EXPECT_TRUE(m_finished.wait()) << "worker did not finish"; }

    bool finished() const { return m_finished.raised(); }

  private:
    static DWORD WINAPI run(LPVOID parameter) {
        auto* self = static_cast<Worker*>(parameter);
        self->m_body();
        self->m_finished.raise();
        return 0;
    }

    std::function<void()> m_body;
    Signal m_finished;
};

class CriticalSectionTest : public testing::Test {
  protected:
    void SetUp() override { InitializeCriticalSection(&m_section); }
    void TearDown() override { DeleteCriticalSection(&m_section); }

    // With the test's thread holding the section once: another thread must wait for it until the
    // test's thread leaves.
    void expect_held_until_left(const char* why) {
        Signal entered;
        Worker worker([&] {
            EnterCriticalSection(&m_section);
            entered.raise();
            LeaveCriticalSection(&m_section);
        });
        Sleep(20);
        EXPECT_FALSE(entered.raised()) << why;
        LeaveCriticalSection(&m_section);
        EXPECT_TRUE(entered.wait());
    }

    CRITICAL_SECTION m_section{};
};

} // namespace

TEST_F(CriticalSectionTest, LetsItsOwnerEnterAgain) {
    EnterCriticalSection(&m_section);
    EnterCriticalSection(&m_section);
    LeaveCriticalSection(&m_section);
    expect_held_until_left("still held once after one of two leaves");
}

TEST_F(CriticalSectionTest, KeepsOtherThreadsOutWhileHeld) {
    constexpr int threads = 6;
    constexpr int rounds = 2000;
    int counter = 0; // deliberately unsynchronised but for the section
    {
        std::vector<std::unique_ptr<Worker>> workers;
        for (int t = 0; t < threads; ++t) {
            workers.push_back(std::make_unique<Worker>([&] {
                for (int i = 0; i < rounds; ++i) {
                    EnterCriticalSection(&m_section);
                    EnterCriticalSection(&m_section);
                    ++counter;
                    LeaveCriticalSection(&m_section);
                    LeaveCriticalSection(&m_section);
                }
            }));
        }
    }
    EXPECT_EQ(counter, threads * rounds);
}

TEST_F(CriticalSectionTest, IgnoresALeaveByAThreadThatDoesNotOwnIt) {
    handset::DebugCapture capture;
    EnterCriticalSection(&m_section);
    {
        Worker worker([&] { LeaveCriticalSection(&m_section); });
    }
    EXPECT_THAT(capture.text(), HasSubstr("is not owned by thread"));
    expect_held_until_left("the stray leave must not release the owner's hold");
}

TEST(CriticalSection, SurvivesDeletionWhileAnotherThreadHoldsIt) {
    handset::DebugCapture capture;
    CRITICAL_SECTION section{};
    InitializeCriticalSection(&section);
    Signal holding;
    Signal deleted;
    {
        Worker worker([&] {
            EnterCriticalSection(&section);
            holding.raise();
            (void)deleted.wait();
            LeaveCriticalSection(&section);
        });
        ASSERT_TRUE(holding.wait());
        DeleteCriticalSection(&section);
        deleted.raise();
    }
    EXPECT_THAT(capture.text(), HasSubstr("deleted while held"));
    EXPECT_THAT(capture.text(), HasSubstr("LeaveCriticalSection: critical section"));

    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    LeaveCriticalSection(&section);
    DeleteCriticalSection(&section);
}

TEST(CriticalSection, ReportsUseWithoutInitialisation) {
    handset::DebugCapture capture;
    CRITICAL_SECTION never_initialised{};
    EnterCriticalSection(&never_initialised);
    LeaveCriticalSection(&never_initialised);
    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_THAT(lines[0], HasSubstr("EnterCriticalSection: critical section"));
    EXPECT_THAT(lines[0], HasSubstr("was not initialised"));
}
