// Where Setup takes the product from and where it puts it. Pure rules: the
// callers gather the module path and the "SystemRoot" text.
#pragma once
#include "framework/CString.h"

// The folder of the program file (cut at its last backslash, multibyte-aware),
// always ending with a backslash; a path without one stays whole. An empty path
// (the module path could not be had) gives "\", the root of the current drive.
CString SourceFolderFromModulePath(const CString& strModulePath);

// The install folder on the drive named by the "SystemRoot" text: its first byte
// after trimming when the trimmed text is longer than one byte, else "C";
// followed by ":\Program Files\Quorvatek\Tessora\".
CString InstallFolderFromSystemRoot(const CString& strSystemRoot);
