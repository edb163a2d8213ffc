#include "common/CallModuleEntry.h"

#include "framework/AutoHandle.h"

namespace
{
typedef HRESULT(STDAPICALLTYPE* ModuleEntryProc)();
}

BOOL CallModuleEntry(LPCSTR pszPath, LPCSTR pszEntry)
{
    CAutoModule module(::LoadLibraryA(pszPath));
    if (!module)
        return FALSE;
    // The module is freed when it goes out of scope, after its entry has run.
    // The entry's real type goes through the generic function pointer type.
    FARPROC pfnEntry = ::GetProcAddress(module.Get(), pszEntry);
    ModuleEntryProc pfnCall =
        reinterpret_cast<ModuleEntryProc>(reinterpret_cast<void (*)()>(pfnEntry));
    if (pfnCall == NULL)
        return FALSE;
    return pfnCall() == 0 ? TRUE : FALSE;
}
