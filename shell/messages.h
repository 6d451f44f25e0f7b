// The three kinds of message box. Each returns when the user has closed the box.
#pragma once

#include <windows.h>

void MSG_Error(LPCWSTR pszText, HWND hOwner);
void MSG_Warning(LPCWSTR pszText, HWND hOwner);
void MSG_Information(LPCWSTR pszText, HWND hOwner);
