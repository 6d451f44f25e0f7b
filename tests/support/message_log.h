// Message sequences for tests: record what windows receive, and compare it with an expected table.
//
// Each recorded message carries how it arrived, so that a table can say more than its number and
// window:
// - sent or posted: posted when it came out of a queue, through pump_messages or dispatch_message,
//   or when the test posted it with MessageLog::post; sent otherwise (a loop of the window
//   system's own, such as a modal dialog's, cannot tell the recorder what it dispatches);
// - to the parent: the window was marked as the parent of the controls under test;
// - from the default procedure: it arrived while the same window's default procedure (or the
//   procedure a watched window had before) was handling an earlier message, that is, the default
//   handling caused it;
// - for WM_NOTIFY, the notification code, read while the NMHDR is still there.
#pragma once

#include <gtest/gtest.h>
#include <winuser.h>

#include <initializer_list>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace handset::testing {

enum class Delivery { sent, posted };

struct LoggedMessage {
    HWND window;
    UINT message = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
    Delivery delivery = Delivery::sent;
    bool to_parent = false;
    bool from_default = false;
    UINT notify_code = 0;
    // GetMessagePos while the message was handled: where the stylus was for it.
    DWORD position = 0;
};

// One entry of an expected table. A null window matches any window; parameters and the
// notification code are compared only when given.
struct ExpectedMessage {
    HWND window;
    UINT message = 0;
    std::optional<WPARAM> wparam;
    std::optional<LPARAM> lparam;
    Delivery delivery = Delivery::sent;
    bool to_parent = false;
    bool from_default = false;
    bool optional = false;
    std::optional<UINT> notify_code;

    ExpectedMessage posted() const;
    ExpectedMessage parent() const;
    ExpectedMessage by_default() const;
    // The entry may be missing from the log.
    ExpectedMessage optionally() const;
    ExpectedMessage code(UINT notify_code) const;
};

ExpectedMessage expect(HWND window, UINT message);
ExpectedMessage expect(HWND window, UINT message, WPARAM wparam);
ExpectedMessage expect(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
ExpectedMessage maybe(HWND window, UINT message);
// A message to the window marked as the parent, whichever window that is.
ExpectedMessage to_parent(UINT message);
ExpectedMessage to_parent(UINT message, WPARAM wparam);
ExpectedMessage to_parent(UINT message, WPARAM wparam, LPARAM lparam);
// WM_NOTIFY to the parent with the given code.
ExpectedMessage notification(UINT code);

// The one log of a test program. Windows log into it through logging_procedure (as a class
// procedure) or watch (subclassing an existing window); other procedures call record.
class MessageLog {
  public:
    static MessageLog& instance();

    void record(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    // Forgets what was logged, which messages are ignored, which window is the parent and what
    // was posted and not yet delivered.
    void clear();
    // Messages not worth logging in the test at hand (WM_GETTEXT from a frame painter, ...).
    void ignore(std::initializer_list<UINT> messages);
    std::vector<LoggedMessage> take();

    // Subclasses the window: each message is logged, then handled by the procedure it had.
    void watch(HWND window);
    WNDPROC previous_procedure(HWND window) const;
    // Messages to this window are logged as the parent's.
    void mark_parent(HWND window);
    // PostMessage, remembering the message so that it is logged as posted whichever loop
    // dispatches it.
    BOOL post(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  private:
    bool take_post(const LoggedMessage& message);

    mutable std::mutex m_mutex;
    std::vector<LoggedMessage> m_messages;
    std::set<UINT> m_ignored;
    std::vector<std::pair<HWND, WNDPROC>> m_watched;
    std::set<HWND> m_parents;
    std::vector<LoggedMessage> m_posts;
};

// Runs the procedure as the window's default handling: what it sends to the same window meanwhile
// is logged as coming from the default procedure.
LRESULT pass_to_default(WNDPROC procedure, HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Logs the message, then answers with DefWindowProc.
LRESULT CALLBACK logging_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Registers a window class for a test (logging_procedure unless told otherwise).
void register_test_class(const char16_t* name, WNDPROC procedure = logging_procedure,
                         HBRUSH background = HBRUSH(), int window_extra = 0);

// Translates and dispatches a message taken out of the queue; the log records it as posted.
void dispatch_message(const MSG& message);
// Dispatches everything queued for the calling thread.
void pump_messages();

// The log without the messages not named: for a test that looks at a few kinds among many.
std::vector<LoggedMessage> only(std::vector<LoggedMessage> log,
                                std::initializer_list<UINT> messages);

// Matches the log against the table in order; optional entries may be left out, nothing else may
// be missing or added. On a mismatch the text shows both sequences side by side, marking the row
// where they part.
::testing::AssertionResult sequence_matches(const std::vector<LoggedMessage>& actual,
                                            const std::vector<ExpectedMessage>& expected);

std::string message_name(UINT message);

} // namespace handset::testing
