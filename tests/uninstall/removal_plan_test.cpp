#include "uninstall/RemovalPlan.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

static std::vector<std::string> Strings(const CStringArray& a)
{
    std::vector<std::string> v;
    for (int i = 0; i < a.GetSize(); ++i)
        v.push_back((LPCTSTR)a[i]);
    return v;
}

TEST(RemovalPlan, FilesInLogOrderFoldersLastFirstKeysInLogOrder)
{
    CInstallLog log;
    log.SetText("Made Dir: C:\\T\\Database\n"
                "File Copy: C:\\T\\Database\\填充图案.mdb\n"
                "Made Dir: C:\\T\\Support\n"
                "Made Dir: C:\\T\\Support\\運\n"
                "File Copy: C:\\T\\Support\\運\\FillBoot.arx\n"
                "Reg Ctrl: C:\\T\\Controls\\a.ocx\n"
                "RegDB Key: 2,SOFTWARE\\Quorvatek\\Tessora\\V5\n"
                "RegDB Key: 7,Odd\\A,B\n"
                "File Copy: C:\\T\\Uninstall.log\n");
    std::vector<CRegKeyDeletion> keys = ListRegKeyDeletions(log);
    EXPECT_EQ(
        (std::vector<std::string>{"C:\\T\\Database\\填充图案.mdb",
                                  "C:\\T\\Support\\運\\FillBoot.arx", "C:\\T\\Uninstall.log"}),
        Strings(ListLogValues(log, LOG_FILE_COPY)));
    EXPECT_EQ((std::vector<std::string>{"C:\\T\\Support\\運", "C:\\T\\Support", "C:\\T\\Database"}),
              Strings(ListFolderRemovals(log)));
    ASSERT_EQ(2u, keys.size());
    EXPECT_EQ(HKEY_LOCAL_MACHINE, keys[0].m_hRoot);
    EXPECT_STREQ("SOFTWARE\\Quorvatek\\Tessora\\V5", keys[0].m_strSubKey);
    // Unknown codes read as HKEY_CURRENT_CONFIG; only the first comma splits.
    EXPECT_EQ(HKEY_CURRENT_CONFIG, keys[1].m_hRoot);
    EXPECT_STREQ("Odd\\A,B", keys[1].m_strSubKey);
}

TEST(RemovalPlan, KeyWithoutCommaAndControlEntriesPlanNothing)
{
    CInstallLog log;
    log.SetText("Reg Ctrl: C:\\T\\a.ocx\nRegDB Key: no comma\nstray line");
    EXPECT_EQ(0, ListLogValues(log, LOG_FILE_COPY).GetSize());
    EXPECT_EQ(0, ListFolderRemovals(log).GetSize());
    EXPECT_TRUE(ListRegKeyDeletions(log).empty());
}

TEST(RemovalPlan, ValuesHoldingANulAreLeftOutOfEveryList)
{
    // Cut at its NUL, each damaged value would name a parent of a listed one.
    const char text[] = "Reg Ctrl: C:\\T\\a.ocx\0.bak\n"
                        "File Copy: C:\\T\0\\a.pat\n"
                        "File Copy: C:\\T\\b.pat\n"
                        "Made Dir: C:\\T\0\\Sub\n"
                        "Made Dir: C:\\T\\Sub\n"
                        "RegDB Key: 2,SOFTWARE\\Q\0\\V5\n"
                        "RegDB Key: 2,SOFTWARE\\Q\\V5\n";
    CInstallLog log;
    log.SetText(CString(text, (int)sizeof(text) - 1));
    EXPECT_EQ(0, ListLogValues(log, LOG_REG_CTRL).GetSize());
    EXPECT_EQ(std::vector<std::string>{"C:\\T\\b.pat"}, Strings(ListLogValues(log, LOG_FILE_COPY)));
    EXPECT_EQ(std::vector<std::string>{"C:\\T\\Sub"}, Strings(ListFolderRemovals(log)));
    std::vector<CRegKeyDeletion> keys = ListRegKeyDeletions(log);
    ASSERT_EQ(1u, keys.size());
    EXPECT_STREQ("SOFTWARE\\Q\\V5", keys[0].m_strSubKey);
}
