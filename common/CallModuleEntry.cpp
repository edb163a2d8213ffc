#include "common/CallModuleEntry.h"

#include "common/SystemErrorText.h"
#include "framework/AutoHandle.h"
#include "framework/CRunLog.h"

namespace
{
typedef HRESULT(STDAPICALLTYPE* ModuleEntryProc)();
}

BOOL CallModuleEntry(LPCSTR pszPath, LPCSTR pszEntry)
{
    CAutoModule module(::LoadLibraryA(pszPath));
    if (!module)
    {
        RUN_LOG("control %s: %s not called: the file cannot be loaded, %s", pszPath, pszEntry,
                (LPCTSTR)SystemErrorLine(::GetLastError()));
        return FALSE;
    }
    // The module is freed when it goes out of scope, after its entry has run.
    // The entry's real type goes through the generic function pointer type.
    FARPROC pfnEntry = ::GetProcAddress(module.Get(), pszEntry);
    ModuleEntryProc pfnCall =
        reinterpret_cast<ModuleEntryProc>(reinterpret_cast<void (*)()>(pfnEntry));
    if (pfnCall == NULL)
    {
        RUN_LOG("control %s: %s not called: the file has no such entry", pszPath, pszEntry);
        return FALSE;
    }
    HRESULT hr = pfnCall();
    RUN_LOG("control %s: %s returned 0x%08lX", pszPath, pszEntry, (unsigned long)hr);
    return hr == 0 ? TRUE : FALSE;
}
