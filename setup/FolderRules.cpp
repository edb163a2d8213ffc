#include "setup/FolderRules.h"
#include "common/PathEndsWith.h"

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

CString InstallFolderFromSystemRoot(const CString& strSystemRoot)
{
    CString root = strSystemRoot;
    root.TrimLeft();
    root.TrimRight();
    // Only the drive letter is taken from the system, not where its program
    // folder really lies.
    TCHAR drive = root.GetLength() > 1 ? root[0] : 'C';
    CString folder = CString(drive) + ":\\Program Files\\Quorvatek\\Tessora";
    folder.TrimLeft();
    folder.TrimRight();
    if (!PathEndsWith(folder, '\\'))
        folder += '\\';
    return folder;
}
