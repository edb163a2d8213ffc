// The install log: one line a change that Setup made, kept as text in memory
// while Setup works, written to the hidden "Uninstall.log" at the end of a
// complete run, and read back whole by Uninstall, which replays it.
#pragma once
#include "framework/CString.h"

// Entry kinds; the numbers are those the log's readers use.
enum
{
    LOG_FILE_COPY = 0,
    LOG_MADE_DIR = 1,
    LOG_REG_CTRL = 2,
    LOG_REGDB_KEY = 3
};

class CInstallLog
{
public:
    // Writer side (Setup's worker thread).
    void AddFileCopy(LPCTSTR pszPath);
    void AddMadeDir(LPCTSTR pszPath);
    void AddRegCtrl(LPCTSTR pszPath);
    void AddRegKey(HKEY hRoot, LPCTSTR pszSubKey);
    // Writes "Uninstall.log" into the install folder; FALSE on a file error.
    BOOL Save(LPCTSTR pszInstallDir);

    // Reader side (Uninstall).
    BOOL Load(LPCTSTR pszPath);
    // Finds the next entry of the kind at or after nPos; see the source for the rules.
    BOOL FindNext(int nKind, int& nPos, int& nStart, int& nLength) const;
    int CountEntries(int nKind) const;

    const CString& GetText() const { return m_strText; }
    // Replaces the whole text (the reader's input when it does not come from a file).
    void SetText(const CString& strText) { m_strText = strText; }

private:
    void Append(LPCTSTR pszPrefix, LPCTSTR pszValue);
    CString m_strText;
};

// The prefix of an entry kind ("File Copy: " ...), or null for an unknown kind.
LPCTSTR InstallLogPrefix(int nKind);

// The root code written for a registry root ("0" to "4").
CString RegRootCode(HKEY hRoot);
// The registry root that a code reads back as: "0" to "3" exactly, anything else
// HKEY_CURRENT_CONFIG.
HKEY RegRootFromCode(const CString& strCode);
// Splits a "RegDB Key: " value at its first comma into the root and the sub-key.
// FALSE (and nothing set) when the value has no comma.
BOOL SplitRegKeyValue(const CString& strValue, HKEY& hRoot, CString& strSubKey);
