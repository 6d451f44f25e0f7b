// Window classes: what RegisterClass records, and the registry that finds a class by name or atom.
// Built-in classes (dialogs, popup menus, and the controls of later modules) register here like
// any program's class, so a dialog template names them the same way.
#pragma once

#include <winuser.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace handset {

struct WindowClass {
    std::u16string name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    int class_extra = 0;
    int window_extra = 0;
    HINSTANCE instance;
    HICON icon;
    HCURSOR cursor;
    HBRUSH background;
    // Windows alive with this class; a class with windows cannot be unregistered.
    int window_count = 0;
    // For the handset's own controls, whose object lives behind a window's first extra bytes:
    // frees that object when the window is dropped without WM_NCDESTROY because the thread that
    // made it has ended, as the device frees a control's data with its window.
    void (*release_object)(LONG_PTR object) = nullptr;
};

// Sets the class's release_object; false when no class has that name.
bool set_class_object_release(LPCWSTR class_name, void (*release)(LONG_PTR object));

// Guarded by the window system's lock.
class ClassRegistry {
  public:
    // The class's atom, or 0 with the error code when the name is taken or the record is bad.
    ATOM add(const WNDCLASSW& record, ATOM fixed_atom, DWORD& error);
    // By name (case-insensitive) or, for an ordinal name, by atom.
    std::shared_ptr<WindowClass> find(LPCWSTR name) const;
    // Error code 0 on success.
    DWORD remove(LPCWSTR name);

  private:
    struct CaseInsensitiveLess {
        bool operator()(const std::u16string& a, const std::u16string& b) const;
    };

    std::shared_ptr<WindowClass> find_by_atom(ATOM atom) const;

    std::map<std::u16string, std::shared_ptr<WindowClass>, CaseInsensitiveLess> m_classes;
    ATOM m_next_atom = 0xC000;
};

} // namespace handset
