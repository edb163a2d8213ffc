#include "common/ProgramStart.h"
#include "common/Product.h"
#include "common/SystemErrorText.h"
#include "framework/CRunLog.h"

#include <windows.h>

namespace
{
// Shown, unless the run is unattended, for a log file that cannot be created:
// the file, then the system's text.
const char LOG_FAILED_TEXT[] = "不能创建日志文件 %s\n%s";

// The most files of one name stem tried in the temporary folder.
const int MAX_TEMP_LOG_ATTEMPTS = 100;

// "<temp>\Setup-20261209-014313.log", then "-2", "-3"... for the same second:
// a log already there is never replaced.
BOOL OpenTempLog(LPCTSTR pszProgram, CString& strPath)
{
    char szTemp[MAX_PATH + 1] = {0};
    DWORD n = ::GetTempPathA(sizeof(szTemp), szTemp);
    if (n == 0 || n >= sizeof(szTemp))
        return FALSE;
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    CString strStem;
    strStem.Format("%s%s-%04u%02u%02u-%02u%02u%02u", szTemp, pszProgram, now.wYear, now.wMonth,
                   now.wDay, now.wHour, now.wMinute, now.wSecond);
    for (int i = 1; i <= MAX_TEMP_LOG_ATTEMPTS; ++i)
    {
        strPath = strStem;
        if (i > 1)
        {
            CString strCount;
            strCount.Format("-%d", i);
            strPath += strCount;
        }
        strPath += ".log";
        if (CRunLog::Open(strPath, TRUE))
            return TRUE;
        if (::GetLastError() != ERROR_FILE_EXISTS)
            return FALSE;
    }
    return FALSE;
}

typedef BOOL(WINAPI* AllocateAndInitializeSidProc)(PSID_IDENTIFIER_AUTHORITY, BYTE, DWORD, DWORD,
                                                   DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, PSID*);
typedef BOOL(WINAPI* CheckTokenMembershipProc)(HANDLE, PSID, PBOOL);
typedef PVOID(WINAPI* FreeSidProc)(PSID);

// An entry of advapi32 (a known DLL, always from the system folder) as its
// real type, through the generic function pointer type.
template <class Proc> Proc SecurityEntry(LPCSTR pszEntry)
{
    HMODULE hModule = ::GetModuleHandleA("advapi32.dll");
    FARPROC pfn = hModule ? ::GetProcAddress(hModule, pszEntry) : NULL;
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(pfn));
}

// "yes" when the process's token is in the Administrators group, "no" when it
// is not, "unknown" where the system has no such check (Windows 98 and Me lack
// CheckTokenMembership, so it is looked up rather than imported: an import
// would keep both programs from loading there at all).
LPCTSTR AdministratorRights()
{
    AllocateAndInitializeSidProc pfnAllocate =
        SecurityEntry<AllocateAndInitializeSidProc>("AllocateAndInitializeSid");
    CheckTokenMembershipProc pfnCheck =
        SecurityEntry<CheckTokenMembershipProc>("CheckTokenMembership");
    FreeSidProc pfnFree = SecurityEntry<FreeSidProc>("FreeSid");
    if (!pfnAllocate || !pfnCheck || !pfnFree)
        return "unknown";
    SID_IDENTIFIER_AUTHORITY nt = {SECURITY_NT_AUTHORITY};
    PSID pAdmins = NULL;
    if (!pfnAllocate(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                     &pAdmins))
        return "unknown";
    BOOL bMember = FALSE;
    BOOL bChecked = pfnCheck(NULL, pAdmins, &bMember);
    pfnFree(pAdmins);
    return !bChecked ? "unknown" : bMember ? "yes" : "no";
}

void LogStart(const CWinApp* pApp)
{
    RUN_LOG("start: %s %s, command line: %s", pApp->m_pszAppName, PRODUCT_VERSION,
            ::GetCommandLineA());
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof(version));
    version.dwOSVersionInfoSize = sizeof(version);
    ::GetVersionExA(&version);
    RUN_LOG("system: Windows %lu.%lu.%lu %s, ANSI code page %u, administrator rights: %s",
            (unsigned long)version.dwMajorVersion, (unsigned long)version.dwMinorVersion,
            (unsigned long)version.dwBuildNumber, version.szCSDVersion, ::GetACP(),
            AdministratorRights());
}
} // namespace

BOOL TakeProgramOptions(const CWinApp* pApp, LPCTSTR pszOptionsText, CProgramOptions& options)
{
    BOOL bKnownOptions = ReadProgramOptions(pApp->m_lpCmdLine, options);
    // Unattended, no box of the system's own (a drive without a disc, a file
    // that cannot be opened) may wait for a click that never comes.
    if (options.m_bUnattended)
        ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    if (!bKnownOptions)
    {
        if (!options.m_bUnattended)
            ::MessageBoxA(NULL, pszOptionsText, pApp->m_pszAppName, MB_OK | MB_ICONINFORMATION);
        return FALSE;
    }
    if (!options.m_bLog)
        return TRUE;

    BOOL bOpen = options.m_strLogPath.IsEmpty()
                     ? OpenTempLog(pApp->m_pszAppName, options.m_strLogPath)
                     : CRunLog::Open(options.m_strLogPath, FALSE);
    if (!bOpen)
    {
        DWORD dwError = ::GetLastError();
        if (!options.m_bUnattended)
        {
            CString strText;
            strText.Format(LOG_FAILED_TEXT, (LPCTSTR)options.m_strLogPath,
                           (LPCTSTR)SystemErrorText(dwError));
            ::MessageBoxA(NULL, strText, pApp->m_pszAppName, MB_OK | MB_ICONSTOP);
        }
        return FALSE;
    }
    LogStart(pApp);
    return TRUE;
}
