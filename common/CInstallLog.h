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

// Each entry kind with the prefix that opens its line. A new kind is one more
// row here; the writer, the reader and the fuzz target all take it from here.
struct CInstallLogKind
{
    int m_nKind;
    LPCTSTR m_pszPrefix;
};
inline const CInstallLogKind g_installLogKinds[] = {
    {LOG_FILE_COPY, "File Copy: "},
    {LOG_MADE_DIR, "Made Dir: "},
    {LOG_REG_CTRL, "Reg Ctrl: "},
    {LOG_REGDB_KEY, "RegDB Key: "},
};

class CInstallLog
{
public:
    // Writer side (Setup's worker thread).
    void AddFileCopy(LPCTSTR pszPath);
    void AddMadeDir(LPCTSTR pszPath);
    void AddRegCtrl(LPCTSTR pszPath);
    void AddRegKey(HKEY hRoot, LPCTSTR pszSubKey);
    // Appends the log file's own "File Copy: " entry and writes the text in
    // text mode (CR LF line ends) to "Uninstall.log" in the install folder,
    // replacing an earlier log; the file is left hidden. FALSE on a file error.
    BOOL Save(LPCTSTR pszInstallDir);

    // Reader side (Uninstall).
    // Replaces the text with the whole file read in text mode (each CR LF
    // becomes LF); FALSE on a file error, the text then unchanged.
    BOOL Load(LPCTSTR pszPath);
    // Finds the next entry of the kind at or after character nPos: its prefix
    // wherever it stands (inside another entry's value too, never on the trail
    // byte of a double-byte character); the value runs from behind the prefix
    // to the next LF or the end of the text. On success nStart and nLength
    // delimit the value and nPos moves just past that LF. FALSE when there is
    // none: nStart is -1, nLength 0 and nPos unchanged.
    BOOL FindNext(int nKind, int& nPos, int& nStart, int& nLength) const;
    int CountEntries(int nKind) const;

    const CString& GetText() const { return m_strText; }
    // Replaces the whole text (the reader's input when it does not come from a file).
    void SetText(const CString& strText) { m_strText = strText; }

private:
    void Append(LPCTSTR pszPrefix, LPCTSTR pszValue);
    CString m_strText;
};

// The prefix of an entry kind in g_installLogKinds, or null for an unknown kind.
LPCTSTR InstallLogPrefix(int nKind);

// The root code written for a registry root ("0" to "4").
CString RegRootCode(HKEY hRoot);
// The registry root that a code reads back as: "0" to "3" exactly, anything else
// HKEY_CURRENT_CONFIG.
HKEY RegRootFromCode(const CString& strCode);
// Splits a "RegDB Key: " value at its first comma into the root and the sub-key.
// FALSE (and nothing set) when the value has no comma.
BOOL SplitRegKeyValue(const CString& strValue, HKEY& hRoot, CString& strSubKey);
