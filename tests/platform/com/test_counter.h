// The interface of the class that the test server library serves: an object that counts.
#pragma once

#include <objbase.h>

// {6A1E0C53-7B2D-4E1A-9C3F-2D5B8E7A1F40}
constexpr CLSID CLSID_TestCounter = {
    0x6A1E0C53, 0x7B2D, 0x4E1A, {0x9C, 0x3F, 0x2D, 0x5B, 0x8E, 0x7A, 0x1F, 0x40}};
// {6A1E0C54-7B2D-4E1A-9C3F-2D5B8E7A1F40}
constexpr IID IID_ITestCounter = {
    0x6A1E0C54, 0x7B2D, 0x4E1A, {0x9C, 0x3F, 0x2D, 0x5B, 0x8E, 0x7A, 0x1F, 0x40}};
// {6A1E0C55-7B2D-4E1A-9C3F-2D5B8E7A1F40}: registered, but its library does not serve it.
constexpr CLSID CLSID_TestUnserved = {
    0x6A1E0C55, 0x7B2D, 0x4E1A, {0x9C, 0x3F, 0x2D, 0x5B, 0x8E, 0x7A, 0x1F, 0x40}};

struct ITestCounter;
struct ITestCounterVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(ITestCounter* This, REFIID riid, void** ppvObject);
    ULONG(STDMETHODCALLTYPE* AddRef)(ITestCounter* This);
    ULONG(STDMETHODCALLTYPE* Release)(ITestCounter* This);
    HRESULT(STDMETHODCALLTYPE* Increment)(ITestCounter* This, LONG* value);
};
struct ITestCounter {
    const ITestCounterVtbl* lpVtbl;
};
