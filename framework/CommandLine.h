// The arguments of a program's command line, without the program's name.
#pragma once
#include "framework/CString.h"

// What follows the program's name in strCmdLine (the line the system gives,
// name first), without the blanks around it. The name ends at its closing
// quote when it is quoted, else at the first blank, except that an unquoted
// line starting with the program's own path (strModulePath, any case) loses
// that whole path: an uninstall entry names the program unquoted, and its
// folder may hold blanks ("C:\Program Files\...").
CString CommandLineArguments(const CString& strCmdLine, const CString& strModulePath);
