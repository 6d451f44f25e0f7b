// The retrieve view: every contact of the contacts store with its mobile, home and business numbers
// as check boxes, the SIM's fill as it would be with the checked numbers added, and the run that
// writes each checked number as a new SIM entry named after its contact.
#pragma once

#include <windows.h>

#include <atomic>

// Which numbers the tree shows below each contact.
#define VIEW_ALL 0
#define VIEW_BUSINESS 1
#define VIEW_MOBILE 2
#define VIEW_HOME 3

extern HWND g_hContactTree;
// Read by the fill worker while the dialog thread changes the view.
extern std::atomic<int> g_iViewMode;
extern int g_iViewCommand;

void CTRL_CONTACT_MAIN_EnableMenu(int iEnable);
DWORD WINAPI CTRL_CONTACT_MAIN_FillThread(LPVOID pParam);
void CTRL_CONTACT_MAIN_FillTree(HWND hDlg);
void CTRL_CONTACT_MAIN_UpdateMemory(HWND hDlg);
void CTRL_CONTACT_MAIN_UpdateMenu();
int CTRL_CONTACT_MAIN_IsOverCapacity();
void CTRL_CONTACT_MAIN_SetView(HWND hDlg, int iCommand);
void CTRL_CONTACT_MAIN_OnTap(HWND hDlg);
void CTRL_CONTACT_MAIN_Retrieve(HWND hDlg);
void CTRL_CONTACT_MAIN_Layout(HWND hDlg);
void CTRL_CONTACT_MAIN_PaintTitle(HWND hDlg);
// Ends the running fill and those waiting for the view lock, and returns once every one of them
// has left it. Call it on the dialog thread, before the dialog, the contacts connection or the
// lock goes away.
void CTRL_CONTACT_MAIN_StopFill();
// The name a contact is listed under: last name and first name, with a comma between them unless
// either is missing or the interface language (as "0409") is Chinese. Cut to the buffer.
void CTRL_CONTACT_MAIN_DisplayName(LPCWSTR pszLanguage, LPCWSTR pszFirst, LPCWSTR pszLast,
                                   LPWSTR pszName, int cchName);
