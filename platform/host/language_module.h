// The module the Contacts application takes its texts, menus and dialogs from. The program
// carries its English resources as its own module; another interface language has a file of its
// own, Contacts.exe.<language>.mui (Contacts.exe.0407.mui for German), found where the loader
// finds module files. A language without a file shows English.
#pragma once

#include <windef.h>

namespace handset {

class LanguageModule {
  public:
    // Loads the file of the interface language, when there is one, for the life of this object.
    LanguageModule();
    ~LanguageModule();
    LanguageModule(const LanguageModule&) = delete;
    LanguageModule& operator=(const LanguageModule&) = delete;

    // The file loaded by the LanguageModule that lives now, else the program's own module.
    static HINSTANCE current();

  private:
    HINSTANCE m_file{};
};

} // namespace handset
