#include "setup/FileCount.h"
#include "common/PathRules.h"
#include "framework/CFileFind.h"
#include "common/Product.h"

int CountFilesIn(CString strFolder, BOOL bRecurse)
{
    strFolder.TrimLeft();
    strFolder.TrimRight();
    if (strFolder.IsEmpty())
        return 0;
    if (!PathEndsWith(strFolder, '\\'))
        strFolder += '\\';

    int count = 0;
    CFileFind finder;
    BOOL more = finder.FindFile(strFolder + "*.*");
    while (more)
    {
        more = finder.FindNextFile();
        if (finder.IsDots())
            continue;
        if (finder.IsDirectory())
        {
            if (bRecurse)
                count += CountFilesIn(finder.GetFilePath(), bRecurse);
        }
        else
            ++count;
    }
    return count;
}

int CountFiles(const CString& strSourceDir)
{
    int count = 0;
    for (const char* name : g_pszProductFolders)
        count += CountFilesIn(strSourceDir + name, TRUE);
    return count;
}
