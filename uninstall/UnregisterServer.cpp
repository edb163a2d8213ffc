#include "uninstall/UnregisterServer.h"

#include "framework/AutoHandle.h"

namespace
{
typedef HRESULT(STDAPICALLTYPE* DllUnregisterServerProc)();
}

BOOL UnregisterServer(LPCTSTR pszPath)
{
    CAutoModule module(::LoadLibraryA(pszPath));
    if (!module)
        return FALSE;
    // The module is freed when it goes out of scope, after its entry has run.
    FARPROC pfnEntry = ::GetProcAddress(module.Get(), "DllUnregisterServer");
    DllUnregisterServerProc pfnUnregister =
        reinterpret_cast<DllUnregisterServerProc>(reinterpret_cast<void (*)()>(pfnEntry));
    if (pfnUnregister == NULL)
        return FALSE;
    return pfnUnregister() == 0 ? TRUE : FALSE;
}
