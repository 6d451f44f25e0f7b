#include "base/debug_output.h"
#include "base/utf.h"
#include "gdi/screen.h"
#include "message_log.h"
#include "template_builder.h"
#include "user/input.h"

#include <gtest/gtest.h>
#include <winbase.h>
#include <wingdi.h>
#include <winuser.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

using namespace handset;
using namespace handset::testing;

namespace {

constexpr UINT step = WM_APP + 7;
constexpr const char16_t* control_class = u"TestControl";
constexpr const char16_t* owner_class = u"DialogOwner";

// What the test at hand wants its dialog procedure to do; the procedure logs first.
std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> g_behaviour;

INT_PTR CALLBACK logging_dialog(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    MessageLog::instance().record(dialog, message, wparam, lparam);
    return g_behaviour ? g_behaviour(dialog, message, wparam, lparam) : FALSE;
}

// Messages about painting and layout that these tests do not look at.
void ignore_noise() {
    MessageLog::instance().ignore({WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_PAINT, WM_NCPAINT,
                                   WM_ERASEBKGND, WM_CTLCOLORDLG, WM_GETDLGCODE, WM_GETTEXT,
                                   WM_GETTEXTLENGTH, DM_GETDEFID});
}

class Dialogs : public ::testing::Test {
  protected:
    void SetUp() override {
        Screen::instance().set_profile(ScreenProfile::qvga());
        register_test_class(control_class);
        register_test_class(owner_class);
        m_owner = CreateWindowExW(0, owner_class, u"Owner", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320,
                                  HWND(), HMENU(), HINSTANCE(), nullptr);
        MessageLog::instance().clear();
        ignore_noise();
    }

    void TearDown() override {
        g_behaviour = nullptr;
        DestroyWindow(m_owner);
        UnregisterClassW(control_class, HINSTANCE());
        UnregisterClassW(owner_class, HINSTANCE());
    }

    static TemplateBuilder two_controls() {
        TemplateBuilder builder(WS_POPUP | WS_CAPTION, 0, 0, 120, 80);
        builder.caption(u"Dialog").font(10, u"MS Shell Dlg");
        builder.control(u"TESTCONTROL", 300, WS_TABSTOP, 4, 4, 60, 12);
        builder.control(u"testcontrol", 301, WS_TABSTOP, 4, 20, 60, 12);
        return builder;
    }

    HWND m_owner;
};

TEST_F(Dialogs, ARunSetsTheFontInitialisesDisablesTheOwnerAndGivesActivationBack) {
    TemplateBuilder builder = two_controls();
    HWND dialog;
    HWND first;
    HWND second;
    g_behaviour = [&](HWND window, UINT message, WPARAM wparam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            dialog = window;
            first = HWND(static_cast<uint32_t>(wparam));
            second = GetDlgItem(window, 301);
            MessageLog::instance().post(window, step, 0, 0);
            return TRUE;
        }
        if (message == step) {
            EXPECT_FALSE(IsWindowEnabled(m_owner));
            EXPECT_EQ(GetFocus(), first);
            EndDialog(window, 42);
            return TRUE;
        }
        return FALSE;
    };
    EXPECT_EQ(DialogBoxIndirectParamW(HINSTANCE(), builder.build(), m_owner, logging_dialog, 5),
              42);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(
        sequence_matches(MessageLog::instance().take(),
                         {
                             expect(dialog, WM_SETFONT),
                             expect(first, WM_SHOWWINDOW, TRUE),
                             expect(first, WM_SETFONT),
                             expect(second, WM_SHOWWINDOW, TRUE),
                             expect(second, WM_SETFONT),
                             expect(dialog, WM_INITDIALOG, static_cast<WPARAM>(first.value()), 5),
                             expect(m_owner, WM_KILLFOCUS),
                             expect(m_owner, WM_ENABLE, FALSE),
                             expect(dialog, WM_SHOWWINDOW, TRUE),
                             expect(m_owner, WM_ACTIVATE, WA_INACTIVE),
                             expect(dialog, WM_ACTIVATE, WA_ACTIVE),
                             expect(first, WM_SETFOCUS),
                             expect(dialog, step).posted(),
                             expect(m_owner, WM_ENABLE, TRUE),
                             expect(dialog, WM_SHOWWINDOW, FALSE),
                             expect(first, WM_KILLFOCUS),
                             expect(dialog, WM_ACTIVATE, WA_INACTIVE),
                             expect(m_owner, WM_ACTIVATE, WA_ACTIVE),
                             expect(m_owner, WM_SETFOCUS).by_default(),
                             expect(dialog, WM_DESTROY),
                             expect(first, WM_DESTROY),
                             expect(second, WM_DESTROY),
                             expect(first, WM_NCDESTROY),
                             expect(second, WM_NCDESTROY),
                             expect(dialog, WM_NCDESTROY),
                         }));
    EXPECT_TRUE(IsWindowEnabled(m_owner));
    EXPECT_EQ(GetActiveWindow(), m_owner);
    EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(Dialogs, InitDialogAnsweringFalseLeavesTheFocusWhereTheDialogPutIt) {
    TemplateBuilder builder = two_controls();
    int focused = 0;
    g_behaviour = [&](HWND window, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            SetFocus(GetDlgItem(window, 301));
            PostMessageW(window, step, 0, 0);
            return FALSE;
        }
        if (message == step) {
            focused = GetDlgCtrlID(GetFocus());
            EndDialog(window, 1);
        }
        return FALSE;
    };
    DialogBoxIndirectParamW(HINSTANCE(), builder.build(), m_owner, logging_dialog, 0);
    EXPECT_EQ(focused, 301);
}

