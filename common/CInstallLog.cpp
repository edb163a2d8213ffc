#include "common/CInstallLog.h"
#include "framework/mbcs.h"

#include <cstring>

LPCTSTR InstallLogPrefix(int nKind)
{
    for (const CInstallLogKind& kind : g_installLogKinds)
        if (kind.m_nKind == nKind)
            return kind.m_pszPrefix;
    return nullptr;
}

CString RegRootCode(HKEY hRoot)
{
    if (hRoot == HKEY_CLASSES_ROOT)
        return "0";
    if (hRoot == HKEY_CURRENT_USER)
        return "1";
    if (hRoot == HKEY_LOCAL_MACHINE)
        return "2";
    if (hRoot == HKEY_USERS)
        return "3";
    return "4";
}

HKEY RegRootFromCode(const CString& strCode)
{
    // The code is compared as a whole: "02" or "2 " is none of the four.
    if (strCode == "0")
        return HKEY_CLASSES_ROOT;
    if (strCode == "1")
        return HKEY_CURRENT_USER;
    if (strCode == "2")
        return HKEY_LOCAL_MACHINE;
    if (strCode == "3")
        return HKEY_USERS;
    return HKEY_CURRENT_CONFIG;
}

BOOL SplitRegKeyValue(const CString& strValue, HKEY& hRoot, CString& strSubKey)
{
    // Only the first comma splits; the sub-key may hold more. A comma is never
    // the trail byte of a double-byte character, so a byte search is exact.
    const char* p = strValue;
    const void* comma = std::memchr(p, ',', (size_t)strValue.GetLength());
    if (!comma)
        return FALSE;
    int at = (int)((const char*)comma - p);
    hRoot = RegRootFromCode(strValue.Left(at));
    strSubKey = strValue.Mid(at + 1);
    return TRUE;
}

void CInstallLog::Append(LPCTSTR pszPrefix, LPCTSTR pszValue)
{
    m_strText += pszPrefix;
    m_strText += pszValue;
    m_strText += '\n';
}

void CInstallLog::AddFileCopy(LPCTSTR pszPath)
{
    Append(InstallLogPrefix(LOG_FILE_COPY), pszPath);
}

void CInstallLog::AddMadeDir(LPCTSTR pszPath)
{
    Append(InstallLogPrefix(LOG_MADE_DIR), pszPath);
}

void CInstallLog::AddRegCtrl(LPCTSTR pszPath)
{
    Append(InstallLogPrefix(LOG_REG_CTRL), pszPath);
}

void CInstallLog::AddRegKey(HKEY hRoot, LPCTSTR pszSubKey)
{
    Append(InstallLogPrefix(LOG_REGDB_KEY), RegRootCode(hRoot) + "," + pszSubKey);
}

// Offset of the first occurrence of the prefix at or after pos that begins on a
// character start, or -1. A line feed is a character of its own and never the
// trail byte of one, so the walk over characters can begin at the start of the
// line that holds pos instead of at the start of the text: a scan that passes
// its position from call to call stays linear in the length of the log.
static int FindPrefix(const char* s, int len, const char* prefix, int prefixLen, int pos)
{
    int i = pos;
    while (i > 0 && s[i - 1] != '\n')
        --i;
    while (i + prefixLen <= len)
    {
        // The first byte is compared before the call: most positions differ there.
        if (i >= pos && s[i] == prefix[0] && std::memcmp(s + i, prefix, (size_t)prefixLen) == 0)
            return i;
        // A lead byte takes the next byte with it, except a line feed, which
        // always ends the line (a damaged character must not swallow it).
        if (IsLeadByte((BYTE)s[i]) && i + 1 < len && s[i + 1] != '\n')
            i += 2;
        else
            i += 1;
    }
    return -1;
}

BOOL CInstallLog::FindNext(int nKind, int& nPos, int& nStart, int& nLength) const
{
    nStart = -1;
    nLength = 0;
    LPCTSTR prefix = InstallLogPrefix(nKind);
    const char* text = m_strText;
    int len = m_strText.GetLength();
    if (!prefix || nPos > len)
        return FALSE;
    int prefixLen = (int)std::strlen(prefix);
    int match = FindPrefix(text, len, prefix, prefixLen, nPos < 0 ? 0 : nPos);
    if (match < 0)
        return FALSE;
    int start = match + prefixLen;
    const void* lf = std::memchr(text + start, '\n', (size_t)(len - start));
    int end = lf ? (int)((const char*)lf - text) : len;
    nStart = start;
    nLength = end - start;
    nPos = end + 1;
    return TRUE;
}

int CInstallLog::CountEntries(int nKind) const
{
    int count = 0;
    int pos = 0, start = 0, length = 0;
    while (FindNext(nKind, pos, start, length))
        ++count;
    return count;
}
