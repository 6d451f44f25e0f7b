#include "user/foreign_windows.h"

#include "user/errors.h"
#include "user/window_system.h"

#include <atomic>

namespace handset {

namespace {

std::atomic<ForeignWindowDirectory*> g_directory{nullptr};

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

template <typename T>
std::optional<T> answered(HWND proxy, std::optional<T> answer, const char* function) {
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
    std::optional<uint64_t> token =
        directory->find_window(name_or_any(window_class), name_or_any(title));
    return token ? proxy_for(*token) : HWND();
}

LRESULT send_to_foreign_window(HWND proxy, uint64_t token, UINT message, WPARAM wparam,
                               LPARAM lparam) {
    ForeignWindowDirectory* directory = g_directory.load();
    std::optional<LRESULT> answer;
    if (directory != nullptr) {
        answer = directory->send_message(token, message, wparam, lparam);
    }
    return answered(proxy, answer, "SendMessage").value_or(0);
}

BOOL post_to_foreign_window(HWND proxy, uint64_t token, UINT message, WPARAM wparam,
                            LPARAM lparam) {
    ForeignWindowDirectory* directory = g_directory.load();
    std::optional<bool> answer;
    if (directory != nullptr) {
        answer = directory->post_message(token, message, wparam, lparam);
    }
    return answered(proxy, answer, "PostMessage").value_or(false) ? TRUE : FALSE;
}

std::optional<LONG_PTR> foreign_user_data(HWND proxy, uint64_t token) {
    ForeignWindowDirectory* directory = g_directory.load();
    std::optional<LONG_PTR> answer;
    if (directory != nullptr) {
        answer = directory->user_data(token);
    }
    return answered(proxy, answer, "GetWindowLong");
}

BOOL set_foreign_foreground(HWND proxy, uint64_t token, bool last_active_popup) {
    ForeignWindowDirectory* directory = g_directory.load();
    std::optional<bool> answer;
    if (directory != nullptr) {
        answer = directory->set_foreground(token, last_active_popup);
    }
    return answered(proxy, answer, "SetForegroundWindow").value_or(false) ? TRUE : FALSE;
}

} // namespace handset
