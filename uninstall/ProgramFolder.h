// Where Uninstall looks for the install log when the product key names no
// install folder: the folder of its own program file.
#pragma once
#include "framework/CString.h"

// The folder of a module path as GetModuleFileNameA delivered it (nLength
// bytes into a buffer of nBufferSize): the path up to and including its last
// backslash (multibyte-aware). FALSE when the call failed or filled the whole
// buffer: the path may then be cut short, and its folder could be a parent of
// the program's, holding another installation's log.
BOOL ProgramFolderFromModulePath(LPCTSTR pszPath, DWORD nLength, DWORD nBufferSize,
                                 CString& strFolder);
