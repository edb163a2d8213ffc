#include "common/JoinPath.h"
#include "common/PathEndsWith.h"

CString JoinPath(const CString& strFolder, const CString& strName)
{
    if (strFolder.GetLength() <= 2)
        return strName;
    if (PathEndsWithSeparator(strFolder))
        return strFolder + strName;
    return strFolder + "\\" + strName;
}
