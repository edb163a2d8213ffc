#include "uninstall/UnregisterServer.h"

#include "common/SystemErrorText.h"
#include "framework/AutoHandle.h"
#include "framework/CRunLog.h"

namespace
{
typedef HRESULT(STDAPICALLTYPE* DllUnregisterServerProc)();
}

BOOL UnregisterServer(LPCTSTR pszPath)
{
    CAutoModule module(::LoadLibraryA(pszPath));
    if (!module)
    {
        RUN_LOG("control not unregistered: %s: not loaded, %s", pszPath,
                (LPCTSTR)SystemErrorLine(::GetLastError()));
        return FALSE;
    }
    // The module is freed when it goes out of scope, after its entry has run.
    FARPROC pfnEntry = ::GetProcAddress(module.Get(), "DllUnregisterServer");
    DllUnregisterServerProc pfnUnregister =
        reinterpret_cast<DllUnregisterServerProc>(reinterpret_cast<void (*)()>(pfnEntry));
    if (pfnUnregister == NULL)
    {
        RUN_LOG("control not unregistered: %s: it has no DllUnregisterServer", pszPath);
        return FALSE;
    }
    HRESULT hr = pfnUnregister();
    RUN_LOG("control %s: %s, DllUnregisterServer returned 0x%08lX",
            hr == 0 ? "unregistered" : "not unregistered", pszPath, (unsigned long)hr);
    return hr == 0 ? TRUE : FALSE;
}
