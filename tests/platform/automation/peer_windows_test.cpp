// Two processes of one device: this test process and peer_window_process, each with a PeerService.
#include "base/device_folder.h"
#include "user/peer_protocol.h"
#include "user/peer_service.h"

#include "../base/temporary_folder.h"
#include "../cellcore/child_process.h"

#include <gtest/gtest.h>

#include <winbase.h>

#include <atomic>
#include <future>
#include <thread>

namespace handset::testing {

namespace {

constexpr std::chrono::seconds hang_limit{10};

std::atomic<int> g_close_requests{0};

LRESULT CALLBACK counting_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CLOSE) {
        g_close_requests += 1;
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

// A window of this process titled "Parent" on a thread that pumps its messages until the test
// ends.
class ParentWindow {
  public:
    ParentWindow() {
        std::promise<DWORD> started;
        std::future<DWORD> thread_id = started.get_future();
        m_thread = std::thread([&started] {
            WNDCLASSW window_class{};
            window_class.lpfnWndProc = counting_procedure;
            window_class.lpszClassName = u"PeerTest";
            RegisterClassW(&window_class);
            CreateWindowExW(0, u"PeerTest", u"Parent", 0, 0, 0, 1, 1, HWND(), HMENU(), HINSTANCE(),
                            nullptr);
            started.set_value(GetCurrentThreadId());
            MSG message;
            while (GetMessageW(&message, HWND(), 0, 0) > 0) {
                DispatchMessageW(&message);
            }
        });
        EXPECT_EQ(thread_id.wait_for(hang_limit), std::future_status::ready);
        m_thread_id = thread_id.get();
    }
    ~ParentWindow() {
        PostThreadMessageW(m_thread_id, WM_QUIT, 0, 0);
        m_thread.join();
    }

  private:
    std::thread m_thread;
    DWORD m_thread_id = 0;
};

class PeerWindows : public ::testing::Test {
  protected:
    // The service joins the device that device_folder() names when it is made.
    PeerWindows() {
        set_device_folder(m_device.path());
        m_peers = std::make_unique<PeerService>();
    }

    std::unique_ptr<ChildProcess> serve(const char* title, const char* user_data) {
        auto child = std::make_unique<ChildProcess>(std::vector<std::string>{
            PEER_WINDOW_PROCESS, m_device.path().string(), "serve", title, user_data});
        EXPECT_EQ(child->read_line(), "ready");
        return child;
    }

    TemporaryFolder m_device;
    std::unique_ptr<PeerService> m_peers;
};

TEST_F(PeerWindows, FindsAnotherProcesssWindowAndReadsItsUserData) {
    ASSERT_TRUE(m_peers->joined());
    const auto child = serve("Running", "2048");
    const HWND window = FindWindowW(u"peertest", u"RUNNING");
    ASSERT_TRUE(window);
    EXPECT_EQ(FindWindowW(u"PeerTest", u"Running"), window) << "one proxy per foreign window";
    EXPECT_EQ(window.value() & 1u, 0u) << "the lowest bit stays free for SetForegroundWindow";
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(GetWindowLongW(window, GWL_USERDATA), 2048);
    EXPECT_TRUE(SetForegroundWindow(HWND(window.value() | 1u)));
    EXPECT_FALSE(FindWindowW(u"PeerTest", u"Elsewhere"));
    EXPECT_FALSE(IsWindowVisible(window)) << "nothing but the shared calls reach it";
}

TEST_F(PeerWindows, ACloseRequestEndsTheOtherProcess) {
    const auto child = serve("Starting", "1024");
    const HWND window = FindWindowW(u"PeerTest", u"Starting");
    ASSERT_TRUE(window);
    EXPECT_EQ(SendMessageW(window, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(child->wait(), 0);
    EXPECT_EQ(GetWindowLongW(window, GWL_USERDATA), 0);
    EXPECT_FALSE(IsWindow(window)) << "a window found gone loses its proxy";
    EXPECT_FALSE(FindWindowW(u"PeerTest", u"Starting"));
}

TEST_F(PeerWindows, AnotherProcessClosesAWindowOfThisOne) {
    const ParentWindow parent;
    ChildProcess child({PEER_WINDOW_PROCESS, m_device.path().string(), "close", "Parent"});
    EXPECT_EQ(child.wait(), 0);
    EXPECT_EQ(g_close_requests.load(), 1);
}

TEST_F(PeerWindows, ADeadPeerIsAbsentAndItsSocketIsRemoved) {
    const auto child = serve("Doomed", "2048");
    const HWND window = FindWindowW(u"PeerTest", u"Doomed");
    ASSERT_TRUE(window);
    child->kill();
    child->wait();
    EXPECT_FALSE(PostMessageW(window, WM_CLOSE, 0, 0));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(FindWindowW(u"PeerTest", u"Doomed"));
    const std::optional<std::filesystem::path> folder = peer_folder(m_device.path());
    ASSERT_TRUE(folder);
    size_t sockets = 0;
    for (const auto& entry : std::filesystem::directory_iterator(*folder)) {
        const bool socket = entry.path().extension() == ".sock";
        sockets += socket && entry.path() != peer_socket(*folder, getpid()) ? 1 : 0;
    }
    EXPECT_EQ(sockets, 0u);
}

TEST_F(PeerWindows, MessagesThatCarryPointersDoNotCross) {
    const auto child = serve("Pointers", "7");
    const HWND window = FindWindowW(u"PeerTest", u"Pointers");
    ASSERT_TRUE(window);
    EXPECT_FALSE(SetWindowTextW(window, u"Renamed"));
    EXPECT_TRUE(IsWindow(window)) << "refusing a message says nothing about the window";
    EXPECT_EQ(GetWindowLongW(window, GWL_USERDATA), 7);
}

TEST_F(PeerWindows, DevicesOnOtherFoldersDoNotMeet) {
    const TemporaryFolder other;
    ChildProcess child({PEER_WINDOW_PROCESS, other.path().string(), "serve", "Apart", "1"});
    EXPECT_EQ(child.read_line(), "ready");
    EXPECT_FALSE(FindWindowW(u"PeerTest", u"Apart"));
    EXPECT_NE(peer_folder(other.path()), peer_folder(m_device.path()));
}

} // namespace

} // namespace handset::testing
