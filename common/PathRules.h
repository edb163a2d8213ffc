// The path rules both programs follow. A path's end is judged by its last
// character, not merely its last byte: in code page 936 the trail byte of a
// double-byte character may be 0x5C, and a folder such as "E:\運" (bytes
// ... DF 5C) does not end with a backslash.
#pragma once
#include "framework/CString.h"

// TRUE when the last character of the text is the single-byte character ch.
BOOL PathEndsWith(const CString& strPath, char ch);

// TRUE when the last character is a backslash or a forward slash.
BOOL PathEndsWithSeparator(const CString& strPath);

// Joins a folder and a name with one backslash: the folder, a backslash unless
// its last character already is '\' or '/', then the name. A folder of two
// bytes or fewer (empty, or a bare drive such as "C:") gives the name alone.
CString JoinPath(const CString& strFolder, const CString& strName);

// The program's own folder, as Setup takes it for its source: the module path
// cut at its last backslash (multibyte-aware), always ending with a backslash;
// a path without one stays whole. An empty path (the module path could not be
// had) gives "\", the root of the current drive.
CString SourceFolderFromModulePath(const CString& strModulePath);

// The program's own folder, as Uninstall takes it to look for the install log
// when the product key names no install folder. The path is as
// GetModuleFileNameA delivered it (nLength bytes into a buffer of nBufferSize):
// the folder is the path up to and including its last backslash
// (multibyte-aware). FALSE when the call failed or filled the whole buffer: the
// path may then be cut short, and its folder could be a parent of the
// program's, holding another installation's log.
BOOL ProgramFolderFromModulePath(LPCTSTR pszPath, DWORD nLength, DWORD nBufferSize,
                                 CString& strFolder);
