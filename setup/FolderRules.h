// Where Setup puts the product. A pure rule: the caller gathers the
// "SystemRoot" text. (Where it takes the product from is the program's own
// folder, one of the shared path rules.)
#pragma once
#include "framework/CString.h"

// The install folder on the drive named by the "SystemRoot" text: its first byte
// after trimming when the trimmed text is longer than one byte, else "C";
// followed by INSTALL_FOLDER_TAIL and a backslash.
CString InstallFolderFromSystemRoot(const CString& strSystemRoot);
