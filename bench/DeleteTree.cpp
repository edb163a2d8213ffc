#include "bench/DeleteTree.h"

namespace
{
bool IsDots(const char* pszName)
{
    return pszName[0] == '.' && (pszName[1] == '\0' || (pszName[1] == '.' && pszName[2] == '\0'));
}

void DeleteInto(const std::string& strFolder, CTreeCount& count, const CTreeStep& step)
{
    WIN32_FIND_DATAA fd;
    HANDLE hFind = ::FindFirstFileA((strFolder + "\\*").c_str(), &fd);
    if (hFind != INVALID_HANDLE_VALUE)
    {
        do
        {
            if (IsDots(fd.cFileName))
                continue;
            std::string path = strFolder + "\\" + fd.cFileName;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteInto(path, count, step);
            else
            {
                if (::DeleteFileA(path.c_str()))
                    ++count.nFiles;
                else
                    ++count.nFailed;
                step(path);
            }
        } while (::FindNextFileA(hFind, &fd));
        ::FindClose(hFind);
    }
    if (::RemoveDirectoryA(strFolder.c_str()))
        ++count.nFolders;
    else
        ++count.nFailed;
}
} // namespace

CTreeCount DeleteTree(const std::string& strFolder, CTreeStep step)
{
    CTreeCount count;
    if (::GetFileAttributesA(strFolder.c_str()) == INVALID_FILE_ATTRIBUTES)
    {
        ++count.nFailed;
        return count;
    }
    DeleteInto(strFolder, count, step);
    return count;
}
