// Basic types of the handset's programming interface: integer types with the device's widths, wide
// characters, GUIDs and the opaque 32-bit handles.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef int INT;
typedef unsigned int UINT;
typedef char CHAR;
typedef char16_t WCHAR;
typedef WCHAR TCHAR;
typedef uint16_t ATOM;
typedef int32_t HRESULT;
typedef uint32_t COLORREF;

typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef size_t SIZE_T;

typedef void* LPVOID;
typedef const void* LPCVOID;
typedef BYTE* LPBYTE;
typedef DWORD* LPDWORD;
typedef LONG* LPLONG;
typedef BOOL* LPBOOL;
typedef CHAR* LPSTR;
typedef const CHAR* LPCSTR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef WCHAR* LPTSTR;
typedef const WCHAR* LPCTSTR;

static_assert(sizeof(WORD) == 2 && sizeof(DWORD) == 4 && sizeof(LONG) == 4);
static_assert(sizeof(WPARAM) == sizeof(void*) && sizeof(LPARAM) == sizeof(void*));
static_assert(sizeof(WCHAR) == 2);

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define TEXT(s) u##s
#define _T(s) u##s

#define WINAPI
#define WINAPIV
#define CALLBACK
#define APIENTRY
#define STDAPI extern "C" HRESULT
#define STDMETHODCALLTYPE

#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))
#define LOBYTE(w) ((BYTE)(((DWORD_PTR)(w)) & 0xff))
#define HIBYTE(w) ((BYTE)((((DWORD_PTR)(w)) >> 8) & 0xff))
#define MAKEWORD(a, b) ((WORD)(((BYTE)(a)) | (((WORD)((BYTE)(b))) << 8)))
#define MAKELONG(a, b) ((LONG)(((WORD)(a)) | (((DWORD)((WORD)(b))) << 16)))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define MAKELRESULT(l, h) ((LRESULT)(DWORD)MAKELONG(l, h))
#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))

#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16);
typedef GUID IID;
typedef GUID CLSID;
typedef const GUID& REFGUID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;

inline bool IsEqualGUID(REFGUID a, REFGUID b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) {
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i]) {
            return false;
        }
    }
    return true;
}
#define IsEqualIID(a, b) IsEqualGUID(a, b)
#define IsEqualCLSID(a, b) IsEqualGUID(a, b)

namespace handset_handles {

// An opaque 32-bit handle: an index into one of the platform's handle tables, 0 for none. Each
// kind is its own type, so a window cannot be passed where a menu is expected. It converts from 0
// and NULL, and explicitly (a cast, as device code writes it) to and from integers and other
// handle kinds. A kind with a base kind (a brush is a GDI object) converts to the base implicitly.
template <typename Tag, typename BaseTag = void>
class Handle {
  public:
    constexpr Handle() = default;
    constexpr Handle(std::nullptr_t) {}

    template <typename I, std::enable_if_t<std::is_integral_v<I> || std::is_enum_v<I>, int> = 0>
    constexpr explicit Handle(I value) : m_value(static_cast<uint32_t>(value)) {}

    template <typename OtherTag, typename OtherBase>
    constexpr explicit Handle(Handle<OtherTag, OtherBase> other) : m_value(other.value()) {}

    template <typename I, std::enable_if_t<std::is_integral_v<I>, int> = 0>
    constexpr explicit operator I() const {
        return static_cast<I>(m_value);
    }

    template <typename B = BaseTag, std::enable_if_t<!std::is_void_v<B>, int> = 0>
    constexpr operator Handle<B>() const {
        return Handle<B>(m_value);
    }

    constexpr explicit operator bool() const { return m_value != 0; }
    constexpr uint32_t value() const { return m_value; }

    friend constexpr bool operator==(Handle a, Handle b) { return a.m_value == b.m_value; }
    friend constexpr bool operator!=(Handle a, Handle b) { return a.m_value != b.m_value; }
    friend constexpr bool operator<(Handle a, Handle b) { return a.m_value < b.m_value; }

  private:
    uint32_t m_value = 0;
};

struct HandleTag;
struct WindowTag;
struct MenuTag;
struct ModuleTag;
struct ResourceTag;
struct GlobalTag;
struct KeyTag;
struct DcTag;
struct GdiObjectTag;
struct BrushTag;
struct PenTag;
struct FontTag;
struct BitmapTag;
struct RegionTag;
struct IconTag;
struct ImageListTag;
struct TreeItemTag;

} // namespace handset_handles

typedef handset_handles::Handle<handset_handles::HandleTag> HANDLE;
typedef handset_handles::Handle<handset_handles::WindowTag> HWND;
typedef handset_handles::Handle<handset_handles::MenuTag> HMENU;
typedef handset_handles::Handle<handset_handles::ModuleTag> HMODULE;
typedef HMODULE HINSTANCE;
typedef handset_handles::Handle<handset_handles::ResourceTag> HRSRC;
typedef handset_handles::Handle<handset_handles::GlobalTag> HGLOBAL;
typedef handset_handles::Handle<handset_handles::KeyTag> HKEY;
typedef handset_handles::Handle<handset_handles::DcTag> HDC;
typedef handset_handles::Handle<handset_handles::GdiObjectTag> HGDIOBJ;
typedef handset_handles::Handle<handset_handles::BrushTag, handset_handles::GdiObjectTag> HBRUSH;
typedef handset_handles::Handle<handset_handles::PenTag, handset_handles::GdiObjectTag> HPEN;
typedef handset_handles::Handle<handset_handles::FontTag, handset_handles::GdiObjectTag> HFONT;
typedef handset_handles::Handle<handset_handles::BitmapTag, handset_handles::GdiObjectTag> HBITMAP;
typedef handset_handles::Handle<handset_handles::RegionTag, handset_handles::GdiObjectTag> HRGN;
typedef handset_handles::Handle<handset_handles::IconTag> HICON;
typedef HICON HCURSOR;

static_assert(sizeof(HWND) == 4 && sizeof(HBRUSH) == 4 && sizeof(HANDLE) == 4);

struct POINT {
    LONG x;
    LONG y;
};
typedef POINT* LPPOINT;

struct SIZE {
    LONG cx;
    LONG cy;
};
typedef SIZE* LPSIZE;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef RECT* LPRECT;
typedef const RECT* LPCRECT;

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r)) | ((WORD)((BYTE)(g)) << 8) | ((DWORD)((BYTE)(b)) << 16)))
#define GetRValue(c) ((BYTE)(c))
#define GetGValue(c) ((BYTE)(((WORD)(c)) >> 8))
#define GetBValue(c) ((BYTE)((c) >> 16))
