// The process walk of the Windows tests: which processes a process started
// (the command interpreter of the self-deletion batch, for one).
#pragma once
#include <windows.h>
#include <tlhelp32.h>

#include <set>

// The ids of the running processes whose parent is the given process.
inline std::set<DWORD> ChildProcesses(DWORD dwParent)
{
    std::set<DWORD> children;
    HANDLE hSnap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnap == INVALID_HANDLE_VALUE)
        return children;
    PROCESSENTRY32 pe = {};
    pe.dwSize = sizeof(pe);
    for (BOOL ok = ::Process32First(hSnap, &pe); ok; ok = ::Process32Next(hSnap, &pe))
        if (pe.th32ParentProcessID == dwParent)
            children.insert(pe.th32ProcessID);
    ::CloseHandle(hSnap);
    return children;
}
