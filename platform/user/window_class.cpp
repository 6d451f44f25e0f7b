#include "user/window_class.h"

#include "base/wide_text.h"
#include "user/errors.h"

namespace handset {

bool ClassRegistry::CaseInsensitiveLess::operator()(const std::u16string& a,
                                                    const std::u16string& b) const {
    return compare_ignoring_case(a, b) < 0;
}

ATOM ClassRegistry::add(const WNDCLASSW& record, ATOM fixed_atom, DWORD& error) {
    if (record.lpszClassName == nullptr || IS_INTRESOURCE(record.lpszClassName) ||
        record.lpszClassName[0] == u'\0' || record.lpfnWndProc == nullptr ||
        record.cbClsExtra < 0 || record.cbWndExtra < 0) {
        error = ERROR_INVALID_PARAMETER;
        return 0;
    }
    std::u16string name(record.lpszClassName);
    if (m_classes.contains(name)) {
        error = ERROR_CLASS_ALREADY_EXISTS;
        return 0;
    }
    auto entry = std::make_shared<WindowClass>();
    entry->name = name;
    entry->atom = fixed_atom != 0 ? fixed_atom : m_next_atom++;
    entry->style = record.style;
    entry->procedure = record.lpfnWndProc;
    entry->class_extra = record.cbClsExtra;
    entry->window_extra = record.cbWndExtra;
    entry->instance = record.hInstance;
    entry->icon = record.hIcon;
    entry->cursor = record.hCursor;
    entry->background = record.hbrBackground;
    m_classes.emplace(std::move(name), entry);
    error = 0;
    return entry->atom;
}

std::shared_ptr<WindowClass> ClassRegistry::find(LPCWSTR name) const {
    if (name == nullptr) {
        return nullptr;
    }
    if (IS_INTRESOURCE(name)) {
        return find_by_atom(static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name)));
    }
    auto found = m_classes.find(std::u16string(name));
    return found == m_classes.end() ? nullptr : found->second;
}

std::shared_ptr<WindowClass> ClassRegistry::find_by_atom(ATOM atom) const {
    for (const auto& [name, entry] : m_classes) {
        if (entry->atom == atom) {
            return entry;
        }
    }
    return nullptr;
}

DWORD ClassRegistry::remove(LPCWSTR name) {
    std::shared_ptr<WindowClass> entry = find(name);
    if (!entry) {
        return ERROR_CLASS_DOES_NOT_EXIST;
    }
    if (entry->window_count > 0) {
        return ERROR_CLASS_HAS_WINDOWS;
    }
    m_classes.erase(entry->name);
    return 0;
}

} // namespace handset
