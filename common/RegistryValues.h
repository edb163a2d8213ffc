// Registry value helpers: each opens or creates its key, performs one value
// operation, closes the key and returns TRUE on success. Texts go through a
// buffer of REG_TEXT_MAX_LENGTH bytes and a NUL: a longer text is refused by
// the writers, and data that does not fit the buffer is a failed read.
#pragma once
#include "common/RegistryTextLimit.h"
#include "framework/CString.h"

#include <windows.h>

// Reads a value of any type under HKEY_LOCAL_MACHINE; the text is the data up to
// its first NUL or its end (a full buffer of data without a NUL gives a text
// one byte longer than the writers take), or empty on failure. Data that does
// not fit the buffer fails.
BOOL RegReadMachineString(LPCTSTR pszKey, LPCTSTR pszValueName, CString& strOut);
BOOL RegReadUserString(LPCTSTR pszKey, LPCTSTR pszValueName, CString& strOut);
// The same read of a value of a key the caller has opened (and closes).
BOOL RegReadKeyString(HKEY hKey, LPCTSTR pszValueName, CString& strOut);
// Writes REG_SZ data (text and its NUL), creating missing keys on the way. A
// text longer than REG_TEXT_MAX_LENGTH fails as a whole: nothing is created or cut.
BOOL RegWriteMachineString(LPCTSTR pszKey, LPCTSTR pszValueName, LPCTSTR pszText);
BOOL RegWriteUserString(LPCTSTR pszKey, LPCTSTR pszValueName, LPCTSTR pszText);
BOOL RegWriteMachineDword(LPCTSTR pszKey, LPCTSTR pszValueName, DWORD dwValue);

// The number of sub-keys of a key; FALSE when the key cannot be opened or asked.
BOOL RegCountSubKeys(HKEY hRoot, LPCTSTR pszKey, DWORD& nSubKeys);

// A test seam for the write helpers: when set, the filter is asked before every
// write and a FALSE answer makes that write fail without touching the registry
// (the platform under test does not deny writes by itself). Null in the programs.
typedef BOOL (*RegWriteFilter)(HKEY hRoot, LPCTSTR pszKey, LPCTSTR pszValueName);
void SetRegWriteFilter(RegWriteFilter pfnFilter);
