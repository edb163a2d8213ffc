#include "common/CInstallLog.h"
#include "support/Bytes.h"
#include "support/TestMedium.h"

#include <gtest/gtest.h>
#include <string>

TEST(InstallLogFile, SaveWritesCrLfLinesHiddenReplacingAnEarlierLog)
{
    CTestMedium dir("log");
    // An earlier installation's log, hidden and longer than the new one.
    dir.AddFile("Uninstall.log", std::string(4000, 'x'),
                FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);

    CInstallLog log;
    log.AddMadeDir((dir.Root() + "填充图案").c_str());
    log.AddFileCopy("a\rb");
    log.AddRegKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvatek\\Tessora\\V5");
    ASSERT_TRUE(log.Save(dir.Root().c_str()));

    const std::string path = dir.Path("Uninstall.log");
    EXPECT_EQ("Made Dir: " + dir.Root() +
                  "填充图案\r\n"
                  "File Copy: a\rb\r\n"
                  "RegDB Key: 2,SOFTWARE\\Quorvatek\\Tessora\\V5\r\n"
                  "File Copy: " +
                  path + "\r\n",
              ReadFileBytes(path));
    EXPECT_EQ((DWORD)FILE_ATTRIBUTE_HIDDEN, GivenAttributes(::GetFileAttributesA(path.c_str())));
    // The log records itself in memory too, as its last entry.
    EXPECT_EQ(4, log.CountEntries(LOG_FILE_COPY) + log.CountEntries(LOG_MADE_DIR) +
                     log.CountEntries(LOG_REGDB_KEY));

    // Saving again over the hidden file replaces it and leaves it hidden.
    CInstallLog second;
    ASSERT_TRUE(second.Save(dir.Root().c_str()));
    EXPECT_EQ("File Copy: " + path + "\r\n", ReadFileBytes(path));
    EXPECT_EQ((DWORD)FILE_ATTRIBUTE_HIDDEN, GivenAttributes(::GetFileAttributesA(path.c_str())));
}

TEST(InstallLogFile, SaveIntoBareDriveUsesCurrentDirectoryAndMissingFolderFails)
{
    CTestMedium dir("log");
    char previous[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryA(dir.Root().c_str()));
    CInstallLog log;
    BOOL saved = log.Save("C:");
    ::SetCurrentDirectoryA(previous);
    EXPECT_TRUE(saved);
    EXPECT_EQ("File Copy: Uninstall.log\r\n", ReadFileBytes(dir.Path("Uninstall.log")));

    CInstallLog lost;
    EXPECT_FALSE(lost.Save(dir.Path("missing\\").c_str()));
}

TEST(InstallLogFile, LoadReadsTextModeAndKeepsTextOnFailure)
{
    CTestMedium dir("log");
    const std::string raw = "Made Dir: C:\\T\r\nFile Copy: C:\\T\\a\rb\r\nFile Copy: C:\\T\\c";
    dir.AddFile("Uninstall.log", raw, FILE_ATTRIBUTE_HIDDEN);

    CInstallLog log;
    ASSERT_TRUE(log.Load(dir.Path("Uninstall.log").c_str()));
    // Each CR LF arrives as one LF; the lone CR stays.
    EXPECT_EQ("Made Dir: C:\\T\nFile Copy: C:\\T\\a\rb\nFile Copy: C:\\T\\c", Bytes(log.GetText()));
    EXPECT_EQ((int)raw.size() - 2, log.GetText().GetLength());
    EXPECT_EQ(2, log.CountEntries(LOG_FILE_COPY));

    EXPECT_FALSE(log.Load(dir.Path("none.log").c_str()));
    EXPECT_EQ((int)raw.size() - 2, log.GetText().GetLength());

    // What Save writes, Load gives back as it was in memory.
    CInstallLog written;
    written.AddFileCopy("淺\\運");
    written.AddMadeDir("x\ry");
    ASSERT_TRUE(written.Save(dir.Root().c_str()));
    CInstallLog read;
    ASSERT_TRUE(read.Load(dir.Path("Uninstall.log").c_str()));
    EXPECT_EQ(Bytes(written.GetText()), Bytes(read.GetText()));
}
