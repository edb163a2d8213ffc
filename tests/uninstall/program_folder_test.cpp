#include "common/PathRules.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>

static bool Folder(const char* pszPath, DWORD nLength, DWORD nBufferSize, std::string& strFolder)
{
    CString folder("unset");
    BOOL bFound = ProgramFolderFromModulePath(pszPath, nLength, nBufferSize, folder);
    strFolder = std::string((LPCTSTR)folder, (size_t)folder.GetLength());
    return bFound != FALSE;
}

TEST(ProgramFolder, CutBehindTheLastBackslashUnlessThePathMayBeCutShort)
{
    // "運" in code page 936 ends with the trail byte 0x5C.
    const char* path = "C:\\Tessora\\\xDF\x5C.exe";
    std::string folder;
    ASSERT_TRUE(Folder(path, (DWORD)std::strlen(path), 260, folder));
    EXPECT_EQ("C:\\Tessora\\", folder);
    // A failed call, and a path that fills the buffer (here it would give the
    // parent "C:\"), find nothing.
    EXPECT_FALSE(Folder("", 0, 260, folder));
    EXPECT_FALSE(Folder("C:\\Tessora", 10, 10, folder));
    EXPECT_EQ("unset", folder);
}
