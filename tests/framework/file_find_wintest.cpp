#include "framework/CFileFind.h"
#include "support/TestMedium.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
#define CHENG "\xD5\x5C" // 誠, trail byte '\'
#define QIAN "\x9C\x5C"  // 淺, trail byte '\'

// The names the system itself returns for a pattern, in its order.
std::vector<std::string> RawNames(LPCTSTR pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA(pattern, &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(fd.cFileName);
    while (::FindNextFileA(h, &fd));
    ::FindClose(h);
    return names;
}

// The loop every caller writes: the entry that FindNextFile moved to is
// processed whatever it returned.
std::vector<std::string> LoopNames(LPCTSTR pattern)
{
    std::vector<std::string> names;
    CFileFind ff;
    BOOL more = ff.FindFile(pattern);
    while (more)
    {
        more = ff.FindNextFile();
        names.push_back((LPCTSTR)ff.GetFileName());
    }
    return names;
}

// Restores the process's current folder when the scope ends.
class CCurrentDirectory
{
public:
    CCurrentDirectory() { ::GetCurrentDirectoryA(MAX_PATH, m_sz); }
    ~CCurrentDirectory() { ::SetCurrentDirectoryA(m_sz); }

private:
    char m_sz[MAX_PATH];
};

class CFileFindTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WriteFileBytes(m_dir.Path("a.txt").c_str(), "a");
        WriteFileBytes(m_dir.Path("b.dat").c_str(), "b");
        WriteFileBytes(m_dir.Path(CHENG ".txt").c_str(), "c");
        ::CreateDirectoryA(m_dir.Path(QIAN).c_str(), NULL);
        ::CreateDirectoryA(m_dir.Path("sub").c_str(), NULL);
        WriteFileBytes(m_dir.Path(QIAN "\\x.txt").c_str(), "x");
    }
    CTestMedium m_dir{"find"};
};
} // namespace

TEST_F(CFileFindTest, LoopVisitsEveryEntryInTheSystemsOrder)
{
    CString pattern = m_dir.Path("*.*").c_str();
    std::vector<std::string> raw = RawNames(pattern);
    ASSERT_EQ(7u, raw.size()); // ".", "..", three files, two folders
    EXPECT_EQ(raw, LoopNames(pattern));
    // One match: FindNextFile reports that nothing follows, yet the entry is there.
    EXPECT_EQ(std::vector<std::string>{"b.dat"}, LoopNames(m_dir.Path("*.dat").c_str()));
}

TEST_F(CFileFindTest, FindNextFileReturnsFalseOnTheLastEntryWhichStaysCurrent)
{
    CFileFind ff;
    ASSERT_TRUE(ff.FindFile(m_dir.Path("a.txt").c_str()));
    EXPECT_FALSE(ff.FindNextFile());
    EXPECT_STREQ("a.txt", ff.GetFileName());
    EXPECT_FALSE(ff.IsDirectory());
    EXPECT_FALSE(ff.FindNextFile());
    EXPECT_STREQ("a.txt", ff.GetFileName());

    ASSERT_TRUE(ff.FindFile(m_dir.Path("*.txt").c_str()));
    EXPECT_TRUE(ff.FindNextFile());
    EXPECT_FALSE(ff.FindNextFile());
    EXPECT_FALSE(ff.GetFileName().IsEmpty());
}

