#include "uninstall/SelfDelete.h"

#include "framework/AutoHandle.h"
#include "uninstall/DeleteBatch.h"

BOOL StartSelfDelete()
{
    // A module path that fails or fills the whole buffer may be cut short and
    // could name another file; no batch is written for it.
    char szExe[MAX_PATH];
    DWORD nExe = ::GetModuleFileNameA(NULL, szExe, sizeof(szExe));
    if (nExe == 0 || nExe >= sizeof(szExe))
        return FALSE;

    CAutoFileHandle file(::CreateFileA(DELETE_BATCH_PATH, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, NULL));
    if (!file)
        return FALSE;
    CString strBatch = MakeDeleteBatch(CString(szExe, (int)nExe));
    DWORD nWritten = 0;
    BOOL bWritten =
        ::WriteFile(file.Get(), (LPCTSTR)strBatch, (DWORD)strBatch.GetLength(), &nWritten, NULL);
    file.Reset();
    // A batch cut short could end inside a path and delete something else:
    // only a complete one is started.
    if (!bWritten || nWritten != (DWORD)strBatch.GetLength())
    {
        ::DeleteFileA(DELETE_BATCH_PATH);
        return FALSE;
    }

    STARTUPINFOA si;
    ZeroMemory(&si, sizeof(si));
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof(pi));
    // An uninstaller installed read-only (from a CD, before Setup gave its
    // copies normal attributes) would keep the batch's "del" failing for ever.
    DWORD dwAttributes = ::GetFileAttributesA(szExe);
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_READONLY))
        ::SetFileAttributesA(szExe, dwAttributes & ~FILE_ATTRIBUTE_READONLY);

    char szCommand[] = DELETE_BATCH_PATH; // CreateProcessA may write into it
    if (!::CreateProcessA(NULL, szCommand, NULL, NULL, FALSE,
                          CREATE_SUSPENDED | IDLE_PRIORITY_CLASS, NULL, "\\", &si, &pi))
        return FALSE;
    CAutoKernelHandle process(pi.hProcess);
    CAutoKernelHandle thread(pi.hThread);

    // The batch starts only once both sides have their priorities: it spins at
    // idle priority while this program finishes at high priority.
    ::SetThreadPriority(thread.Get(), THREAD_PRIORITY_IDLE);
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    ::SetPriorityClass(::GetCurrentProcess(), HIGH_PRIORITY_CLASS);
    process.Reset();
    ::ResumeThread(thread.Get());
    thread.Reset();
    return TRUE;
}
