#include "com/clipboard_formats.h"

#include "base/wide_text.h"

#include <winuser.h>

#include <algorithm>

namespace handset {

ClipboardFormats& ClipboardFormats::instance() {
    static ClipboardFormats formats;
    return formats;
}

UINT ClipboardFormats::register_format(std::u16string_view name) {
    if (name.empty()) {
        return 0;
    }
    const std::u16string folded = fold_text(name);
    std::lock_guard lock(m_mutex);
    auto found = std::find(m_names.begin(), m_names.end(), folded);
    if (found == m_names.end()) {
        if (m_names.size() > last_registered - first_registered) {
            return 0;
        }
        found = m_names.insert(m_names.end(), folded);
    }
    return first_registered + static_cast<UINT>(found - m_names.begin());
}

} // namespace handset

UINT WINAPI RegisterClipboardFormatW(LPCWSTR lpszFormat) {
    return lpszFormat == nullptr
               ? 0
               : handset::ClipboardFormats::instance().register_format(lpszFormat);
}
