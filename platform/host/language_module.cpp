#include "host/language_module.h"

#include <libloaderapi.h>
#include <strsafe.h>
#include <winbase.h>

#include <atomic>
#include <iterator>

namespace handset {

namespace {

// Read by every window of the program, which may run on another thread than the one that made
// the LanguageModule (a test drives the program from its own).
std::atomic<HINSTANCE> loaded_file{};

HINSTANCE load_language_file() {
    WCHAR name[32];
    StringCchPrintfW(name, std::size(name), u"Contacts.exe.%04x.mui",
                     static_cast<unsigned>(GetUserDefaultUILanguage()));
    return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

} // namespace

LanguageModule::LanguageModule() : m_file(load_language_file()) {
    if (m_file) {
        loaded_file = m_file;
    }
}

LanguageModule::~LanguageModule() {
    if (m_file) {
        loaded_file = HINSTANCE();
        FreeLibrary(m_file);
    }
}

HINSTANCE LanguageModule::current() {
    const HINSTANCE file = loaded_file;
    return file ? file : GetModuleHandleW(nullptr);
}

} // namespace handset
