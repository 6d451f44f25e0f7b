#include "automation/window_reader.h"

#include "base/utf.h"
#include "base/wide_text.h"
#include "user/window_system.h"

#include <cstdio>

namespace handset {

namespace {

void add_descendants(const WindowLock& lock, const Window& window, int depth,
                     std::vector<WindowEntry>& tree) {
    WindowSystem& system = WindowSystem::instance();
    // Children are kept topmost first and creation appends, so the end of the list is the
    // first created.
    for (auto child = window.children.rbegin(); child != window.children.rend(); ++child) {
        const Window* entry = system.find(lock, *child);
        if (entry != nullptr) {
            tree.push_back(WindowEntry{*child, depth});
            add_descendants(lock, *entry, depth + 1, tree);
        }
    }
}

std::u16string text_of(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) {
        return std::u16string();
    }
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

std::u16string class_of(HWND window) {
    WCHAR name[256];
    const int length = GetClassNameW(window, name, 256);
    return std::u16string(name, static_cast<size_t>(std::max(length, 0)));
}

bool same_name(const std::optional<std::u16string>& wanted, const std::u16string& actual) {
    return !wanted || compare_ignoring_case(*wanted, actual) == 0;
}

std::string in_quotes(const std::u16string& text) {
    return "\"" + utf16_to_utf8(text) + "\"";
}

} // namespace

std::vector<WindowEntry> window_tree() {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    std::vector<WindowEntry> tree;
    for (HWND top : system.top_levels(lock)) {
        const Window* entry = system.find(lock, top);
        if (entry != nullptr && !entry->destroying) {
            tree.push_back(WindowEntry{top, 0});
            add_descendants(lock, *entry, 1, tree);
        }
    }
    return tree;
}

std::optional<WindowInfo> read_window(HWND window) {
    if (!IsWindow(window)) {
        return std::nullopt;
    }
    WindowInfo info;
    info.handle = window;
    info.class_name = class_of(window);
    info.id = static_cast<UINT_PTR>(GetDlgCtrlID(window));
    info.text = text_of(window);
    if (!GetWindowRect(window, &info.rect)) {
        return std::nullopt;
    }
    info.visible = IsWindowVisible(window) != FALSE;
    info.enabled = IsWindowEnabled(window) != FALSE;
    return info;
}

bool matches(const WindowInfo& info, const WindowQuery& query) {
    return same_name(query.class_name, info.class_name) && same_name(query.text, info.text) &&
           (!query.id || *query.id == info.id);
}

HWND find_visible_window(const WindowQuery& query) {
    for (const WindowEntry& entry : window_tree()) {
        const std::optional<WindowInfo> info = read_window(entry.handle);
        if (info && info->visible && matches(*info, query)) {
            return entry.handle;
        }
    }
    return HWND();
}

std::string dump_window_tree() {
    std::string dump;
    for (const WindowEntry& entry : window_tree()) {
        const std::optional<WindowInfo> info = read_window(entry.handle);
        if (!info) {
            continue;
        }
        char geometry[96];
        std::snprintf(geometry, sizeof geometry, " id=%lu (%d,%d)-(%d,%d)",
                      static_cast<unsigned long>(info->id), info->rect.left, info->rect.top,
                      info->rect.right, info->rect.bottom);
        dump += std::string(static_cast<size_t>(entry.depth) * 2, ' ');
        dump += utf16_to_utf8(info->class_name) + " " + in_quotes(info->text) + geometry;
        dump += info->visible ? " visible" : " hidden";
        dump += info->enabled ? " enabled\n" : " disabled\n";
    }
    return dump;
}

std::string describe(const WindowQuery& query) {
    std::string words;
    if (query.class_name) {
        words += "class " + in_quotes(*query.class_name);
    }
    if (query.text) {
        words += (words.empty() ? "text " : " text ") + in_quotes(*query.text);
    }
    if (query.id) {
        words += (words.empty() ? "id " : " id ") + std::to_string(*query.id);
    }
    return words.empty() ? "any window" : words;
}

} // namespace handset