TEST_F(CFileFindTest, FilePathJoinsTheSearchFolderAndTheName)
{
    CFileFind ff;
    // The folder's own name ends in the byte 0x5C; it is not a separator.
    ASSERT_TRUE(ff.FindFile(m_dir.Path(QIAN "\\*.txt").c_str()));
    ff.FindNextFile();
    EXPECT_STREQ(m_dir.Path(QIAN "\\x.txt").c_str(), ff.GetFilePath());
    EXPECT_STREQ("x.txt", ff.GetFileName());

    // An exact folder name finds that folder, as a folder path check needs.
    ASSERT_TRUE(ff.FindFile(m_dir.Path(QIAN).c_str()));
    ff.FindNextFile();
    EXPECT_TRUE(ff.IsDirectory());
    EXPECT_STREQ(QIAN, ff.GetFileName());
    EXPECT_STREQ(m_dir.Path(QIAN).c_str(), ff.GetFilePath());

    // A relative pattern, or none at all, is taken in the current folder.
    CCurrentDirectory keep;
    ASSERT_TRUE(::SetCurrentDirectoryA(m_dir.Path(QIAN).c_str()));
    ASSERT_TRUE(ff.FindFile("*.txt"));
    ff.FindNextFile();
    EXPECT_STREQ(m_dir.Path(QIAN "\\x.txt").c_str(), ff.GetFilePath());
    ASSERT_TRUE(::SetCurrentDirectoryA(m_dir.Folder().c_str()));
    ASSERT_TRUE(ff.FindFile());
    std::vector<std::string> names;
    BOOL more = TRUE;
    while (more)
    {
        more = ff.FindNextFile();
        names.push_back((LPCTSTR)ff.GetFileName());
        EXPECT_STREQ(m_dir.Path((LPCTSTR)ff.GetFileName()).c_str(), ff.GetFilePath());
    }
    EXPECT_EQ(RawNames(m_dir.Path("*.*").c_str()), names);
}

TEST(CFileFind, EntriesOfADriveRootHaveOneBackslash)
{
    char windir[MAX_PATH];
    ASSERT_GT(::GetWindowsDirectoryA(windir, MAX_PATH), 2u);
    CString root = CString(windir).Left(3); // "C:\"
    CFileFind ff;
    ASSERT_TRUE(ff.FindFile(root + "*"));
    bool more = true;
    while (more)
    {
        more = ff.FindNextFile() != FALSE;
        EXPECT_STREQ(root + ff.GetFileName(), ff.GetFilePath());
    }
}

TEST_F(CFileFindTest, DotsAndFoldersAreRecognised)
{
    CFileFind ff;
    BOOL more = ff.FindFile(m_dir.Path("*.*").c_str());
    int dots = 0, folders = 0, files = 0;
    while (more)
    {
        more = ff.FindNextFile();
        CString name = ff.GetFileName();
        bool isDots = name == "." || name == "..";
        EXPECT_EQ(isDots, ff.IsDots() != FALSE) << (LPCTSTR)name;
        if (ff.IsDots())
            ++dots;
        else if (ff.IsDirectory())
            ++folders;
        else
            ++files;
    }
    EXPECT_EQ(2, dots);
    EXPECT_EQ(2, folders);
    EXPECT_EQ(3, files);
}

TEST_F(CFileFindTest, FailedSearchLeavesTheSystemsErrorAndNoEntry)
{
    CFileFind ff;
    EXPECT_FALSE(ff.FindFile(m_dir.Path("missing\\*.*").c_str()));
    EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, ::GetLastError());
    EXPECT_FALSE(ff.FindNextFile());
    EXPECT_FALSE(ff.FindFile(m_dir.Path("*.none").c_str()));
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, ::GetLastError());
    EXPECT_FALSE(ff.FindNextFile());
    EXPECT_TRUE(ff.GetFileName().IsEmpty());
}

TEST_F(CFileFindTest, CloseEndsTheSearchAndASearchCanStartAgain)
{
    CFileFind ff;
    ASSERT_TRUE(ff.FindFile(m_dir.Path("*.*").c_str()));
    EXPECT_TRUE(ff.FindNextFile());
    ff.Close();
    EXPECT_FALSE(ff.FindNextFile());
    ASSERT_TRUE(ff.FindFile(m_dir.Path("b.dat").c_str()));
    EXPECT_FALSE(ff.FindNextFile());
    EXPECT_STREQ("b.dat", ff.GetFileName());
}