TEST_F(Dialogs, ADialogThatChoosesNoFocusGetsItOnItsFirstTabStopWhenActivated) {
    TemplateBuilder builder = two_controls();
    int focused = 0;
    g_behaviour = [&](HWND window, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            PostMessageW(window, step, 0, 0);
            return FALSE;
        }
        if (message == step) {
            focused = GetDlgCtrlID(GetFocus());
            EndDialog(window, 1);
        }
        return FALSE;
    };
    DialogBoxIndirectParamW(HINSTANCE(), builder.build(), m_owner, logging_dialog, 0);
    EXPECT_EQ(focused, 300) << "the keys reach a control of the active dialog";
}

TEST_F(Dialogs, TheDialogProceduresAnswerFollowsTheDevicesRules) {
    TemplateBuilder builder(WS_POPUP, 0, 0, 50, 50);
    const HBRUSH own_brush = HBRUSH(GetStockObject(BLACK_BRUSH));
    g_behaviour = [&](HWND window, UINT message, WPARAM, LPARAM) -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case step:
            SetWindowLongPtrW(window, DWL_MSGRESULT, 1234);
            return TRUE;
        case step + 1:
            SetWindowLongPtrW(window, DWL_MSGRESULT, 1234);
            return FALSE;
        case WM_CTLCOLORSTATIC:
            SetWindowLongPtrW(window, DWL_MSGRESULT, 99);
            return static_cast<INT_PTR>(own_brush.value());
        default:
            return FALSE;
        }
    };
    const HWND dialog =
        CreateDialogIndirectParamW(HINSTANCE(), builder.build(), m_owner, logging_dialog, 0);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(SendMessageW(dialog, step, 0, 0), 1234);
    EXPECT_EQ(SendMessageW(dialog, step + 1, 0, 0), 0);
    EXPECT_EQ(SendMessageW(dialog, WM_CTLCOLORSTATIC, 0, 0),
              static_cast<LRESULT>(own_brush.value()));
    EXPECT_EQ(SendMessageW(dialog, WM_GETFONT, 0, 0),
              static_cast<LRESULT>(GetStockObject(SYSTEM_FONT).value()));
    DestroyWindow(dialog);
}

