#include "shell_fixture.h"

#include "aygshell/hardware_keys.h"
#include "aygshell/input_panel.h"
#include "user/input_state.h"

using handset::testing::MessageLog;

namespace {

Probes g_probes;

LRESULT CALLBACK owner_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    MessageLog::instance().record(window, message, wparam, lparam);
    switch (message) {
    case WM_COMMAND:
    case WM_HOTKEY:
    case WM_SETTINGCHANGE:
        return 0;
    case popup_probe: {
        RECT rect{};
        GetWindowRect(FindWindowW(u"#32768", nullptr), &rect);
        g_probes.popup_rects.push_back(rect);
        return 0;
    }
    case escape_probe:
        g_probes.escapes_taken.push_back(handset::shell_takes_key(VK_ESCAPE, true));
        return 0;
    default:
        return handset::testing::pass_to_default(DefWindowProcW, window, message, wparam, lparam);
    }
}

void post_stylus(HWND window, UINT message, POINT client_point) {
    POINT screen = client_point;
    ClientToScreen(window, &screen);
    handset::set_stylus_position(screen);
    PostMessageW(window, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                 MAKELPARAM(client_point.x, client_point.y));
}

} // namespace

void ShellFixture::SetUp() {
    handset::Screen::instance().set_profile(handset::ScreenProfile::qvga());
    handset::InputPanel::instance().set_up(false);
    static const bool registered = [] {
        WNDCLASSW record{};
        record.lpfnWndProc = owner_procedure;
        record.hbrBackground = HBRUSH(static_cast<uint32_t>(COLOR_WINDOW + 1));
        record.lpszClassName = u"ShellTestOwner";
        return RegisterClassW(&record) != 0;
    }();
    ASSERT_TRUE(registered);
    m_owner = create_owner();
    pump();
    MessageLog::instance().clear();
    g_probes = Probes();
}

void ShellFixture::TearDown() {
    for (HWND window : m_windows) {
        DestroyWindow(window);
    }
    handset::InputPanel::instance().set_up(false);
    handset::Screen::instance().set_profile(handset::ScreenProfile::qvga());
    pump();
    MessageLog::instance().clear();
    g_probes = Probes();
}

HWND ShellFixture::create_owner(LPCWSTR caption) {
    const HWND window =
        CreateWindowExW(0, u"ShellTestOwner", caption, WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0,
                        200, 200, HWND(), HMENU(), HINSTANCE(), nullptr);
    EXPECT_TRUE(window);
    m_windows.push_back(window);
    pump();
    return window;
}

HWND ShellFixture::create_menu_bar(HWND owner, UINT menu, DWORD flags) {
    SHMENUBARINFO info{};
    info.cbSize = sizeof(info);
    info.hwndParent = owner;
    info.dwFlags = flags;
    info.nToolBarId = menu;
    info.hInstRes = GetModuleHandleW(nullptr);
    EXPECT_TRUE(SHCreateMenuBar(&info));
    pump();
    return info.hwndMB;
}

void ShellFixture::pump() {
    handset::testing::pump_messages();
}

void ShellFixture::tap(HWND window, POINT client_point) {
    post_tap(window, client_point);
    pump();
}

void ShellFixture::post_tap(HWND window, POINT client_point) {
    post_stylus(window, WM_LBUTTONDOWN, client_point);
    post_stylus(window, WM_LBUTTONUP, client_point);
}

POINT ShellFixture::soft_key_point(HWND menu_bar, int position) {
    RECT client;
    GetClientRect(menu_bar, &client);
    return POINT{position == 0 ? client.right / 8 : client.right * 7 / 8, client.bottom / 2};
}

RECT ShellFixture::window_rect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

COLORREF ShellFixture::pixel(POINT screen_point) {
    pump();
    const handset::Surface screen = handset::Screen::instance().compose();
    return handset::colorref_from_pixel(screen.pixel(screen_point.x, screen_point.y));
}

std::vector<LoggedMessage> ShellFixture::told(std::initializer_list<UINT> messages) {
    return handset::testing::only(MessageLog::instance().take(), messages);
}

Probes& ShellFixture::probes() {
    return g_probes;
}

void expect_rect(const RECT& actual, LONG left, LONG top, LONG right, LONG bottom) {
    EXPECT_EQ(actual.left, left);
    EXPECT_EQ(actual.top, top);
    EXPECT_EQ(actual.right, right);
    EXPECT_EQ(actual.bottom, bottom);
}
