#include "message_log.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace handset::testing {

ExpectedMessage expect(HWND window, UINT message) {
    return ExpectedMessage{window, message, std::nullopt, std::nullopt, false};
}

ExpectedMessage expect(HWND window, UINT message, WPARAM wparam) {
    return ExpectedMessage{window, message, wparam, std::nullopt, false};
}

ExpectedMessage expect(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return ExpectedMessage{window, message, wparam, lparam, false};
}

ExpectedMessage maybe(HWND window, UINT message) {
    return ExpectedMessage{window, message, std::nullopt, std::nullopt, true};
}

MessageLog& MessageLog::instance() {
    static MessageLog log;
    return log;
}

void MessageLog::record(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    std::lock_guard lock(m_mutex);
    if (!m_ignored.contains(message)) {
        m_messages.push_back(LoggedMessage{window, message, wparam, lparam});
    }
}

void MessageLog::clear() {
    std::lock_guard lock(m_mutex);
    m_messages.clear();
    m_ignored.clear();
}

void MessageLog::ignore(std::initializer_list<UINT> messages) {
    std::lock_guard lock(m_mutex);
    m_ignored.insert(messages);
}

std::vector<LoggedMessage> MessageLog::take() {
    std::lock_guard lock(m_mutex);
    std::vector<LoggedMessage> taken;
    taken.swap(m_messages);
    return taken;
}

namespace {

LRESULT CALLBACK watching_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    MessageLog& log = MessageLog::instance();
    log.record(window, message, wparam, lparam);
    return CallWindowProcW(log.previous_procedure(window), window, message, wparam, lparam);
}

} // namespace

void MessageLog::watch(HWND window) {
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(watching_procedure)));
    std::lock_guard lock(m_mutex);
    m_watched.emplace_back(window, previous);
}

WNDPROC MessageLog::previous_procedure(HWND window) const {
    std::lock_guard lock(m_mutex);
    for (auto it = m_watched.rbegin(); it != m_watched.rend(); ++it) {
        if (it->first == window) {
            return it->second;
        }
    }
    return DefWindowProcW;
}

LRESULT CALLBACK logging_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    MessageLog::instance().record(window, message, wparam, lparam);
    return DefWindowProcW(window, message, wparam, lparam);
}

void register_test_class(const char16_t* name, WNDPROC procedure, HBRUSH background,
                         int window_extra) {
    WNDCLASSW record{};
    record.lpfnWndProc = procedure;
    record.cbWndExtra = window_extra;
    record.hbrBackground = background;
    record.lpszClassName = name;
    RegisterClassW(&record);
}

std::string message_name(UINT message) {
    static const std::pair<UINT, const char*> names[] = {
        {WM_NULL, "WM_NULL"},
        {WM_CREATE, "WM_CREATE"},
        {WM_DESTROY, "WM_DESTROY"},
        {WM_MOVE, "WM_MOVE"},
        {WM_SIZE, "WM_SIZE"},
        {WM_ACTIVATE, "WM_ACTIVATE"},
        {WM_SETFOCUS, "WM_SETFOCUS"},
        {WM_KILLFOCUS, "WM_KILLFOCUS"},
        {WM_ENABLE, "WM_ENABLE"},
        {WM_SETTEXT, "WM_SETTEXT"},
        {WM_GETTEXT, "WM_GETTEXT"},
        {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"},
        {WM_PAINT, "WM_PAINT"},
        {WM_CLOSE, "WM_CLOSE"},
        {WM_QUIT, "WM_QUIT"},
        {WM_ERASEBKGND, "WM_ERASEBKGND"},
        {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
        {WM_SETFONT, "WM_SETFONT"},
        {WM_GETFONT, "WM_GETFONT"},
        {WM_NCCREATE, "WM_NCCREATE"},
        {WM_NCDESTROY, "WM_NCDESTROY"},
        {WM_NCPAINT, "WM_NCPAINT"},
        {WM_GETDLGCODE, "WM_GETDLGCODE"},
        {WM_KEYDOWN, "WM_KEYDOWN"},
        {WM_KEYUP, "WM_KEYUP"},
        {WM_CHAR, "WM_CHAR"},
        {WM_INITDIALOG, "WM_INITDIALOG"},
        {WM_COMMAND, "WM_COMMAND"},
        {WM_INITMENUPOPUP, "WM_INITMENUPOPUP"},
        {WM_CTLCOLORDLG, "WM_CTLCOLORDLG"},
        {WM_CTLCOLORSTATIC, "WM_CTLCOLORSTATIC"},
        {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
        {WM_LBUTTONUP, "WM_LBUTTONUP"},
        {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
        {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
        {WM_STYLECHANGED, "WM_STYLECHANGED"},
        {DM_GETDEFID, "DM_GETDEFID"},
    };
    for (const auto& [value, name] : names) {
        if (value == message) {
            return name;
        }
    }
    char number[16];
    std::snprintf(number, sizeof(number), "0x%04x", message);
    return number;
}

namespace {

bool entry_matches(const LoggedMessage& actual, const ExpectedMessage& expected) {
    return actual.window == expected.window && actual.message == expected.message &&
           (!expected.wparam || *expected.wparam == actual.wparam) &&
           (!expected.lparam || *expected.lparam == actual.lparam);
}

std::string describe(const std::vector<LoggedMessage>& actual,
                     const std::vector<ExpectedMessage>& expected) {
    std::ostringstream text;
    text << "expected:\n";
    for (const ExpectedMessage& entry : expected) {
        text << "  " << (entry.optional ? "(optional) " : "") << "0x" << std::hex
             << entry.window.value() << std::dec << " " << message_name(entry.message);
        if (entry.wparam) {
            text << " wparam " << *entry.wparam;
        }
        text << "\n";
    }
    text << "actual:\n";
    for (const LoggedMessage& entry : actual) {
        text << "  0x" << std::hex << entry.window.value() << std::dec << " "
             << message_name(entry.message) << " wparam " << entry.wparam << "\n";
    }
    return text.str();
}

} // namespace

::testing::AssertionResult sequence_matches(const std::vector<LoggedMessage>& actual,
                                            const std::vector<ExpectedMessage>& expected) {
    size_t position = 0;
    for (const ExpectedMessage& entry : expected) {
        if (position < actual.size() && entry_matches(actual[position], entry)) {
            ++position;
        } else if (!entry.optional) {
            return ::testing::AssertionFailure()
                   << "missing " << message_name(entry.message) << " at entry " << position << "\n"
                   << describe(actual, expected);
        }
    }
    if (position != actual.size()) {
        return ::testing::AssertionFailure()
               << "unexpected " << message_name(actual[position].message) << " at entry "
               << position << "\n"
               << describe(actual, expected);
    }
    return ::testing::AssertionSuccess();
}

} // namespace handset::testing