TEST_F(Dialogs, NestedDialogsFormAStackAndTheOpenerResumesActive) {
    TemplateBuilder outer_template(WS_POPUP, 0, 0, 100, 100);
    TemplateBuilder inner_template(WS_POPUP, 10, 10, 50, 50);
    const DLGTEMPLATE* inner_data = inner_template.build();
    std::vector<std::string> events;
    HWND outer;
    g_behaviour = [&](HWND window, UINT message, WPARAM wparam, LPARAM lparam) -> INT_PTR {
        const bool is_outer = GetWindowLongPtrW(window, DWL_USER) == 1;
        switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(window, DWL_USER, lparam);
            if (lparam == 1) {
                outer = window;
            }
            PostMessageW(window, step, 0, 0);
            return TRUE;
        case WM_ACTIVATE:
            if (is_outer) {
                events.push_back(LOWORD(wparam) == WA_INACTIVE ? "outer inactive" : "outer active");
            }
            return FALSE;
        case step:
            if (is_outer) {
                events.push_back("outer opens inner");
                const INT_PTR inner_result =
                    DialogBoxIndirectParamW(HINSTANCE(), inner_data, window, logging_dialog, 2);
                events.push_back("inner returned " + std::to_string(inner_result));
                EXPECT_TRUE(IsWindowEnabled(window));
                EXPECT_EQ(GetActiveWindow(), window);
                EndDialog(window, 9);
            } else {
                EXPECT_FALSE(IsWindowEnabled(outer));
                EXPECT_FALSE(IsWindowEnabled(m_owner));
                events.push_back("inner ends");
                EndDialog(window, 7);
            }
            return TRUE;
        default:
            return FALSE;
        }
    };
    EXPECT_EQ(
        DialogBoxIndirectParamW(HINSTANCE(), outer_template.build(), m_owner, logging_dialog, 1),
        9);
    EXPECT_EQ(events, (std::vector<std::string>{"outer active", "outer opens inner",
                                                "outer inactive", "inner ends", "outer active",
                                                "inner returned 7", "outer inactive"}));
    EXPECT_TRUE(IsWindowEnabled(m_owner));
}

TEST_F(Dialogs, EnterPicksIdOkAndEscapePicksIdCancel) {
    TemplateBuilder builder = two_controls();
    HWND dialog;
    g_behaviour = [&](HWND window, UINT message, WPARAM wparam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            dialog = window;
            PostMessageW(window, step, 0, 0);
            return TRUE;
        }
        if (message == step) {
            inject_key(VK_RETURN, true);
            inject_key(VK_RETURN, false);
            inject_key(VK_ESCAPE, true);
            inject_key(VK_ESCAPE, false);
            return TRUE;
        }
        if (message == WM_COMMAND) {
            if (LOWORD(wparam) == IDCANCEL) {
                EndDialog(window, IDCANCEL);
            }
            return TRUE;
        }
        return FALSE;
    };
    MessageLog::instance().take();
    EXPECT_EQ(DialogBoxIndirectParamW(HINSTANCE(), builder.build(), m_owner, logging_dialog, 0),
              IDCANCEL);
    EXPECT_TRUE(
        sequence_matches(only(MessageLog::instance().take(), {WM_COMMAND}),
                         {expect(dialog, WM_COMMAND, IDOK), expect(dialog, WM_COMMAND, IDCANCEL)}));
}

TEST_F(Dialogs, TabMovesTheFocusThroughTheTabStops) {
    TemplateBuilder builder = two_controls();
    std::vector<int> focus;
    g_behaviour = [&](HWND window, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            PostMessageW(window, step, 0, 0);
            return TRUE;
        }
        if (message == step) {
            focus.push_back(GetDlgCtrlID(GetFocus()));
            inject_key(VK_TAB, true);
            // Behind the key in the input queue, so it comes once the key has been handled.
            inject_message(window, step + 1, 0, 0);
            return TRUE;
        }
        if (message == step + 1) {
            focus.push_back(GetDlgCtrlID(GetFocus()));
            EndDialog(window, 0);
            return TRUE;
        }
        return FALSE;
    };
    DialogBoxIndirectParamW(HINSTANCE(), builder.build(), m_owner, logging_dialog, 0);
    inject_key(VK_TAB, false);
    EXPECT_EQ(focus, (std::vector<int>{300, 301}));
}

TEST_F(Dialogs, CloseAsksTheDialogForIdCancel) {
    TemplateBuilder builder(WS_POPUP, 0, 0, 50, 50);
    g_behaviour = [&](HWND window, UINT message, WPARAM wparam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            PostMessageW(window, WM_CLOSE, 0, 0);
            return TRUE;
        }
        if (message == WM_COMMAND && LOWORD(wparam) == IDCANCEL) {
            EndDialog(window, 77);
            return TRUE;
        }
        return FALSE;
    };
    EXPECT_EQ(DialogBoxIndirectParamW(HINSTANCE(), builder.build(), m_owner, logging_dialog, 0),
              77);
}

