// The context-menu extensions of one showing of the Contacts application's menu. Each registered
// class is created anew, given the selection as its site and asked to add its items; the objects
// are held until the showing ends, across the InvokeCommand of a picked item, and released then.
//
// Life of one showing:
//   add_items      every class: CoCreateInstance -> SetSite(selection) -> QueryContextMenu;
//                  an extension that fails any step is released at once and adds nothing
//   (the popup runs; the caller passes the picked command)
//   invoke         the extension whose identifiers hold the command gets InvokeCommand
//   ~ExtensionMenu every extension: SetSite(NULL) -> Release
// A library stays loaded while one of its objects lives, and COM frees unused libraries only when
// the user-interface thread leaves it at the end of the program, so no extension's code goes
// while its command (and any dialog it runs) is still on the stack.
#pragma once

#include <objbase.h>
#include <shlobj.h>

#include <vector>

namespace handset {

class ExtensionMenu {
  public:
    // Identifiers given to extensions, above every command of the application's own.
    static constexpr UINT first_command = 0x1000;
    static constexpr UINT last_command = 0x7FFF;
    // Where extensions insert their items: after the application's own three commands.
    static constexpr UINT insert_position = 3;

    explicit ExtensionMenu(HMENU menu) : m_menu(menu) {}
    ~ExtensionMenu();
    ExtensionMenu(const ExtensionMenu&) = delete;
    ExtensionMenu& operator=(const ExtensionMenu&) = delete;

    // Lets each class add its items to the menu, with site as its site.
    void add_items(const std::vector<CLSID>& classes, IUnknown* site);
    // Runs the command on the extension that added it, with owner as the owner of anything it
    // shows; false when no extension added the command.
    bool invoke(UINT command, HWND owner);

  private:
    struct Extension {
        CLSID clsid;
        IContextMenu* menu;
        UINT first;
        UINT count;
    };

    void add_items_of(const CLSID& clsid, IUnknown* site);

    HMENU m_menu;
    std::vector<Extension> m_extensions;
    UINT m_next_command = first_command;
};

} // namespace handset
