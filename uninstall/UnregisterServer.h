// Undoes a control's self-registration before its file is deleted.
#pragma once
#include "framework/CString.h"

// Loads the control file, calls its DllUnregisterServer when it exports one and
// frees it again. TRUE only when the entry ran and returned 0; a missing file,
// a file that is no library and a library without the entry give FALSE.
BOOL UnregisterServer(LPCTSTR pszPath);
