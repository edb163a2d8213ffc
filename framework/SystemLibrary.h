// The functions the programs call in system libraries that are not among the
// system's known DLLs (the common controls, the ODBC installer). Linked
// statically, such a library is looked for in the program's own folder first,
// where anyone can place a file of that name beside an installer that runs with
// administrator rights; so each is loaded from the system folder by its full
// path and its functions are called through their addresses.
#pragma once
#include <windows.h>

#include <commctrl.h>

// Takes the current folder out of the library search path, where the running
// system has the call for it (SetDllDirectoryA; earlier systems lack it and
// are left as they are). Called first thing by each program.
void ExcludeCurrentFolderFromDllSearch();

// The library of that name in the system folder, loaded by its full path (and
// kept loaded); NULL, with the system's error code set, when it cannot be.
HMODULE LoadSystemLibrary(LPCSTR pszName);

// The same calls as the libraries' own, with the same arguments. Each returns
// what a failed call returns when its library or entry cannot be found.
void SystemInitCommonControls();
BOOL SystemInitCommonControlsEx(const INITCOMMONCONTROLSEX* pInit);
BOOL SystemTrackMouseEvent(TRACKMOUSEEVENT* pEvent);
BOOL SystemSQLConfigDataSource(HWND hwndParent, WORD fRequest, LPCSTR lpszDriver,
                               LPCSTR lpszAttributes);
// SQL_ERROR (-1) when the library or the entry cannot be found.
SHORT SystemSQLInstallerError(WORD iError, DWORD* pfErrorCode, LPSTR lpszErrorMsg,
                              WORD cbErrorMsgMax, WORD* pcbErrorMsg);
