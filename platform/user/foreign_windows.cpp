#include "user/foreign_windows.h"

#include "user/errors.h"
#include "user/window_system.h"

#include <atomic>

namespace handset {

namespace {

std::atomic<ForeignWindowDirectory*> g_directory{nullptr};

// Whether this thread has made a top-level window: until it has, its finds are a start's.
thread_local bool t_made_top_level = false;

std::optional<std::u16string_view> name_or_any(LPCWSTR name) {
    if (name == nullptr || IS_INTRESOURCE(name)) {
        return std::nullopt;
    }
    return std::u16string_view(name);
}

// The proxies made so far, guarded by the window lock. Proxies stand outside the window tree, so
// this list is how a second FindWindow of the same foreign window gives the same handle.
std::vector<HWND>& proxies(const WindowLock&) {
    static std::vector<HWND>* list = new std::vector<HWND>();
    return *list;
}

HWND proxy_for(uint64_t token) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    std::vector<HWND>& list = proxies(lock);
    std::erase_if(list, [&](HWND proxy) { return system.find(lock, proxy) == nullptr; });
    for (HWND proxy : list) {
        if (system.find(lock, proxy)->foreign_token == token) {
            return proxy;
        }
    }
    auto window = std::make_shared<Window>();
    window->foreign_token = token;
    const HWND proxy = system.insert(lock, std::move(window));
    if (proxy) {
        list.push_back(proxy);
    }
    return proxy;
}

void drop_proxy(HWND proxy) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    system.erase(lock, proxy);
}

// Puts the question to the directory. No directory, or no answer, means the window is gone: its
// proxy is dropped and the call fails as for an invalid window.
template <typename F>
auto ask(HWND proxy, const char* function, F&& question) {
    ForeignWindowDirectory* directory = g_directory.load();
    decltype(question(*directory)) answer;
    if (directory != nullptr) {
        answer = question(*directory);
    }
    if (!answer) {
        drop_proxy(proxy);
        fail_bad_window(function, proxy);
    }
    return answer;
}

} // namespace

void set_foreign_window_directory(ForeignWindowDirectory* directory) {
    g_directory.store(directory);
}

HWND find_foreign_window(LPCWSTR window_class, LPCWSTR title) {
    ForeignWindowDirectory* directory = g_directory.load();
    if (directory == nullptr) {
        return HWND();
    }
    const bool starting = !t_made_top_level;
    if (starting) {
        directory->hold_start_lock();
    }
    std::optional<uint64_t> token =
        directory->find_window(name_or_any(window_class), name_or_any(title));
    if (!token) {
        return HWND();
    }
    if (starting) {
        directory->release_start_lock();
    }
    return proxy_for(*token);
}

void top_level_window_created() {
    t_made_top_level = true;
    if (ForeignWindowDirectory* directory = g_directory.load()) {
        directory->release_start_lock();
    }
}

LRESULT send_to_foreign_window(HWND proxy, uint64_t token, UINT message, WPARAM wparam,
                               LPARAM lparam) {
    return ask(proxy, "SendMessage",
               [&](ForeignWindowDirectory& directory) {
                   return directory.send_message(token, message, wparam, lparam);
               })
        .value_or(0);
}

BOOL post_to_foreign_window(HWND proxy, uint64_t token, UINT message, WPARAM wparam,
                            LPARAM lparam) {
    return ask(proxy, "PostMessage",
               [&](ForeignWindowDirectory& directory) {
                   return directory.post_message(token, message, wparam, lparam);
               }).value_or(false)
               ? TRUE
               : FALSE;
}

std::optional<LONG_PTR> foreign_user_data(HWND proxy, uint64_t token) {
    return ask(proxy, "GetWindowLong",
               [&](ForeignWindowDirectory& directory) { return directory.user_data(token); });
}

BOOL set_foreign_foreground(HWND proxy, uint64_t token, bool last_active_popup) {
    return ask(proxy, "SetForegroundWindow",
               [&](ForeignWindowDirectory& directory) {
                   return directory.set_foreground(token, last_active_popup);
               }).value_or(false)
               ? TRUE
               : FALSE;
}

} // namespace handset
