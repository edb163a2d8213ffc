// The install log's file: written by Setup at the end of a complete run, read
// whole by Uninstall. Both go through the C runtime's text mode.
#include "common/CInstallLog.h"
#include "common/PathRules.h"
#include "common/Product.h"
#include "framework/CFile.h"

#include <io.h>
#include <stdexcept>
#include <string>

BOOL CInstallLog::Save(LPCTSTR pszInstallDir)
{
    CString path = JoinPath(pszInstallDir, INSTALL_LOG_NAME);
    // A hidden file cannot be truncated by a create that asks for normal
    // attributes, so the log of an earlier installation goes first.
    ::DeleteFileA(path);
    // The log records itself, so that Uninstall deletes it with the other files.
    AddFileCopy(path);
    if (_access(path, 0) == 0)
        ::DeleteFileA(path);
    try
    {
        CStdioFile file(path, CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        file.Write((LPCTSTR)m_strText, (UINT)m_strText.GetLength());
        file.Close();
    }
    catch (CFileException* e)
    {
        e->Delete();
        return FALSE;
    }
    ::SetFileAttributesA(path, FILE_ATTRIBUTE_HIDDEN);
    return TRUE;
}

BOOL CInstallLog::Load(LPCTSTR pszPath)
{
    try
    {
        CStdioFile file(pszPath, CFile::modeRead | CFile::typeText);
        DWORD size = file.GetLength();
        // Text mode turns each CR LF into one LF, so the read may deliver
        // fewer bytes than the file holds; the text is what it delivered.
        std::string buffer(size, '\0');
        UINT got = size ? file.Read(&buffer[0], (UINT)size) : 0;
        file.Close();
        m_strText = CString(buffer.data(), (int)got);
    }
    catch (CFileException* e)
    {
        e->Delete();
        return FALSE;
    }
    catch (const std::exception&)
    {
        // A file too large to hold is no log.
        return FALSE;
    }
    return TRUE;
}
