// Message sequences for tests: record what windows receive, and compare it with an expected table
// in which entries may be optional.
#pragma once

#include <gtest/gtest.h>
#include <winuser.h>

#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace handset::testing {

struct LoggedMessage {
    HWND window;
    UINT message = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
};

struct ExpectedMessage {
    HWND window;
    UINT message = 0;
    std::optional<WPARAM> wparam;
    std::optional<LPARAM> lparam;
    bool optional = false;
};

ExpectedMessage expect(HWND window, UINT message);
ExpectedMessage expect(HWND window, UINT message, WPARAM wparam);
ExpectedMessage expect(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// An entry that may be missing from the log.
ExpectedMessage maybe(HWND window, UINT message);

// The one log of a test program. Windows log into it through logging_procedure (as a class
// procedure) or watch (subclassing an existing window); dialog procedures call record.
class MessageLog {
  public:
    static MessageLog& instance();

    void record(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    // Forgets what was logged and which messages are ignored.
    void clear();
    // Messages not worth logging in the test at hand (WM_GETTEXT from a frame painter, ...).
    void ignore(std::initializer_list<UINT> messages);
    std::vector<LoggedMessage> take();

    // Subclasses the window: each message is logged, then handled by the procedure it had.
    void watch(HWND window);
    WNDPROC previous_procedure(HWND window) const;

  private:
    mutable std::mutex m_mutex;
    std::vector<LoggedMessage> m_messages;
    std::set<UINT> m_ignored;
    std::vector<std::pair<HWND, WNDPROC>> m_watched;
};

// Logs the message, then answers with DefWindowProc.
LRESULT CALLBACK logging_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Registers a window class for a test (logging_procedure unless told otherwise).
void register_test_class(const char16_t* name, WNDPROC procedure = logging_procedure,
                         HBRUSH background = HBRUSH(), int window_extra = 0);

// Matches the log against the table in order; optional entries may be left out, nothing else may
// be missing or added. On a mismatch, both sequences are printed with message names.
::testing::AssertionResult sequence_matches(const std::vector<LoggedMessage>& actual,
                                            const std::vector<ExpectedMessage>& expected);

std::string message_name(UINT message);

} // namespace handset::testing
