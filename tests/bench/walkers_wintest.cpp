// The plain walkers the programs are measured against must do the whole job,
// or the comparison flatters them.
#include "bench/CopyTree.h"
#include "bench/DeleteTree.h"
#include "support/TestMedium.h"

#include <gtest/gtest.h>

namespace
{
// 淺 and 籠 end in the byte 0x5C in code page 936.
const char kDeepFile[] = "图案\\淺层\\籠子\\线条.pat";

void FillMedium(CTestMedium& medium)
{
    medium.AddFile("HatchPat\\a.pat", "line 1\r\n");
    medium.AddFile(kDeepFile, std::string(70000, 'x'));
    medium.AddFile("Support\\空.txt", "");
    medium.AddFile("Support\\readonly.dat", "ro", FILE_ATTRIBUTE_READONLY);
    medium.AddFolder("Controls\\empty");
}
} // namespace

TEST(CopyTree, CopiesEveryFileAndFolderIncludingDoubleByteNamesIntoNewParents)
{
    CTestMedium source("walk-src"), target("walk-dst");
    FillMedium(source);
    // The destination's parents do not exist yet, as with a fresh install folder.
    std::string dest = target.Path("Program Files\\Quorvatek\\Tessora");

    CTreeCount count = CopyTree(source.Root().substr(0, source.Root().size() - 1), dest);

    EXPECT_EQ(0, count.nFailed);
    EXPECT_EQ(4, count.nFiles);
    // The top folder and 图案, 淺层, 籠子, HatchPat, Support, Controls, empty.
    EXPECT_EQ(8, count.nFolders);
    CTree copied = ReadTree(dest);
    CTree original = source.Read();
    ASSERT_EQ(original.size(), copied.size());
    EXPECT_EQ(std::vector<std::string>(), EntriesNotAlike(original, copied));
    // Every copy gets normal attributes, as Setup gives them: the work every file needs.
    DWORD dwCopied = ::GetFileAttributesA((dest + "\\Support\\readonly.dat").c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, dwCopied);
    EXPECT_FALSE(dwCopied & FILE_ATTRIBUTE_READONLY);
}

TEST(CopyTree, MissingSourceIsAFailureAndCreatesNothing)
{
    CTestMedium target("walk-dst");
    CTreeCount count = CopyTree(target.Path("no such folder"), target.Path("out"));
    EXPECT_EQ(1, count.nFailed);
    EXPECT_EQ(0, count.nFiles);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(target.Path("out").c_str()));
}

TEST(DeleteTree, RemovesEveryFileAndFolderDeepestFirst)
{
    CTestMedium medium("walk-del");
    medium.AddFile("HatchPat\\a.pat", "a");
    medium.AddFile(kDeepFile, "deep");
    medium.AddFolder("Controls\\empty");
    std::string top = medium.Path("HatchPat");
    std::string all = medium.Root().substr(0, medium.Root().size() - 1);

    CTreeCount count = DeleteTree(all);

    EXPECT_EQ(0, count.nFailed);
    EXPECT_EQ(2, count.nFiles);
    // 图案, 淺层, 籠子, HatchPat, Controls, empty and the top folder.
    EXPECT_EQ(7, count.nFolders);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(all.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(top.c_str()));
}

TEST(DeleteTree, AFileThatCannotBeDeletedIsReportedAndKeepsItsFolders)
{
    CTestMedium medium("walk-del");
    medium.AddFile("Database\\busy.mdb", "busy");
    medium.AddFile("Database\\free.mdb", "free");
    std::string busy = medium.Path("Database\\busy.mdb");
    // Open without delete sharing: the system refuses to delete it.
    HANDLE hBusy =
        ::CreateFileA(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hBusy);

    CTreeCount count = DeleteTree(medium.Path("Database"));
    ::CloseHandle(hBusy);

    EXPECT_EQ(1, count.nFiles);
    // The busy file, then its folder, which is not empty.
    EXPECT_EQ(2, count.nFailed);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(busy.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              ::GetFileAttributesA(medium.Path("Database\\free.mdb").c_str()));
}

TEST(DeleteTree, MissingFolderIsAFailure)
{
    CTestMedium medium("walk-del");
    CTreeCount count = DeleteTree(medium.Path("gone"));
    EXPECT_EQ(1, count.nFailed);
    EXPECT_EQ(0, count.nFolders);
}
