// Base services of the handset: debug output, threads, critical sections, time, wide text and the
// user-interface language.
#pragma once

#include <windef.h>

// Writes text to the handset's debug output. A text that does not end in a line break is ended
// with one, so each call is its own line.
void WINAPI OutputDebugStringW(LPCWSTR text);
#define OutputDebugString OutputDebugStringW
