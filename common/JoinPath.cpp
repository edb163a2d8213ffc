#include "common/JoinPath.h"

CString JoinPath(const CString& strFolder, const CString& strName)
{
    int len = strFolder.GetLength();
    if (len <= 2)
        return strName;
    char last = strFolder[len - 1];
    if (last == '\\' || last == '/')
        return strFolder + strName;
    return strFolder + "\\" + strName;
}
