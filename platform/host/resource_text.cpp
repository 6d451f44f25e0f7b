#include "host/resource_text.h"

#include "host/language_module.h"

#include <libloaderapi.h>

namespace handset {

std::u16string resource_text(UINT id) {
    const WCHAR* text = nullptr;
    // With no buffer, LoadString points at the text in the module itself.
    const int length =
        LoadStringW(LanguageModule::current(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::u16string(text, static_cast<size_t>(length)) : std::u16string();
}

} // namespace handset
