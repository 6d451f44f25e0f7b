#include "automation/driver.h"

#include "base/device_folder.h"
#include "base/thread_lifecycle.h"
#include "display/screenshot.h"
#include "user/window_system.h"

#include <libloaderapi.h>

#include <algorithm>

namespace handset {

namespace {

constexpr Milliseconds poll_interval{10};
// How long the destructor waits for a program still running before leaving it behind.
constexpr Milliseconds program_end_limit{10000};
// How long the end of a program waits for the threads it made.
constexpr Milliseconds program_threads_limit{10000};

bool painting_pending() {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    bool pending = false;
    for (HWND top : system.top_levels(lock)) {
        system.walk(lock, top, [&](Window& window) {
            if (system.is_shown(lock, window) &&
                (window.update || window.erase_pending || window.frame_pending)) {
                pending = true;
            }
        });
    }
    return pending;
}

} // namespace

Driver::Driver(InputSink& input, bool capture_debug) : m_input(input) {
    if (capture_debug) {
        m_capture = std::make_unique<DebugCapture>();
    }
}

Driver::~Driver() {
    if (!m_program.joinable()) {
        return;
    }
    if (m_exit.wait_for(program_end_limit) == std::future_status::ready) {
        m_program.join();
        return;
    }
    debug_line("automation: the program is still running; its thread is left behind\n");
    m_program.detach();
}

void Driver::start(ProgramEntry entry, const std::filesystem::path& device,
                   std::u16string command_line) {
    set_device_folder(device);
    std::packaged_task<int()> program([entry, line = std::move(command_line)]() mutable {
        const int code = entry(GetModuleHandleW(nullptr), HINSTANCE(), line.data(), SW_SHOW);
        if (!wait_for_created_threads(program_threads_limit)) {
            debug_line("automation: threads of the program still run after its end\n");
        }
        return code;
    });
    m_exit = program.get_future();
    m_program = std::thread(std::move(program));
}

bool Driver::running() const {
    return m_exit.valid() && m_exit.wait_for(Milliseconds(0)) != std::future_status::ready;
}

std::optional<int> Driver::wait_for_exit(Milliseconds timeout) {
    if (!m_exit.valid() || m_exit.wait_for(timeout) != std::future_status::ready) {
        return std::nullopt;
    }
    const int code = m_exit.get();
    m_program.join();
    return code;
}

void Driver::deliver(InputEvent::Kind kind, POINT point, UINT key, WCHAR character) {
    InputEvent event{kind};
    event.point = point;
    event.key = key;
    event.character = character;
    m_input.deliver(event);
}

void Driver::stylus_down(POINT screen) {
    deliver(InputEvent::Kind::stylus_down, screen);
}

void Driver::stylus_move(POINT screen) {
    deliver(InputEvent::Kind::stylus_move, screen);
}

void Driver::stylus_up(POINT screen) {
    deliver(InputEvent::Kind::stylus_up, screen);
}

void Driver::tap(POINT screen) {
    stylus_down(screen);
    stylus_up(screen);
}

void Driver::hold(POINT screen) {
    stylus_down(screen);
    std::this_thread::sleep_for(hold_duration);
    stylus_up(screen);
}

void Driver::key_down(UINT virtual_key) {
    deliver(InputEvent::Kind::key_down, POINT{0, 0}, virtual_key);
}

void Driver::key_up(UINT virtual_key) {
    deliver(InputEvent::Kind::key_up, POINT{0, 0}, virtual_key);
}

void Driver::press_key(UINT virtual_key) {
    key_down(virtual_key);
    key_up(virtual_key);
}

void Driver::type(std::u16string_view text) {
    for (WCHAR unit : text) {
        deliver(InputEvent::Kind::character, POINT{0, 0}, 0, unit);
    }
}

void Driver::close_program() {
    deliver(InputEvent::Kind::close_request);
}

bool Driver::wait_until(const std::function<bool()>& condition, Milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(poll_interval);
    }
    return true;
}

HWND Driver::wait_for_window(const WindowQuery& query, Milliseconds timeout) {
    HWND found;
    wait_until([&] { return (found = find_visible_window(query)) != HWND(); }, timeout);
    return found;
}

HWND Driver::wait_for_message_box(Milliseconds timeout) {
    HWND found;
    wait_until(
        [&] {
            const std::vector<HWND> boxes = open_message_boxes();
            found = boxes.empty() ? HWND() : boxes.front();
            return found != HWND();
        },
        timeout);
    return found;
}

bool Driver::wait_until_painted(Milliseconds timeout) {
    // Two quiet looks in a row: a message just handled may be about to invalidate something.
    int quiet = 0;
    return wait_until(
        [&] {
            quiet = painting_pending() ? 0 : quiet + 1;
            return quiet >= 2;
        },
        timeout);
}

// A worker the program started may not have shown its wait cursor yet, so the workers are waited
// for too, and the cursor looked at again once they have returned.
bool Driver::wait_until_idle(Milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const auto left = [&] {
        return std::max(Milliseconds(0), std::chrono::duration_cast<Milliseconds>(
                                             deadline - std::chrono::steady_clock::now()));
    };
    const HCURSOR wait_cursor = LoadCursorW(nullptr, IDC_WAIT);
    const auto cursor_gone = [&] { return GetCursor() != wait_cursor; };
    return wait_until(cursor_gone, timeout) && wait_for_created_threads(left()) &&
           wait_until(cursor_gone, left()) && wait_until_painted(left());
}

std::optional<MessageBoxContent> Driver::message_box(HWND box) const {
    return message_box_content(box);
}

bool Driver::answer(HWND box) {
    return answer_message_box(box);
}

std::optional<WindowInfo> Driver::read(HWND window) const {
    return read_window(window);
}

HWND Driver::find(const WindowQuery& query) const {
    return find_visible_window(query);
}

std::string Driver::dump() const {
    return dump_window_tree();
}

bool Driver::screenshot(const std::filesystem::path& path) {
    wait_until_painted(Milliseconds(2000));
    return save_screenshot(path);
}

std::vector<std::string> Driver::debug_lines() const {
    return m_capture ? m_capture->lines() : std::vector<std::string>();
}

} // namespace handset
