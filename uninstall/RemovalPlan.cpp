#include "uninstall/RemovalPlan.h"

#include <cstring>

namespace
{
// The values of one kind in log order. A value holding a NUL byte (only a
// damaged log has one) is left out, or with bKeepPlace kept as an empty text.
CStringArray ListValues(const CInstallLog& log, int nKind, bool bKeepPlace)
{
    CStringArray values;
    const CString& strText = log.GetText();
    int nPos = 0, nStart = 0, nLength = 0;
    while (log.FindNext(nKind, nPos, nStart, nLength))
    {
        if (std::memchr((LPCTSTR)strText + nStart, '\0', (size_t)nLength) == nullptr)
            values.Add(strText.Mid(nStart, nLength));
        else if (bKeepPlace)
            values.Add(CString());
    }
    return values;
}
} // namespace

CStringArray ListLogValues(const CInstallLog& log, int nKind)
{
    return ListValues(log, nKind, false);
}

CStringArray ListFileDeletions(const CInstallLog& log)
{
    return ListValues(log, LOG_FILE_COPY, true);
}

CStringArray ListFolderRemovals(const CInstallLog& log)
{
    // Setup logs a folder before anything inside it; the reverse order removes
    // the inner folders first, so that their parents can be empty in turn.
    CStringArray folders = ListLogValues(log, LOG_MADE_DIR);
    CStringArray reversed;
    for (int i = folders.GetUpperBound(); i >= 0; --i)
        reversed.Add(folders[i]);
    return reversed;
}

std::vector<CRegKeyDeletion> ListRegKeyDeletions(const CInstallLog& log)
{
    std::vector<CRegKeyDeletion> deletions;
    CStringArray keys = ListLogValues(log, LOG_REGDB_KEY);
    for (int i = 0; i < keys.GetSize(); ++i)
    {
        CRegKeyDeletion key;
        if (SplitRegKeyValue(keys[i], key.m_hRoot, key.m_strSubKey))
            deletions.push_back(key);
    }
    return deletions;
}
