// The support path rule of an AutoCAD profile: the product's pattern folder is
// put in front of the profile's "ACAD" folder list, once. Pure text rules; the
// caller reads and writes the registry.
#pragma once
#include "common/RegistryTextLimit.h"
#include "framework/CString.h"

// The longest support path: the longest text the registry write helper takes.
const int SUPPORT_PATH_MAX_LENGTH = REG_TEXT_MAX_LENGTH;

// The pattern folder entry for an install folder that ends with a backslash:
// the folder, "HatchPat", a backslash and the entry's own semicolon.
CString PatternFolderEntry(const CString& strInstallDir);

// Decides the new support path. TRUE, with the entry followed by the whole
// current value in strNew, when the value must be written; FALSE when it must be
// left alone: it already holds the entry (exact, case-sensitive, multibyte-aware
// search), or the entry in front would make it longer than the write helper
// takes. A value is never shortened, since that would drop the user's folders.
BOOL SupportPathWithEntry(const CString& strCurrent, const CString& strEntry, CString& strNew);
