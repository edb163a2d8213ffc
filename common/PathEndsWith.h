// Tests on the end of a path look at its last character, not merely its last
// byte: in code page 936 the trail byte of a double-byte character may be 0x5C,
// and a folder such as "E:\運" (bytes ... DF 5C) does not end with a backslash.
#pragma once
#include "framework/CString.h"

// TRUE when the last character of the text is the single-byte character ch.
BOOL PathEndsWith(const CString& strPath, char ch);

// TRUE when the last character is a backslash or a forward slash.
BOOL PathEndsWithSeparator(const CString& strPath);