TEST_F(Dialogs, AQuitRequestEndsTheRunAndIsPassedOn) {
    TemplateBuilder builder(WS_POPUP, 0, 0, 50, 50);
    g_behaviour = [&](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            PostQuitMessage(4);
            return TRUE;
        }
        return FALSE;
    };
    EXPECT_EQ(DialogBoxIndirectParamW(HINSTANCE(), builder.build(), m_owner, logging_dialog, 0), 0);
    EXPECT_TRUE(IsWindowEnabled(m_owner));
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, HWND(), WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 4u);
}

TEST_F(Dialogs, AnUnknownControlClassFailsTheDialogWithADebugLine) {
    TemplateBuilder builder(WS_POPUP, 0, 0, 100, 100);
    builder.control(u"SYSTREEVIEW99", 601, WS_TABSTOP, 0, 0, 50, 50);
    g_behaviour = [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR {
        EXPECT_NE(message, static_cast<UINT>(WM_INITDIALOG));
        return FALSE;
    };
    DebugCapture capture;
    EXPECT_EQ(DialogBoxIndirectParamW(HINSTANCE(), builder.build(), m_owner, logging_dialog, 0),
              -1);
    const std::string text = capture.text();
    EXPECT_NE(text.find("control 601 of class \"SYSTREEVIEW99\""), std::string::npos) << text;
    EXPECT_TRUE(IsWindowEnabled(m_owner));
    EXPECT_FALSE(FindWindowW(MAKEINTRESOURCE(0x8002), nullptr));
}

TEST_F(Dialogs, AFontOfSizeZeroFallsBackToTheSystemFontWithADebugLine) {
    TemplateBuilder builder(WS_POPUP, 0, 0, 40, 40);
    builder.font(0, u"MS Shell Dlg");
    DebugCapture capture;
    const HWND dialog =
        CreateDialogIndirectParamW(HINSTANCE(), builder.build(), m_owner, logging_dialog, 0);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(SendMessageW(dialog, WM_GETFONT, 0, 0),
              static_cast<LRESULT>(GetStockObject(SYSTEM_FONT).value()));
    RECT units{0, 0, 4, 8};
    MapDialogRect(dialog, &units);
    const LONG base = GetDialogBaseUnits();
    EXPECT_EQ(units.right, LOWORD(base));
    EXPECT_EQ(units.bottom, HIWORD(base));
    EXPECT_NE(capture.text().find("size 0"), std::string::npos) << capture.text();
    DestroyWindow(dialog);
}

TEST_F(Dialogs, EndDialogOnAWindowThatIsNoDialogFails) {
    DebugCapture capture;
    EXPECT_FALSE(EndDialog(m_owner, 1));
    EXPECT_EQ(GetLastError(), 1420u);
    EXPECT_FALSE(EndDialog(HWND(), 1));
    EXPECT_EQ(capture.lines().size(), 2u);
}

// A resource file holding one dialog template, as windres writes them: the empty entry first,
// then the dialog's entry, each aligned to four bytes.
std::filesystem::path write_dialog_resource(const std::vector<uint8_t>& dialog, WORD id) {
    std::vector<uint8_t> file;
    auto u32 = [&](uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) {
            file.push_back(static_cast<uint8_t>(value >> shift));
        }
    };
    auto entry = [&](const std::vector<uint8_t>& data, WORD type, WORD name) {
        u32(static_cast<uint32_t>(data.size()));
        u32(32);
        u32(0xFFFFu | (static_cast<uint32_t>(type) << 16));
        u32(0xFFFFu | (static_cast<uint32_t>(name) << 16));
        u32(0);
        u32(0x0409u << 16);
        u32(0);
        u32(0);
        file.insert(file.end(), data.begin(), data.end());
        while (file.size() % 4 != 0) {
            file.push_back(0);
        }
    };
    entry({}, 0, 0);
    entry(dialog, 5, id);
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("user_damaged_" + std::to_string(getpid()) + ".res");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    return path;
}

