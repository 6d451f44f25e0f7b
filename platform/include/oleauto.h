// Length-prefixed strings (BSTR) that COM objects hand to their callers.
//
// A BSTR points at the first character; the 32-bit byte length of the text sits in the four bytes
// before it, and a terminating zero follows the text, so a BSTR also reads as a plain wide string.
// NULL is a valid BSTR: the empty string.
#pragma once

#include <windef.h>

typedef WCHAR OLECHAR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;
typedef OLECHAR* BSTR;

// A copy of a zero-terminated string; NULL for NULL or when memory runs out.
extern "C" BSTR STDMETHODCALLTYPE SysAllocString(const OLECHAR* psz);
// A string of cch characters copied from pch, or all zero when pch is NULL; NULL when memory runs
// out.
extern "C" BSTR STDMETHODCALLTYPE SysAllocStringLen(const OLECHAR* pch, UINT cch);
// The number of characters, from the length prefix; 0 for NULL.
extern "C" UINT STDMETHODCALLTYPE SysStringLen(BSTR bstr);
// NULL is ignored.
extern "C" void STDMETHODCALLTYPE SysFreeString(BSTR bstr);
