#include "bench/CopyTree.h"

namespace
{
bool IsDots(const char* pszName)
{
    return pszName[0] == '.' && (pszName[1] == '\0' || (pszName[1] == '.' && pszName[2] == '\0'));
}

// Creates the folder and those above it. The walk goes by characters: in code
// page 936 a trail byte 0x5C is not a separator.
bool MakeFolderPath(const std::string& strPath)
{
    for (size_t i = 0; i < strPath.size(); ++i)
    {
        if (::IsDBCSLeadByte((BYTE)strPath[i]))
        {
            ++i;
            continue;
        }
        if (strPath[i] == '\\' && i > 0 && strPath[i - 1] != ':')
            ::CreateDirectoryA(strPath.substr(0, i).c_str(), NULL);
    }
    return ::CreateDirectoryA(strPath.c_str(), NULL) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

void CopyInto(const std::string& strSource, const std::string& strDest, CTreeCount& count,
              const CTreeStep& step)
{
    WIN32_FIND_DATAA fd;
    HANDLE hFind = ::FindFirstFileA((strSource + "\\*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do
    {
        if (IsDots(fd.cFileName))
            continue;
        std::string source = strSource + "\\" + fd.cFileName;
        std::string dest = strDest + "\\" + fd.cFileName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        {
            if (::CreateDirectoryA(dest.c_str(), NULL) || ::GetLastError() == ERROR_ALREADY_EXISTS)
            {
                ++count.nFolders;
                CopyInto(source, dest, count, step);
            }
            else
                ++count.nFailed;
        }
        else if (::CopyFileA(source.c_str(), dest.c_str(), FALSE))
        {
            ::SetFileAttributesA(dest.c_str(), FILE_ATTRIBUTE_NORMAL);
            ++count.nFiles;
        }
        else
            ++count.nFailed;
        step(dest);
    } while (::FindNextFileA(hFind, &fd));
    ::FindClose(hFind);
}
} // namespace

CTreeCount CopyTree(const std::string& strSource, const std::string& strDest, CTreeStep step)
{
    CTreeCount count;
    if (::GetFileAttributesA(strSource.c_str()) == INVALID_FILE_ATTRIBUTES ||
        !MakeFolderPath(strDest))
    {
        ++count.nFailed;
        return count;
    }
    ++count.nFolders;
    CopyInto(strSource, strDest, count, step);
    return count;
}
