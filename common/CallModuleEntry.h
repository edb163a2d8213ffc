// Runs one entry of a library file, as controls register and unregister
// themselves: the file is loaded, the entry called and the file freed again.
#pragma once
#include <windows.h>

// TRUE only when the entry (of the type HRESULT STDAPICALLTYPE (void)) ran and
// returned 0; a missing file, a file that is no library and a library without
// the entry give FALSE.
BOOL CallModuleEntry(LPCSTR pszPath, LPCSTR pszEntry);
