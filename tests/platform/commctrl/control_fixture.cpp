#include "control_fixture.h"

using handset::testing::MessageLog;

namespace {

std::function<LRESULT(HDC, HWND)> g_static_colors;

LRESULT CALLBACK parent_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    MessageLog::instance().record(window, message, wparam, lparam);
    switch (message) {
    case WM_NOTIFY:
    case WM_COMMAND:
    case WM_VSCROLL:
    case WM_CONTEXTMENU:
        return 0;
    case WM_CTLCOLORSTATIC:
        if (g_static_colors) {
            return g_static_colors(HDC(static_cast<uint32_t>(wparam)),
                                   HWND(static_cast<uint32_t>(lparam)));
        }
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

void ControlFixture::SetUp() {
    handset::Screen::instance().set_profile(handset::ScreenProfile::qvga());
    MessageLog::instance().clear();
    g_static_colors = nullptr;
    static const bool registered = [] {
        WNDCLASSW record{};
        record.lpfnWndProc = parent_procedure;
        record.hbrBackground = HBRUSH(static_cast<uint32_t>(COLOR_WINDOW + 1));
        record.lpszClassName = u"CommctrlTestParent";
        return RegisterClassW(&record) != 0;
    }();
    ASSERT_TRUE(registered);
    m_parent = CreateWindowExW(0, u"CommctrlTestParent", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                               HWND(), HMENU(), HINSTANCE(), nullptr);
    ASSERT_TRUE(m_parent);
    MessageLog::instance().mark_parent(m_parent);
    pump();
}

void ControlFixture::TearDown() {
    DestroyWindow(m_parent);
    pump();
    MessageLog::instance().clear();
    g_static_colors = nullptr;
}

HWND ControlFixture::create(LPCWSTR class_name, DWORD style, RECT rect, LPCWSTR text, int id) {
    const HWND control =
        CreateWindowExW(0, class_name, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, m_parent,
                        HMENU(static_cast<uint32_t>(id)), HINSTANCE(), nullptr);
    EXPECT_TRUE(control);
    pump();
    return control;
}

void ControlFixture::pump() {
    handset::testing::pump_messages();
}

void ControlFixture::tap(HWND window, POINT client_point) {
    post_stylus(window, WM_LBUTTONDOWN, client_point);
    post_stylus(window, WM_LBUTTONUP, client_point);
    pump();
}

void ControlFixture::hold(HWND window, POINT client_point) {
    post_stylus(window, WM_LBUTTONDOWN, client_point);
    POINT screen = client_point;
    ClientToScreen(window, &screen);
    PostMessageW(window, WM_CONTEXTMENU, static_cast<WPARAM>(window.value()),
                 MAKELPARAM(screen.x, screen.y));
    post_stylus(window, WM_LBUTTONUP, client_point);
    pump();
}

void ControlFixture::press_key(HWND window, UINT key) {
    SendMessageW(window, WM_KEYDOWN, key, 0);
    SendMessageW(window, WM_KEYUP, key, 0);
    pump();
}

void ControlFixture::type_text(HWND window, std::u16string_view text) {
    for (const char16_t character : text) {
        SendMessageW(window, WM_CHAR, character, 0);
    }
    pump();
}

COLORREF ControlFixture::pixel(POINT screen_point) {
    pump();
    const handset::Surface screen = handset::Screen::instance().compose();
    return handset::colorref_from_pixel(screen.pixel(screen_point.x, screen_point.y));
}

std::u16string ControlFixture::text_of(HWND window) {
    WCHAR buffer[512] = {};
    const int count =
        static_cast<int>(SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer)));
    return std::u16string(buffer, static_cast<size_t>(count));
}

std::vector<LoggedMessage> ControlFixture::told(std::initializer_list<UINT> messages) {
    return handset::testing::only(MessageLog::instance().take(), messages);
}

std::function<LRESULT(HDC, HWND)>& ControlFixture::static_colors() {
    return g_static_colors;
}
