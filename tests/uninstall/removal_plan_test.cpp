#include "uninstall/RemovalPlan.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

static CInstallLog LogOf(const char* text)
{
    CInstallLog log;
    log.SetText(text);
    return log;
}

static std::vector<std::string> Strings(const CStringArray& a)
{
    std::vector<std::string> v;
    for (int i = 0; i < a.GetSize(); ++i)
        v.push_back(std::string((LPCTSTR)a[i], (size_t)a[i].GetLength()));
    return v;
}

TEST(RemovalPlan, SetupLogGivesFilesInOrderFoldersLastFirstAndBothKeys)
{
    CInstallLog log = LogOf("Made Dir: C:\\T\\Database\n"
                            "File Copy: C:\\T\\Database\\填充图案.mdb\n"
                            "Made Dir: C:\\T\\Support\n"
                            "Made Dir: C:\\T\\Support\\2000-02\n"
                            "File Copy: C:\\T\\Support\\2000-02\\FillBoot.arx\n"
                            "File Copy: C:\\T\\Uninstall.exe\n"
                            "Reg Ctrl: C:\\T\\Controls\\a.ocx\n"
                            "RegDB Key: 2,SOFTWARE\\Quorvatek\\Tessora\\V5\n"
                            "RegDB Key: 2,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessora V5\n"
                            "File Copy: C:\\T\\Uninstall.log\n");
    CRemovalPlan plan = MakeRemovalPlan(log);
    EXPECT_EQ((std::vector<std::string>{"C:\\T\\Database\\填充图案.mdb",
                                        "C:\\T\\Support\\2000-02\\FillBoot.arx",
                                        "C:\\T\\Uninstall.exe", "C:\\T\\Uninstall.log"}),
              Strings(plan.m_files));
    EXPECT_EQ((std::vector<std::string>{"C:\\T\\Support\\2000-02", "C:\\T\\Support",
                                        "C:\\T\\Database"}),
              Strings(plan.m_folders));
    ASSERT_EQ(2u, plan.m_regKeys.size());
    EXPECT_EQ(HKEY_LOCAL_MACHINE, plan.m_regKeys[0].m_hRoot);
    EXPECT_STREQ("SOFTWARE\\Quorvatek\\Tessora\\V5", plan.m_regKeys[0].m_strSubKey);
    EXPECT_STREQ("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessora V5",
                 plan.m_regKeys[1].m_strSubKey);
}

TEST(RemovalPlan, OnlyTheLogsOwnEntryDeletesJustTheLog)
{
    CRemovalPlan plan = MakeRemovalPlan(LogOf("File Copy: C:\\T\\Uninstall.log\n"));
    EXPECT_EQ((std::vector<std::string>{"C:\\T\\Uninstall.log"}), Strings(plan.m_files));
    EXPECT_EQ(0, plan.m_folders.GetSize());
    EXPECT_TRUE(plan.m_regKeys.empty());
}

TEST(RemovalPlan, ValuesAreTakenAsTheyStand)
{
    // An empty value, blanks kept at the end, a lone CR inside a value, a prefix
    // inside another entry's value, and a last entry without a line feed.
    CInstallLog log = LogOf("File Copy: \n"
                            "File Copy: C:\\a b \n"
                            "File Copy: C:\\x\ry\n"
                            "Made Dir: C:\\odd File Copy: inner\n"
                            "File Copy: C:\\last");
    EXPECT_EQ((std::vector<std::string>{"", "C:\\a b ", "C:\\x\ry", "inner", "C:\\last"}),
              Strings(MakeRemovalPlan(log).m_files));
}

TEST(RemovalPlan, RegistryRootsAndSubKeysFollowTheFirstComma)
{
    CInstallLog log = LogOf("RegDB Key: 2,SOFTWARE\\A,B\\C\n"
                            "RegDB Key: 4,Config\\Four\n"
                            "RegDB Key: 7,Config\\Seven\n"
                            "RegDB Key: 02,Lead\n"
                            "RegDB Key: no comma here\n"
                            "RegDB Key: 0,Classes\n"
                            "RegDB Key: 1,User\n"
                            "RegDB Key: 3,Users");
    std::vector<CRegKeyDeletion> keys = ListRegKeyDeletions(log);
    ASSERT_EQ(7u, keys.size());
    EXPECT_EQ(HKEY_LOCAL_MACHINE, keys[0].m_hRoot);
    EXPECT_STREQ("SOFTWARE\\A,B\\C", keys[0].m_strSubKey);
    EXPECT_EQ(HKEY_CURRENT_CONFIG, keys[1].m_hRoot);
    EXPECT_EQ(HKEY_CURRENT_CONFIG, keys[2].m_hRoot);
    EXPECT_EQ(HKEY_CURRENT_CONFIG, keys[3].m_hRoot);
    EXPECT_STREQ("Lead", keys[3].m_strSubKey);
    EXPECT_EQ(HKEY_CLASSES_ROOT, keys[4].m_hRoot);
    EXPECT_EQ(HKEY_CURRENT_USER, keys[5].m_hRoot);
    EXPECT_EQ(HKEY_USERS, keys[6].m_hRoot);
    EXPECT_STREQ("Users", keys[6].m_strSubKey);
}

TEST(RemovalPlan, LogWithoutFoldersOrKeysPlansNoneAndIgnoresControls)
{
    CRemovalPlan plan = MakeRemovalPlan(LogOf("Reg Ctrl: C:\\T\\a.ocx\nstray line\n"));
    EXPECT_EQ(0, plan.m_files.GetSize());
    EXPECT_EQ(0, plan.m_folders.GetSize());
    EXPECT_TRUE(plan.m_regKeys.empty());
}
