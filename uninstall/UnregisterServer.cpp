#include "uninstall/UnregisterServer.h"

#include "common/CallModuleEntry.h"

BOOL UnregisterServer(LPCTSTR pszPath)
{
    return CallModuleEntry(pszPath, "DllUnregisterServer");
}
