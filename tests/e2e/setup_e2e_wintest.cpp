// Setup.exe from a medium made by the test, driven as a user drives it.
#include "driver/CProgramDriver.h"
#include "driver/ProgramFacts.h"
#include "E2EPaths.h"

#include <gtest/gtest.h>

namespace
{
const DWORD TIMEOUT_MS = 60000;

class SetupEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RemoveTree(InstallFolder().substr(0, InstallFolder().size() - 1));
        AddPrograms(m_medium);
    }
    void TearDown() override { RemoveTree(InstallFolder().substr(0, InstallFolder().size() - 1)); }

    void AddProductFolders(bool bDatabase = true, bool bSupport = true)
    {
        if (bDatabase)
            m_medium.AddFile("Database\\填充图案.mdb", "stand-in database");
        if (bSupport)
            m_medium.AddFile("Support\\2004-06\\Arx\\FillBoot.arx", "module");
        for (int i = 0; i < 5; ++i)
            m_medium.AddFile("HatchPat\\p" + std::to_string(i) + ".pat",
                             "*P, pattern\r\n0, 0,0, 0,1\r\n");
        m_medium.AddFolder("Controls");
    }

    // Starts Setup and returns its dialog.
    HWND StartSetup()
    {
        EXPECT_TRUE(m_driver.Start(m_medium.Path("Setup.exe")));
        HWND hDlg = m_driver.WaitForWindow(nullptr, TIMEOUT_MS);
        EXPECT_NE(nullptr, hDlg);
        return hDlg;
    }

    // The completed look: caption, bar hidden, hint line and Finish shown.
    static void ExpectCompletedLook(HWND hDlg)
    {
        ASSERT_TRUE(CProgramDriver::WaitForCaption(hDlg, SETUP_DONE_CAPTION, TIMEOUT_MS));
        CProgramDriver::Settle(hDlg, 5000);
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hDlg, SETUP_BAR_ID)));
        EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(hDlg, SETUP_HINT_ID)));
        EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(hDlg, IDOK)));
        EXPECT_EQ("激活命令方式: 点击AutoCAD状态栏上的[Mosaika] ",
                  CProgramDriver::WindowText(::GetDlgItem(hDlg, SETUP_HINT_ID)));
    }

    void FinishAndExpectExit(HWND hDlg)
    {
        ASSERT_TRUE(CProgramDriver::Press(hDlg, IDOK));
        DWORD exitCode = 99;
        ASSERT_TRUE(m_driver.WaitForExit(TIMEOUT_MS, &exitCode));
        EXPECT_EQ(0u, exitCode);
    }

    CTestMedium m_medium{"e2e"};
    CProgramDriver m_driver;
};
} // namespace

TEST_F(SetupEndToEnd, CompleteInstallationEndsInCompletedLookAndExitsOnFinish)
{
    AddProductFolders();
    m_medium.AddFile("说明.txt", "readme");
    HWND hDlg = StartSetup();
    ASSERT_NE(nullptr, hDlg);
    ExpectCompletedLook(hDlg);
    FinishAndExpectExit(hDlg);

    CTree installed = ReadTree(InstallFolder());
    EXPECT_EQ("stand-in database", installed["Database\\填充图案.mdb"].strContent);
    EXPECT_EQ(1u, installed.count("HatchPat\\p4.pat"));
    EXPECT_EQ(1u, installed.count("说明.txt"));
    EXPECT_EQ(1u, installed.count("Uninstall.exe"));
    EXPECT_EQ(0u, installed.count("Setup.exe"));
    ASSERT_EQ(1u, installed.count("Uninstall.log"));
    // Hidden and nothing else; Wine reports the archive bit of every file
    // whatever was set, so that one bit is not looked at.
    EXPECT_EQ((DWORD)FILE_ATTRIBUTE_HIDDEN,
              ::GetFileAttributesA((InstallFolder() + "Uninstall.log").c_str()) &
                  ~(DWORD)FILE_ATTRIBUTE_ARCHIVE);
}

TEST_F(SetupEndToEnd, MissingSupportAnsweredWithIgnoreCompletes)
{
    AddProductFolders(true, false);
    HWND hDlg = StartSetup();
    ASSERT_NE(nullptr, hDlg);
    std::string text, caption;
    HWND hBox = m_driver.WaitForMessageBox(IDIGNORE, TIMEOUT_MS, &text, &caption);
    ASSERT_NE(nullptr, hBox);
    // No caption of its own: the program's name.
    EXPECT_EQ("Setup", caption);
    EXPECT_NE(std::string::npos,
              text.find("找不到安装文件的路径 " + m_medium.Path("Support\\") + "，"));
    EXPECT_NE(nullptr, ::GetDlgItem(hBox, IDABORT));
    EXPECT_NE(nullptr, ::GetDlgItem(hBox, IDRETRY));
    ASSERT_TRUE(CProgramDriver::Press(hBox, IDIGNORE));
    ExpectCompletedLook(hDlg);
    FinishAndExpectExit(hDlg);
    CTree installed = ReadTree(InstallFolder());
    ASSERT_EQ(1u, installed.count("Support"));
    EXPECT_TRUE(installed["Support"].bFolder);
    EXPECT_EQ(1u, installed.count("HatchPat\\p0.pat"));
}

TEST_F(SetupEndToEnd, AbortAtDatabaseEndsSetupWithNothingInstalled)
{
    AddProductFolders(false, true);
    HWND hDlg = StartSetup();
    ASSERT_NE(nullptr, hDlg);
    HWND hBox = m_driver.WaitForMessageBox(IDABORT, TIMEOUT_MS);
    ASSERT_NE(nullptr, hBox);
    ASSERT_TRUE(CProgramDriver::Press(hBox, IDABORT));
    // The prompt promised the end of the program: it ends by itself.
    DWORD exitCode = 99;
    ASSERT_TRUE(m_driver.WaitForExit(TIMEOUT_MS, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(InstallFolder().c_str()));
}

TEST_F(SetupEndToEnd, EscapeAndEnterWhileInstallingChangeNothing)
{
    // The missing folder's prompt holds the worker, so the keys arrive while
    // the installation is certainly running.
    AddProductFolders(true, false);
    HWND hDlg = StartSetup();
    ASSERT_NE(nullptr, hDlg);
    HWND hBox = m_driver.WaitForMessageBox(IDIGNORE, TIMEOUT_MS);
    ASSERT_NE(nullptr, hBox);
    CProgramDriver::Key(hDlg, VK_ESCAPE);
    CProgramDriver::Key(hDlg, VK_RETURN);
    ::PostMessageA(hDlg, WM_CLOSE, 0, 0);
    ASSERT_TRUE(CProgramDriver::Settle(hDlg, 5000));
    EXPECT_FALSE(m_driver.HasExited());
    EXPECT_TRUE(::IsWindow(hDlg));
    EXPECT_EQ(SETUP_WORKING_CAPTION, CProgramDriver::WindowText(hDlg));
    ASSERT_TRUE(CProgramDriver::Press(hBox, IDIGNORE));
    ExpectCompletedLook(hDlg);
    // Escape in the completed look changes nothing either; Finish ends.
    CProgramDriver::Key(hDlg, VK_ESCAPE);
    ASSERT_TRUE(CProgramDriver::Settle(hDlg, 5000));
    EXPECT_FALSE(m_driver.HasExited());
    FinishAndExpectExit(hDlg);
}
