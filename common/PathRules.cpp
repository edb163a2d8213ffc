#include "common/PathRules.h"
#include "framework/mbcs.h"

// Offset of the last character of s, or -1 when s is empty.
static int LastCharStart(const char* s, int len)
{
    int last = -1;
    for (int i = 0; i < len; i = MbsNext(s, len, i))
        last = i;
    return last;
}

BOOL PathEndsWith(const CString& strPath, char ch)
{
    int last = LastCharStart(strPath, strPath.GetLength());
    // A double-byte character is never equal to a single-byte one.
    return last >= 0 && last == strPath.GetLength() - 1 && strPath[last] == ch;
}

BOOL PathEndsWithSeparator(const CString& strPath)
{
    return PathEndsWith(strPath, '\\') || PathEndsWith(strPath, '/');
}

CString JoinPath(const CString& strFolder, const CString& strName)
{
    if (strFolder.GetLength() <= 2)
        return strName;
    if (PathEndsWithSeparator(strFolder))
        return strFolder + strName;
    return strFolder + "\\" + strName;
}

CString SourceFolderFromModulePath(const CString& strModulePath)
{
    // The search from the end steps over double-byte characters, so a trail
    // byte 0x5C in the program's name is not taken for the separator.
    int cut = strModulePath.ReverseFind('\\');
    CString folder = cut >= 0 ? strModulePath.Left(cut) : strModulePath;
    // An empty path gives "\", the root of the current drive.
    if (!PathEndsWith(folder, '\\'))
        folder += '\\';
    return folder;
}

BOOL ProgramFolderFromModulePath(LPCTSTR pszPath, DWORD nLength, DWORD nBufferSize,
                                 CString& strFolder)
{
    if (nLength == 0 || nLength >= nBufferSize)
        return FALSE;
    int slash = MbsReverseFindChar(pszPath, (int)nLength, '\\');
    strFolder = CString(pszPath, slash + 1);
    return TRUE;
}
