// The desktop window end to end, under a virtual X server (the tests run inside xvfb-run): a
// dialog with a menu bar shown in the window, worked with the mouse and keys the way a person
// would, their events pushed into SDL's queue as the desktop would deliver them.
#include "automation/window_input.h"
#include "display/png_file.h"
#include "display/screenshot.h"
#include "display/sdl_display.h"
#include "display/shell_input.h"
#include "gdi/screen.h"

#include <SDL.h>
#include <aygshell.h>
#include <gmock/gmock.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

using handset::Screen;
using handset::ScreenProfile;
using handset::Surface;
using testing::Contains;

// D-Bus, which SDL opens for the desktop's services, keeps its connection's buffers for the
// process's life; the leak checker of the address-sanitizer build is told so.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}

namespace {

struct DialogLog {
    std::vector<WPARAM> commands;
    std::vector<WPARAM> setting_changes;
    int close_requests = 0;
    LONG stylus_down_time = -1;
    LONG stylus_up_time = -1;
};

DialogLog g_log;

INT_PTR CALLBACK dialog_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLG | SHIDIF_DONEBUTTON};
        SHInitDialog(&init);
        SHMENUBARINFO bar{};
        bar.cbSize = sizeof(bar);
        bar.hwndParent = dialog;
        bar.dwFlags = SHCMBF_HMENU | SHCMBF_HIDESIPBUTTON;
        bar.nToolBarId = 100;
        bar.hInstRes = GetModuleHandleW(nullptr);
        SHCreateMenuBar(&bar);
        return TRUE;
    }
    case WM_COMMAND:
        g_log.commands.push_back(wparam);
        return TRUE;
    case WM_SETTINGCHANGE:
        g_log.setting_changes.push_back(wparam);
        return TRUE;
    case WM_CLOSE:
        ++g_log.close_requests;
        return TRUE;
    case WM_LBUTTONDOWN:
        g_log.stylus_down_time = GetMessageTime();
        return TRUE;
    case WM_LBUTTONUP:
        g_log.stylus_up_time = GetMessageTime();
        return TRUE;
    default:
        return FALSE;
    }
}

void push(SDL_Event event) {
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

class SdlDisplayTest : public testing::Test {
  protected:
    void SetUp() override {
        Screen::instance().set_profile(ScreenProfile::qvga());
        g_log = DialogLog();
        const HMODULE module = GetModuleHandleW(nullptr);
        const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(300), RT_DIALOG);
        ASSERT_TRUE(found);
        m_dialog = CreateDialogIndirectParamW(
            module, static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(module, found))), HWND(),
            dialog_procedure, 0);
        ASSERT_TRUE(m_dialog);
        ShowWindow(m_dialog, SW_SHOW);
        ASSERT_TRUE(m_display.open(m_input)) << "the tests run under xvfb-run";
        pump();
    }

    void TearDown() override {
        m_display.close();
        DestroyWindow(m_dialog);
        pump();
    }

    static void pump() {
        MSG message{};
        while (PeekMessageW(&message, HWND(), 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    // Pumps this thread's messages (the dialog's) until the condition holds; false after 10 s.
    static bool pump_until(const std::function<bool()>& condition) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    // The dialog's edit field, given the focus.
    HWND focused_field() const {
        const HWND field = GetDlgItem(m_dialog, 1000);
        SetFocus(field);
        return field;
    }

    // What the desktop's keyboard sends for typed text: UTF-8, one event for all of it.
    static void type_text(const char* utf8) {
        SDL_Event text{};
        text.type = SDL_TEXTINPUT;
        std::strcpy(text.text.text, utf8);
        push(text);
    }

    // Pumps until the field holds the text; false after 10 s.
    static bool field_holds(HWND field, std::u16string_view expected) {
        return pump_until([&] {
            WCHAR typed[32] = {};
            GetWindowTextW(field, typed, 32);
            return std::u16string_view(typed) == expected;
        });
    }

    // Where a point of a window's client area shows in the desktop window.
    POINT window_point_of(HWND window, POINT client) const {
        ClientToScreen(window, &client);
        return m_display.window_point(client);
    }

    void click(POINT at, Uint8 button) {
        SDL_Event event{};
        event.button.button = button;
        event.button.x = at.x;
        event.button.y = at.y;
        event.type = SDL_MOUSEBUTTONDOWN;
        event.button.state = SDL_PRESSED;
        push(event);
        event.type = SDL_MOUSEBUTTONUP;
        event.button.state = SDL_RELEASED;
        push(event);
    }

    static void press(SDL_Keycode key) {
        SDL_Event event{};
        event.key.keysym.sym = key;
        event.type = SDL_KEYDOWN;
        event.key.state = SDL_PRESSED;
        push(event);
        event.type = SDL_KEYUP;
        event.key.state = SDL_RELEASED;
        push(event);
    }

    // True once the window shows what the screen holds, at every sample point.
    bool window_shows_the_screen() {
        pump();
        const std::optional<Surface> shown = m_display.shown_screen();
        const Surface screen = Screen::instance().compose();
        if (!shown || shown->width() != screen.width() || shown->height() != screen.height()) {
            return false;
        }
        for (int y = 0; y < screen.height(); y += 7) {
            for (int x = 0; x < screen.width(); x += 5) {
                if (shown->pixel(x, y) != screen.pixel(x, y)) {
                    return false;
                }
            }
        }
        return true;
    }

    HWND m_dialog;
    handset::WindowSystemInput m_window_system;
    handset::ShellInput m_input{m_window_system};
    handset::SdlDisplay m_display;
};

WPARAM command(UINT id, WORD code = 0) {
    return MAKEWPARAM(id, code);
}

} // namespace

TEST_F(SdlDisplayTest, TheWindowShowsTheScreenScaled) {
    EXPECT_TRUE(pump_until([&] { return window_shows_the_screen(); }));
    const POINT origin = m_display.window_point(POINT{0, 0});
    const POINT next = m_display.window_point(POINT{1, 1});
    EXPECT_GE(next.x - origin.x, 1);
    EXPECT_EQ(next.x - origin.x, next.y - origin.y) << "the same scale both ways";
}

TEST_F(SdlDisplayTest, AClickTapsTheButtonUnderItAndTheScreenshotShowsTheDialog) {
    const HWND button = GetDlgItem(m_dialog, 1001);
    RECT area;
    GetClientRect(button, &area);
    click(window_point_of(button, POINT{area.right / 2, area.bottom / 2}), SDL_BUTTON_LEFT);
    EXPECT_TRUE(pump_until([] {
        return std::count(g_log.commands.begin(), g_log.commands.end(),
                          command(1001, BN_CLICKED)) == 1;
    }));
    ASSERT_TRUE(pump_until([&] { return window_shows_the_screen(); }));
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "sdl_smoke.png";
    ASSERT_TRUE(handset::save_screenshot(path));
    const std::optional<Surface> saved = handset::read_png(path);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->width(), 240);
    EXPECT_EQ(saved->height(), 320);
    std::filesystem::remove(path);
}

