#include "message_log.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <utility>

namespace handset::testing {

namespace {

// The message the calling thread is dispatching from its queue, until its window procedure has
// been reached. Dispatches nest when a procedure runs a loop of its own.
struct Dispatch {
    const MSG* message;
    bool delivered = false;
};
thread_local Dispatch* t_dispatch = nullptr;

// Windows whose default procedure is running on this thread. A window's messages are handled on
// the thread that made it, so what a default procedure causes happens on the same thread.
thread_local std::vector<HWND> t_default_handling;

bool same_message(const LoggedMessage& a, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return a.window == window && a.message == message && a.wparam == wparam && a.lparam == lparam;
}

bool reaches_dispatched_message(const LoggedMessage& entry) {
    if (t_dispatch == nullptr || t_dispatch->delivered) {
        return false;
    }
    const MSG& message = *t_dispatch->message;
    if (!same_message(entry, message.hwnd, message.message, message.wParam, message.lParam)) {
        return false;
    }
    t_dispatch->delivered = true;
    return true;
}

} // namespace

ExpectedMessage ExpectedMessage::posted() const {
    ExpectedMessage entry = *this;
    entry.delivery = Delivery::posted;
    return entry;
}

ExpectedMessage ExpectedMessage::parent() const {
    ExpectedMessage entry = *this;
    entry.to_parent = true;
    return entry;
}

ExpectedMessage ExpectedMessage::by_default() const {
    ExpectedMessage entry = *this;
    entry.from_default = true;
    return entry;
}

ExpectedMessage ExpectedMessage::optionally() const {
    ExpectedMessage entry = *this;
    entry.optional = true;
    return entry;
}

ExpectedMessage ExpectedMessage::code(UINT notify) const {
    ExpectedMessage entry = *this;
    entry.notify_code = notify;
    return entry;
}

ExpectedMessage expect(HWND window, UINT message) {
    ExpectedMessage entry;
    entry.window = window;
    entry.message = message;
    return entry;
}

ExpectedMessage expect(HWND window, UINT message, WPARAM wparam) {
    ExpectedMessage entry = expect(window, message);
    entry.wparam = wparam;
    return entry;
}

ExpectedMessage expect(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    ExpectedMessage entry = expect(window, message, wparam);
    entry.lparam = lparam;
    return entry;
}

ExpectedMessage maybe(HWND window, UINT message) {
    return expect(window, message).optionally();
}

ExpectedMessage to_parent(UINT message) {
    return expect(HWND(), message).parent();
}

ExpectedMessage to_parent(UINT message, WPARAM wparam) {
    return expect(HWND(), message, wparam).parent();
}

ExpectedMessage to_parent(UINT message, WPARAM wparam, LPARAM lparam) {
    return expect(HWND(), message, wparam, lparam).parent();
}

ExpectedMessage notification(UINT code) {
    return to_parent(WM_NOTIFY).code(code);
}

MessageLog& MessageLog::instance() {
    static MessageLog log;
    return log;
}

void MessageLog::record(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    LoggedMessage entry{window, message, wparam, lparam};
    const bool dispatched = reaches_dispatched_message(entry);
    entry.from_default = std::find(t_default_handling.begin(), t_default_handling.end(), window) !=
                         t_default_handling.end();
    if (message == WM_NOTIFY && lparam != 0) {
        entry.notify_code = reinterpret_cast<const NMHDR*>(lparam)->code;
    }
    entry.position = GetMessagePos();
    std::lock_guard lock(m_mutex);
    // A message the test posted counts as delivered even when it is not logged.
    const bool posted_by_test = take_post(entry);
    if (m_ignored.contains(message)) {
        return;
    }
    entry.delivery = dispatched || posted_by_test ? Delivery::posted : Delivery::sent;
    entry.to_parent = m_parents.contains(window);
    m_messages.push_back(entry);
}

void MessageLog::clear() {
    std::lock_guard lock(m_mutex);
    m_messages.clear();
    m_ignored.clear();
    m_parents.clear();
    m_posts.clear();
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
    return pass_to_default(log.previous_procedure(window), window, message, wparam, lparam);
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

void MessageLog::mark_parent(HWND window) {
    std::lock_guard lock(m_mutex);
    m_parents.insert(window);
}

BOOL MessageLog::post(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    // Remembered first: another thread may take the message before PostMessage returns.
    {
        std::lock_guard lock(m_mutex);
        m_posts.push_back(LoggedMessage{window, message, wparam, lparam});
    }
    if (PostMessageW(window, message, wparam, lparam)) {
        return TRUE;
    }
    std::lock_guard lock(m_mutex);
    m_posts.pop_back();
    return FALSE;
}

bool MessageLog::take_post(const LoggedMessage& message) {
    const auto found = std::find_if(m_posts.begin(), m_posts.end(), [&](const LoggedMessage& post) {
        return same_message(message, post.window, post.message, post.wparam, post.lparam);
    });
    if (found == m_posts.end()) {
        return false;
    }
    m_posts.erase(found);
    return true;
}

LRESULT pass_to_default(WNDPROC procedure, HWND window, UINT message, WPARAM wparam,
                        LPARAM lparam) {
    t_default_handling.push_back(window);
    const LRESULT result = CallWindowProcW(procedure, window, message, wparam, lparam);
    t_default_handling.pop_back();
    return result;
}

LRESULT CALLBACK logging_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    MessageLog::instance().record(window, message, wparam, lparam);
    return pass_to_default(DefWindowProcW, window, message, wparam, lparam);
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

void dispatch_message(const MSG& message) {
    TranslateMessage(&message);
    Dispatch current{&message};
    Dispatch* const outer = std::exchange(t_dispatch, &current);
    DispatchMessageW(&message);
    t_dispatch = outer;
}

void pump_messages() {
    MSG message{};
    while (PeekMessageW(&message, HWND(), 0, 0, PM_REMOVE)) {
        dispatch_message(message);
    }
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
        {WM_SETREDRAW, "WM_SETREDRAW"},
        {WM_SETTEXT, "WM_SETTEXT"},
        {WM_GETTEXT, "WM_GETTEXT"},
        {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"},
        {WM_PAINT, "WM_PAINT"},
        {WM_CLOSE, "WM_CLOSE"},
        {WM_QUIT, "WM_QUIT"},
        {WM_ERASEBKGND, "WM_ERASEBKGND"},
        {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
        {WM_SETTINGCHANGE, "WM_SETTINGCHANGE"},
        {WM_CANCELMODE, "WM_CANCELMODE"},
        {WM_SETCURSOR, "WM_SETCURSOR"},
        {WM_SETFONT, "WM_SETFONT"},
        {WM_GETFONT, "WM_GETFONT"},
        {WM_NOTIFY, "WM_NOTIFY"},
        {WM_CONTEXTMENU, "WM_CONTEXTMENU"},
        {WM_STYLECHANGED, "WM_STYLECHANGED"},
        {WM_NCCREATE, "WM_NCCREATE"},
        {WM_NCDESTROY, "WM_NCDESTROY"},
        {WM_NCPAINT, "WM_NCPAINT"},
        {WM_GETDLGCODE, "WM_GETDLGCODE"},
        {WM_KEYDOWN, "WM_KEYDOWN"},
        {WM_KEYUP, "WM_KEYUP"},
        {WM_CHAR, "WM_CHAR"},
        {WM_INITDIALOG, "WM_INITDIALOG"},
        {WM_COMMAND, "WM_COMMAND"},
        {WM_HSCROLL, "WM_HSCROLL"},
        {WM_VSCROLL, "WM_VSCROLL"},
        {WM_INITMENUPOPUP, "WM_INITMENUPOPUP"},
        {WM_CTLCOLOREDIT, "WM_CTLCOLOREDIT"},
        {WM_CTLCOLORBTN, "WM_CTLCOLORBTN"},
        {WM_CTLCOLORDLG, "WM_CTLCOLORDLG"},
        {WM_CTLCOLORSCROLLBAR, "WM_CTLCOLORSCROLLBAR"},
        {WM_CTLCOLORSTATIC, "WM_CTLCOLORSTATIC"},
        {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
        {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
        {WM_LBUTTONUP, "WM_LBUTTONUP"},
        {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
        {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
        {WM_HOTKEY, "WM_HOTKEY"},
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

std::vector<LoggedMessage> only(std::vector<LoggedMessage> log,
                                std::initializer_list<UINT> messages) {
    std::erase_if(log, [&](const LoggedMessage& entry) {
        return std::find(messages.begin(), messages.end(), entry.message) == messages.end();
    });
    return log;
}

namespace {

std::string notify_code_name(UINT code) {
    static const std::pair<UINT, const char*> names[] = {
        {static_cast<UINT>(NM_CLICK), "NM_CLICK"},
        {static_cast<UINT>(NM_DBLCLK), "NM_DBLCLK"},
        {static_cast<UINT>(NM_RETURN), "NM_RETURN"},
        {static_cast<UINT>(NM_SETFOCUS), "NM_SETFOCUS"},
        {static_cast<UINT>(NM_KILLFOCUS), "NM_KILLFOCUS"},
    };
    for (const auto& [value, name] : names) {
        if (value == code) {
            return name;
        }
    }
    return std::to_string(static_cast<int>(code));
}

std::string hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof(text), "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

// The parts both sides of a row share, in the same order, so that the columns read alike.
std::string describe(HWND window, bool to_parent, UINT message, Delivery delivery,
                     bool from_default) {
    std::string text = window ? hex(window.value()) : "any";
    if (to_parent) {
        text += " parent";
    }
    text += " " + message_name(message);
    text += delivery == Delivery::posted ? " posted" : " sent";
    if (from_default) {
        text += " default";
    }
    return text;
}

std::string describe(const ExpectedMessage& entry) {
    std::string text = entry.optional ? "(optional) " : "";
    text +=
        describe(entry.window, entry.to_parent, entry.message, entry.delivery, entry.from_default);
    if (entry.wparam) {
        text += " w " + hex(*entry.wparam);
    }
    if (entry.lparam) {
        text += " l " + hex(static_cast<uint64_t>(*entry.lparam));
    }
    if (entry.notify_code) {
        text += " " + notify_code_name(*entry.notify_code);
    }
    return text;
}

std::string describe(const LoggedMessage& entry) {
    std::string text =
        describe(entry.window, entry.to_parent, entry.message, entry.delivery, entry.from_default);
    text += " w " + hex(entry.wparam) + " l " + hex(static_cast<uint64_t>(entry.lparam));
    if (entry.message == WM_NOTIFY) {
        text += " " + notify_code_name(entry.notify_code);
    }
    return text;
}

bool entry_matches(const LoggedMessage& actual, const ExpectedMessage& expected) {
    return (!expected.window || actual.window == expected.window) &&
           actual.message == expected.message && actual.delivery == expected.delivery &&
           actual.to_parent == expected.to_parent && actual.from_default == expected.from_default &&
           (!expected.wparam || *expected.wparam == actual.wparam) &&
           (!expected.lparam || *expected.lparam == actual.lparam) &&
           (!expected.notify_code || *expected.notify_code == actual.notify_code);
}

struct Row {
    std::string expected;
    std::string recorded;
};

std::string side_by_side(const std::vector<Row>& rows, size_t parting) {
    size_t width = std::string("expected").size();
    for (const Row& row : rows) {
        width = std::max(width, row.expected.size());
    }
    std::ostringstream text;
    auto line = [&](const char* mark, const std::string& left, const std::string& right) {
        text << mark << left << std::string(width - left.size(), ' ') << " | " << right << "\n";
    };
    line("  ", "expected", "recorded");
    for (size_t index = 0; index < rows.size(); ++index) {
        line(index == parting ? "> " : "  ", rows[index].expected, rows[index].recorded);
    }
    return text.str();
}

} // namespace

::testing::AssertionResult sequence_matches(const std::vector<LoggedMessage>& actual,
                                            const std::vector<ExpectedMessage>& expected) {
    // Walk both in step; an optional entry that does not match takes a row with nothing recorded
    // beside it. From the first difference on, the rest of each side is listed row by row.
    std::vector<Row> rows;
    size_t position = 0;
    size_t next_expected = 0;
    for (; next_expected < expected.size(); ++next_expected) {
        const ExpectedMessage& entry = expected[next_expected];
        if (position < actual.size() && entry_matches(actual[position], entry)) {
            rows.push_back(Row{describe(entry), describe(actual[position])});
            ++position;
        } else if (entry.optional) {
            rows.push_back(Row{describe(entry), ""});
        } else {
            break;
        }
    }
    if (next_expected == expected.size() && position == actual.size()) {
        return ::testing::AssertionSuccess();
    }
    const size_t parting = rows.size();
    while (next_expected < expected.size() || position < actual.size()) {
        Row row;
        if (next_expected < expected.size()) {
            row.expected = describe(expected[next_expected++]);
        }
        if (position < actual.size()) {
            row.recorded = describe(actual[position++]);
        }
        rows.push_back(row);
    }
    return ::testing::AssertionFailure()
           << "the message sequence differs from row " << parting + 1 << " on:\n"
           << side_by_side(rows, parting);
}

} // namespace handset::testing
