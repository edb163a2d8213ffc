#include "framework/SystemLibrary.h"

#include <string.h>

namespace
{
const char COMMON_CONTROLS_LIBRARY[] = "comctl32.dll";
const char ODBC_INSTALLER_LIBRARY[] = "odbccp32.dll";

typedef BOOL(WINAPI* SetDllDirectoryProc)(LPCSTR);
typedef void(WINAPI* InitCommonControlsProc)();
typedef BOOL(WINAPI* InitCommonControlsExProc)(const INITCOMMONCONTROLSEX*);
typedef BOOL(WINAPI* TrackMouseEventProc)(TRACKMOUSEEVENT*);
typedef BOOL(WINAPI* SQLConfigDataSourceProc)(HWND, WORD, LPCSTR, LPCSTR);
typedef SHORT(WINAPI* SQLInstallerErrorProc)(WORD, DWORD*, LPSTR, WORD, WORD*);

// An entry's address as its real type, through the generic function pointer
// type; NULL when the module or the entry is missing.
template <class Proc> Proc EntryOf(HMODULE hModule, LPCSTR pszEntry)
{
    FARPROC pfn = hModule ? ::GetProcAddress(hModule, pszEntry) : NULL;
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(pfn));
}

template <class Proc> Proc SystemEntry(LPCSTR pszLibrary, LPCSTR pszEntry)
{
    return EntryOf<Proc>(LoadSystemLibrary(pszLibrary), pszEntry);
}
} // namespace

void ExcludeCurrentFolderFromDllSearch()
{
    // kernel32 is a known DLL: it always comes from the system folder.
    SetDllDirectoryProc pfnSet =
        EntryOf<SetDllDirectoryProc>(::GetModuleHandleA("kernel32.dll"), "SetDllDirectoryA");
    if (pfnSet)
        pfnSet("");
}

HMODULE LoadSystemLibrary(LPCSTR pszName)
{
    char szPath[MAX_PATH];
    UINT n = ::GetSystemDirectoryA(szPath, MAX_PATH);
    size_t nName = strlen(pszName);
    if (n == 0 || n + 1 + nName >= MAX_PATH)
    {
        ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return NULL;
    }
    if (szPath[n - 1] != '\\')
        szPath[n++] = '\\';
    memcpy(szPath + n, pszName, nName + 1);
    // Loaded again by each call, never freed: the count only grows, and the
    // library stays for the process's life as a static import would.
    return ::LoadLibraryA(szPath);
}

void SystemInitCommonControls()
{
    InitCommonControlsProc pfn =
        SystemEntry<InitCommonControlsProc>(COMMON_CONTROLS_LIBRARY, "InitCommonControls");
    if (pfn)
        pfn();
}

BOOL SystemInitCommonControlsEx(const INITCOMMONCONTROLSEX* pInit)
{
    InitCommonControlsExProc pfn =
        SystemEntry<InitCommonControlsExProc>(COMMON_CONTROLS_LIBRARY, "InitCommonControlsEx");
    return pfn ? pfn(pInit) : FALSE;
}

BOOL SystemTrackMouseEvent(TRACKMOUSEEVENT* pEvent)
{
    TrackMouseEventProc pfn =
        SystemEntry<TrackMouseEventProc>(COMMON_CONTROLS_LIBRARY, "_TrackMouseEvent");
    return pfn ? pfn(pEvent) : FALSE;
}

BOOL SystemSQLConfigDataSource(HWND hwndParent, WORD fRequest, LPCSTR lpszDriver,
                               LPCSTR lpszAttributes)
{
    SQLConfigDataSourceProc pfn =
        SystemEntry<SQLConfigDataSourceProc>(ODBC_INSTALLER_LIBRARY, "SQLConfigDataSource");
    return pfn ? pfn(hwndParent, fRequest, lpszDriver, lpszAttributes) : FALSE;
}

SHORT SystemSQLInstallerError(WORD iError, DWORD* pfErrorCode, LPSTR lpszErrorMsg,
                              WORD cbErrorMsgMax, WORD* pcbErrorMsg)
{
    SQLInstallerErrorProc pfn =
        SystemEntry<SQLInstallerErrorProc>(ODBC_INSTALLER_LIBRARY, "SQLInstallerError");
    return pfn ? pfn(iError, pfErrorCode, lpszErrorMsg, cbErrorMsgMax, pcbErrorMsg) : -1;
}
