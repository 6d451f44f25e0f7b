// The trace log: every outcome of the program is reported as a line on the handset's debug output.
#pragma once

#include <windows.h>

// Size of the text a caller may format for one trace line.
#define TRACE_TEXT_SIZE 1300

void DBG_Print(LPCWSTR pszText, LPCWSTR pszTag);
void DBG_Result(int iResult, LPCWSTR pszText);
void DBG_Bool(int iFlag, LPCWSTR pszText);

// Formats a trace text into this thread's trace buffer and prints it with the tag (none means
// "RD_INFO"). The buffer is per thread, so concurrent tracing never mixes two lines.
void DBG_Printf(LPCWSTR pszTag, LPCWSTR pszFormat, ...);