TEST_F(SdlDisplayTest, F1AndF2PressTheSoftKeysAndEscTheTaskBarsButton) {
    press(SDLK_F1);
    press(SDLK_F2);
    press(SDLK_ESCAPE);
    EXPECT_TRUE(pump_until([] { return g_log.commands.size() == 3; }));
    EXPECT_THAT(g_log.commands,
                testing::ElementsAre(command(361), command(362), command(IDOK, BN_CLICKED)));
}

TEST_F(SdlDisplayTest, ARightClickIsATapAndHold) {
    RECT client;
    GetClientRect(m_dialog, &client);
    click(window_point_of(m_dialog, POINT{client.right - 10, client.bottom - 10}),
          SDL_BUTTON_RIGHT);
    ASSERT_TRUE(pump_until([] { return g_log.stylus_up_time >= 0; }));
    EXPECT_GE(g_log.stylus_up_time - g_log.stylus_down_time, 500);
}

// Each step waits for the field, as a person types: characters and keys are separate events.
TEST_F(SdlDisplayTest, TheKeyboardTypesIntoTheFocusedField) {
    const HWND field = focused_field();
    type_text("h\xc3\xa9");
    EXPECT_TRUE(field_holds(field, u"h\u00e9"));
    press(SDLK_BACKSPACE);
    EXPECT_TRUE(field_holds(field, u"h"));
    type_text("i");
    EXPECT_TRUE(field_holds(field, u"hi"));
}

TEST_F(SdlDisplayTest, TypedTextBeyondLatin1AndTheEditingKeysReachTheField) {
    const HWND field = focused_field();
    type_text("Zo\xc3\xab Jos\xc3\xa9 \xe9\x99\xb3");
    EXPECT_TRUE(field_holds(field, u"Zo\u00eb Jos\u00e9 \u9673"));
    press(SDLK_HOME);
    press(SDLK_DELETE);
    EXPECT_TRUE(field_holds(field, u"o\u00eb Jos\u00e9 \u9673"));
    press(SDLK_END);
    press(SDLK_LEFT);
    press(SDLK_BACKSPACE);
    EXPECT_TRUE(field_holds(field, u"o\u00eb Jos\u00e9\u9673"));
    press(SDLK_RIGHT);
    type_text("!");
    EXPECT_TRUE(field_holds(field, u"o\u00eb Jos\u00e9\u9673!"));
}

TEST_F(SdlDisplayTest, F5TurnsTheScreenTheWindowAndTheDialog) {
    press(SDLK_F5);
    EXPECT_TRUE(pump_until([] { return !g_log.setting_changes.empty(); }));
    EXPECT_THAT(g_log.setting_changes, Contains(SETTINGCHANGE_RESET));
    EXPECT_EQ(Screen::instance().profile().width, 320);
    EXPECT_TRUE(pump_until([&] { return window_shows_the_screen(); }));
}

TEST_F(SdlDisplayTest, ClosingTheWindowAsksTheProgramToClose) {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    push(quit);
    EXPECT_TRUE(pump_until([] { return g_log.close_requests == 1; }));
}