TEST_F(Dialogs, ADamagedTemplateResourceFailsTheDialogWithoutReadingPastIt) {
    TemplateBuilder builder(WS_POPUP, 0, 0, 40, 40);
    builder.control(u"TestControl", 1, 0, 0, 0, 10, 10);
    const auto* data = reinterpret_cast<const uint8_t*>(builder.build());
    std::vector<uint8_t> dialog(data, data + builder.size());
    // Claim far more controls than the template holds.
    dialog[offsetof(DLGTEMPLATE, cdit)] = 0x60;
    dialog[offsetof(DLGTEMPLATE, cdit) + 1] = 0xEA;
    const std::filesystem::path path = write_dialog_resource(dialog, 7);
    const HMODULE module =
        LoadLibraryExW(utf8_to_utf16(path.string()).c_str(), HANDLE(), LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module);
    DebugCapture capture;
    EXPECT_EQ(DialogBoxParamW(module, MAKEINTRESOURCE(7), m_owner, logging_dialog, 0), -1);
    EXPECT_FALSE(capture.text().empty());
    EXPECT_EQ(DialogBoxParamW(module, MAKEINTRESOURCE(8), m_owner, logging_dialog, 0), -1);
    FreeLibrary(module);
    std::filesystem::remove(path);
}

TEST_F(Dialogs, DialogBoxParamBuildsAWindresTemplateWithItsControlsInDialogUnits) {
    const HMODULE module =
        LoadLibraryExW(u"" USER_FIXTURE_FILE, HANDLE(), LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module);
    RECT control_rect{};
    RECT expected{4, 20, 64, 32};
    std::u16string class_name;
    g_behaviour = [&](HWND window, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            const HWND control = GetDlgItem(window, 301);
            WCHAR name[32];
            GetClassNameW(control, name, 32);
            class_name = name;
            GetWindowRect(control, &control_rect);
            MapWindowPoints(HWND(), window, reinterpret_cast<POINT*>(&control_rect), 2);
            MapDialogRect(window, &expected);
            PostMessageW(window, step, 0, 0);
            return TRUE;
        }
        if (message == step) {
            EndDialog(window, 3);
        }
        return FALSE;
    };
    EXPECT_EQ(DialogBoxParamW(module, MAKEINTRESOURCE(100), m_owner, logging_dialog, 0), 3);
    EXPECT_EQ(class_name, u"TestControl") << "windres stored the name upper case";
    EXPECT_TRUE(EqualRect(&control_rect, &expected));
    FreeLibrary(module);
}

// Dialog units follow the font, and the font follows the screen's density.
SIZE units_at(const ScreenProfile& profile, const DLGTEMPLATE* data, HWND owner) {
    Screen::instance().set_profile(profile);
    const HWND dialog = CreateDialogIndirectParamW(HINSTANCE(), data, owner, logging_dialog, 0);
    RECT units{0, 0, 400, 800};
    MapDialogRect(dialog, &units);
    DestroyWindow(dialog);
    return SIZE{units.right, units.bottom};
}

TEST_F(Dialogs, DialogUnitsScaleWithTheFontAndTheScreensDensity) {
    TemplateBuilder small(WS_POPUP, 0, 0, 40, 40);
    small.font(8, u"MS Shell Dlg");
    TemplateBuilder large(WS_POPUP, 0, 0, 40, 40);
    large.font(16, u"MS Shell Dlg");
    const SIZE small_qvga = units_at(ScreenProfile::qvga(), small.build(), m_owner);
    const SIZE large_qvga = units_at(ScreenProfile::qvga(), large.build(), m_owner);
    const SIZE small_vga = units_at(ScreenProfile::vga(), small.build(), m_owner);
    EXPECT_GT(large_qvga.cx, small_qvga.cx * 3 / 2);
    EXPECT_GT(large_qvga.cy, small_qvga.cy * 3 / 2);
    // Twice the density, about twice the units (glyph heights round differently).
    EXPECT_NEAR(small_vga.cx, 2 * small_qvga.cx, small_qvga.cx / 5);
    EXPECT_NEAR(small_vga.cy, 2 * small_qvga.cy, small_qvga.cy / 5);
}

} // namespace
