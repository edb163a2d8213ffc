// The text of the batch file "\DelUS.bat" that deletes the uninstaller once it
// has ended, removes the uninstaller's folder if that is empty by then, and
// deletes itself.
#pragma once
#include "framework/CString.h"

// Where the batch is written and how it is started: the root of the current drive.
#define DELETE_BATCH_PATH "\\DelUS.bat"

// The batch for the executable at strExePath (a full path). The folder is the
// path cut at its last backslash, found by the code page's multibyte rules.
// Every '%' of the paths is written as "%%" so that the command interpreter
// reads it as the character itself instead of expanding a variable.
CString MakeDeleteBatch(const CString& strExePath);
