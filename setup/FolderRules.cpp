#include "setup/FolderRules.h"
#include "common/PathRules.h"
#include "common/Product.h"

CString InstallFolderFromSystemRoot(const CString& strSystemRoot)
{
    CString root = strSystemRoot;
    root.TrimLeft();
    root.TrimRight();
    // Only the drive letter is taken from the system, not where its program
    // folder really lies.
    TCHAR drive = root.GetLength() > 1 ? root[0] : 'C';
    CString folder = CString(drive) + INSTALL_FOLDER_TAIL;
    folder.TrimLeft();
    folder.TrimRight();
    if (!PathEndsWith(folder, '\\'))
        folder += '\\';
    return folder;
}
