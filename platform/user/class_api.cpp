// RegisterClass, UnregisterClass, GetClassInfo and GetClassName.
#include "user/errors.h"
#include "user/window_system.h"

#include <algorithm>

using namespace handset;

namespace handset {

bool set_class_object_release(LPCWSTR class_name, void (*release)(LONG_PTR object)) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    const std::shared_ptr<WindowClass> found = system.classes(lock).find(class_name);
    if (!found) {
        return false;
    }
    found->release_object = release;
    return true;
}

} // namespace handset

ATOM WINAPI RegisterClassW(const WNDCLASSW* lpWndClass) {
    if (lpWndClass == nullptr) {
        fail(ERROR_INVALID_PARAMETER, "RegisterClass", "no WNDCLASS");
        return 0;
    }
    WindowSystem& system = WindowSystem::instance();
    DWORD error = 0;
    ATOM atom;
    {
        WindowLock lock = system.lock();
        atom = system.classes(lock).add(*lpWndClass, 0, error);
    }
    if (atom == 0) {
        fail(error, "RegisterClass",
             error == ERROR_CLASS_ALREADY_EXISTS ? "the class exists already"
                                                 : "bad class name, procedure or extra bytes");
    }
    return atom;
}

BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE) {
    WindowSystem& system = WindowSystem::instance();
    DWORD error;
    {
        WindowLock lock = system.lock();
        error = system.classes(lock).remove(lpClassName);
    }
    if (error != 0) {
        fail(error, "UnregisterClass",
             error == ERROR_CLASS_HAS_WINDOWS ? "windows of the class still exist"
                                              : "no such class");
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI GetClassInfoW(HINSTANCE, LPCWSTR lpClassName, WNDCLASSW* lpWndClass) {
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    std::shared_ptr<WindowClass> found = system.classes(lock).find(lpClassName);
    if (!found || lpWndClass == nullptr) {
        lock.unlock();
        fail(ERROR_CLASS_DOES_NOT_EXIST, "GetClassInfo", "no such class");
        return FALSE;
    }
    lpWndClass->style = found->style;
    lpWndClass->lpfnWndProc = found->procedure;
    lpWndClass->cbClsExtra = found->class_extra;
    lpWndClass->cbWndExtra = found->window_extra;
    lpWndClass->hInstance = found->instance;
    lpWndClass->hIcon = found->icon;
    lpWndClass->hCursor = found->cursor;
    lpWndClass->hbrBackground = found->background;
    lpWndClass->lpszMenuName = nullptr;
    // The registry keeps the name for as long as the class exists.
    lpWndClass->lpszClassName = found->name.c_str();
    return TRUE;
}

int WINAPI GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount) {
    if (lpClassName == nullptr || nMaxCount <= 0) {
        return 0;
    }
    WindowSystem& system = WindowSystem::instance();
    WindowLock lock = system.lock();
    Window* entry = system.find_local(lock, hWnd, "GetClassName");
    if (entry == nullptr) {
        lpClassName[0] = u'\0';
        return 0;
    }
    const std::u16string& name = entry->window_class->name;
    const size_t count = std::min<size_t>(name.size(), static_cast<size_t>(nMaxCount) - 1);
    std::copy_n(name.data(), count, lpClassName);
    lpClassName[count] = u'\0';
    return static_cast<int>(count);
}
