#include "setup/AcadSupportPathRule.h"

CString PatternFolderEntry(const CString& strInstallDir)
{
    CString strEntry;
    strEntry.Format("%sHatchPat\\;", (LPCTSTR)strInstallDir);
    return strEntry;
}

BOOL SupportPathWithEntry(const CString& strCurrent, const CString& strEntry, CString& strNew)
{
    strNew.Empty();
    if (strCurrent.Find(strEntry) >= 0)
        return FALSE;
    if (strEntry.GetLength() + strCurrent.GetLength() > SUPPORT_PATH_MAX_LENGTH)
        return FALSE;
    strNew = strEntry + strCurrent;
    return TRUE;
}
