#include "uninstall/ProgramFolder.h"
#include "framework/mbcs.h"

BOOL ProgramFolderFromModulePath(LPCTSTR pszPath, DWORD nLength, DWORD nBufferSize,
                                 CString& strFolder)
{
    if (nLength == 0 || nLength >= nBufferSize)
        return FALSE;
    int slash = MbsReverseFindChar(pszPath, (int)nLength, '\\');
    strFolder = CString(pszPath, slash + 1);
    return TRUE;
}
