// The input panel: the on-screen keyboard above the menu bar, and how a program learns where the
// desktop that it leaves visible lies.
#pragma once

#include <windef.h>

// SIPINFO fdwFlags.
#define SIPF_OFF 0x00000000
#define SIPF_ON 0x00000001
#define SIPF_DOCKED 0x00000002
#define SIPF_LOCKED 0x00000004

// The setting-change code (the first parameter of WM_SETTINGCHANGE) sent when the panel goes up
// or down.
#define SPI_SETSIPINFO 224
#define SPI_GETSIPINFO 225

// pvImData holds a real address, so the record takes the native layout: set cbSize to
// sizeof(SIPINFO).
struct SIPINFO {
    DWORD cbSize;
    DWORD fdwFlags;
    RECT rcVisibleDesktop;
    RECT rcSipRect;
    DWORD dwImDataSize;
    void* pvImData;
};
typedef SIPINFO* PSIPINFO;
static_assert(offsetof(SIPINFO, rcVisibleDesktop) == 8 && offsetof(SIPINFO, rcSipRect) == 24 &&
              offsetof(SIPINFO, dwImDataSize) == 40);

// Fills the panel's state and rectangles (screen coordinates). rcVisibleDesktop is the part of
// the screen between the task bar and whatever covers the bottom: the panel when it is up, else
// the menu bar. FALSE with ERROR_INVALID_PARAMETER for a missing record or a wrong cbSize.
BOOL WINAPI SipGetInfo(SIPINFO* pSipInfo);
