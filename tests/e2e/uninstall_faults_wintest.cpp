// Uninstall.exe against damaged and hostile install logs, odd product keys and
// Cancel at several moments. Each case runs the real program, bounds every
// wait, checks its exit code, and checks that nothing but what the log lists
// was touched: sentinel files inside and outside the install folder and
// sentinel registry keys are compared before and after.
#include "driver/CProgramDriver.h"
#include "driver/ProgramFacts.h"
#include "E2EPaths.h"
#include "support/RegistryTree.h"
#include "support/Wait.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>

namespace
{
const DWORD TIMEOUT_MS = 120000;
const char* const SENTINEL_KEY = "Software\\TessoraFaultSentinel";

void CreateUserKey(const std::string& strKey)
{
    HKEY h = NULL;
    if (::RegCreateKeyA(HKEY_CURRENT_USER, strKey.c_str(), &h) == ERROR_SUCCESS)
        ::RegCloseKey(h);
}

void SetInstallPath(DWORD dwType, const std::string& strData)
{
    HKEY h = NULL;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyA(HKEY_LOCAL_MACHINE, PRODUCT_KEY_PATH, &h));
    ::RegSetValueExA(h, "installPath", 0, dwType, (const BYTE*)strData.data(),
                     (DWORD)strData.size());
    ::RegCloseKey(h);
}

// The tree without the entries whose paths the test expects to change.
CTree Without(CTree tree, std::initializer_list<const char*> removed)
{
    for (const char* name : removed)
        tree.erase(name);
    return tree;
}

class UninstallFaults : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, PRODUCT_KEY_PATH);
        // The install folder holds the program, a file and a folder the user
        // put there; another folder stands for the rest of the machine.
        ::CopyFileA(BuiltProgram("uninstall/Uninstall.exe").c_str(),
                    m_install.Path("Uninstall.exe").c_str(), FALSE);
        m_install.AddFile("mine.txt", "user's own");
        m_install.AddFile("乗\\淺.pat", "pattern behind trail bytes 0x5C");
        m_install.AddFile("乗\\keep.pat", "kept");
        m_outside.AddFile("victim.txt", "listed outside the install folder");
        m_outside.AddFile("bystander.txt", "never listed");
        m_outside.AddFile("ro.txt", "read-only", FILE_ATTRIBUTE_READONLY);
        CreateUserKey(std::string(SENTINEL_KEY) + "\\Listed");
        CreateUserKey(std::string(SENTINEL_KEY) + "\\Kept");
        SetInstallPath(REG_SZ, m_install.Root());
    }
    void TearDown() override
    {
        ::SetFileAttributesA(m_outside.Path("ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
        ::RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(SENTINEL_KEY) + "\\Listed").c_str());
        ::RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(SENTINEL_KEY) + "\\Kept").c_str());
        ::RegDeleteKeyA(HKEY_CURRENT_USER, SENTINEL_KEY);
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, PRODUCT_KEY_PATH);
    }

    void WriteLog(const std::string& strText)
    {
        ASSERT_TRUE(WriteFileBytes(m_install.Path("Uninstall.log"), strText));
    }

    // Starts Uninstall, answers Yes and returns its dialog.
    HWND Start(CProgramDriver& driver)
    {
        EXPECT_TRUE(driver.Start(m_install.Path("Uninstall.exe")));
        HWND hBox = driver.WaitForMessageBox(IDYES, TIMEOUT_MS);
        EXPECT_NE(nullptr, hBox);
        if (!hBox)
            return NULL;
        CProgramDriver::Press(hBox, IDYES);
        return driver.WaitForWindow(UNINSTALL_CAPTION, TIMEOUT_MS);
    }

    // The whole run: Yes, the completed look, Finish, exit code 0.
    void RunToCompletion()
    {
        CProgramDriver driver;
        HWND hDlg = Start(driver);
        ASSERT_NE(nullptr, hDlg);
        HWND hDone = ::GetDlgItem(hDlg, UNINSTALL_DONE_ID);
        WaitUntil([&] { return ::IsWindowVisible(hDone) || driver.HasExited(); }, TIMEOUT_MS);
        ASSERT_TRUE(::IsWindowVisible(hDone)) << "the removal never completed";
        ASSERT_TRUE(CProgramDriver::Press(hDlg, IDOK));
        DWORD exitCode = 99;
        ASSERT_TRUE(driver.WaitForExit(TIMEOUT_MS, &exitCode));
        EXPECT_EQ(0u, exitCode);
        ASSERT_NO_FATAL_FAILURE(AwaitBatch());
    }

    // Yes, then whatever follows (the completed look, the failure box or a
    // quiet end) answered until the program ends; its exit code must be 0.
    void RunAnyway()
    {
        CProgramDriver driver;
        ASSERT_TRUE(driver.Start(m_install.Path("Uninstall.exe")));
        HWND hBox = driver.WaitForMessageBox(IDYES, TIMEOUT_MS);
        ASSERT_NE(nullptr, hBox);
        CProgramDriver::Press(hBox, IDYES);
        DWORD start = ::GetTickCount();
        DWORD exitCode = 99;
        while (!driver.WaitForExit(50, &exitCode))
        {
            ASSERT_LT(::GetTickCount() - start, TIMEOUT_MS) << "the program hangs";
            HWND hDlg = driver.WaitForWindow(UNINSTALL_CAPTION, 0);
            if (hDlg && ::IsWindowVisible(::GetDlgItem(hDlg, UNINSTALL_DONE_ID)))
                CProgramDriver::Press(hDlg, IDOK);
            else if (HWND hFailure = driver.WaitForMessageBox(IDOK, 0))
                CProgramDriver::Press(hFailure, IDOK);
        }
        EXPECT_EQ(0u, exitCode);
        ASSERT_NO_FATAL_FAILURE(AwaitBatch());
    }

    // The self-deleting batch removes the program once it has ended; the next
    // run needs a fresh copy, made only after the batch has gone (a run that
    // never reached the batch leaves the program in place).
    void AwaitBatch()
    {
        EXPECT_TRUE(WaitUntil(
            [] { return ::GetFileAttributesA("C:\\DelUS.bat") == INVALID_FILE_ATTRIBUTES; },
            TIMEOUT_MS, 20));
        ASSERT_TRUE(::CopyFileA(BuiltProgram("uninstall/Uninstall.exe").c_str(),
                                m_install.Path("Uninstall.exe").c_str(), FALSE));
    }

    // Trees as they stand, the program itself left out (its batch removes it).
    CTree InstallTree() const { return Without(m_install.Read(), {"Uninstall.exe"}); }

    std::string Entry(const char* pszPrefix, const std::string& strValue) const
    {
        return std::string(pszPrefix) + strValue + "\r\n";
    }

    CTestMedium m_install{"ufault-install"};
    CTestMedium m_outside{"ufault-outside"};
};
} // namespace

TEST_F(UninstallFaults, EmptyBinaryAndHugeLogsTouchNothingTheyDoNotList)
{
    std::string binary;
    unsigned seed = 12345;
    for (int i = 0; i < 64 * 1024; ++i)
    {
        seed = seed * 1103515245u + 12345u;
        binary += (char)(seed >> 16);
    }
    // Ten megabytes of lines that are no entries, then one entry without a
    // final line feed.
    std::string huge;
    std::string filler =
        "File Copy " + std::string(100, 'x') + " Made Dir RegDB Key 2,SOFTWARE\r\n";
    while (huge.size() < 10 * 1024 * 1024)
        huge += filler;
    huge += "File Copy: " + m_outside.Path("victim.txt");

    struct Case
    {
        const char* pszName;
        std::string strLog;
    } cases[] = {{"empty", ""}, {"binary", binary}, {"huge without final line feed", huge}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        WriteLog(c.strLog);
        CTree install = InstallTree(), outside = m_outside.Read();
        ASSERT_NO_FATAL_FAILURE(RunToCompletion());
        // The log lists nothing but (in the last case) the outside victim.
        EXPECT_EQ(DescribeTree(install), DescribeTree(InstallTree()));
        EXPECT_EQ(DescribeTree(Without(outside, {"victim.txt"})),
                  DescribeTree(Without(m_outside.Read(), {"victim.txt"})));
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(SENTINEL_KEY) + "\\Listed"));
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(m_outside.Path("victim.txt").c_str()));
}

TEST_F(UninstallFaults, OnlyListedFilesFoldersAndKeysGoWhateverTheirNames)
{
    // Outside the install folder, missing, read-only, behind trail bytes 0x5C,
    // longer than a path may be; registry entries without a comma, with an
    // unknown root code, and one real key of the sentinel's two. Values with
    // a NUL inside (a damaged log) name nothing: cut at the NUL they would
    // name a sentinel file, an empty folder and the kept key.
    const std::string nul(1, '\0');
    m_outside.AddFolder("empty");
    std::string longPath = m_install.Root() + std::string(300 - m_install.Root().size(), 'L');
    std::string log =
        Entry("File Copy: ", m_outside.Path("victim.txt")) +
        Entry("File Copy: ", m_outside.Path("missing.txt")) +
        Entry("File Copy: ", m_outside.Path("ro.txt")) +
        Entry("File Copy: ", m_install.Path("乗\\淺.pat")) + Entry("File Copy: ", longPath) +
        Entry("Made Dir: ", m_install.Path("乗")) + Entry("Made Dir: ", m_outside.Path("gone")) +
        Entry("Made Dir: ", longPath) + Entry("RegDB Key: ", "no comma at all") +
        Entry("RegDB Key: ", "7,Software\\TessoraFaultSentinel\\Kept") +
        Entry("RegDB Key: ", "1,Software\\TessoraFaultSentinel\\Listed") +
        Entry("RegDB Key: ", "1," + std::string(300, 'K')) + Entry("File Copy: ", "") +
        Entry("File Copy: ", m_outside.Path("bystander.txt") + nul + ".bak") +
        Entry("Made Dir: ", m_outside.Path("empty") + nul + "\\sub") +
        Entry("RegDB Key: ", "1,Software\\TessoraFaultSentinel\\Kept" + nul + "\\Sub");
    WriteLog(log);
    CTree install = InstallTree(), outside = m_outside.Read();
    ASSERT_NO_FATAL_FAILURE(RunToCompletion());

    EXPECT_EQ(DescribeTree(Without(install, {"乗\\淺.pat"})), DescribeTree(InstallTree()));
    EXPECT_EQ(DescribeTree(Without(outside, {"victim.txt"})), DescribeTree(m_outside.Read()));
    // A read-only file stays: its attributes are not changed first.
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(m_outside.Path("ro.txt").c_str()));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string(SENTINEL_KEY) + "\\Listed"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(SENTINEL_KEY) + "\\Kept"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, SENTINEL_KEY));
}

TEST_F(UninstallFaults, OddInstallPathValuesEndCleanly)
{
    // The log lists one file; whichever log the program finds (or none), it
    // may remove that file and nothing else.
    WriteLog(Entry("File Copy: ", m_outside.Path("victim.txt")));
    std::string dword("\x01\x02\x03\x04", 4);
    struct Case
    {
        const char* pszName;
        DWORD dwType;
        std::string strData;
    } cases[] = {{"number", REG_DWORD, dword},
                 {"binary without NUL", REG_BINARY, std::string(64, '\xB1')},
                 {"2047 bytes", REG_SZ, std::string(2046, 'P') + '\0'},
                 {"2048 bytes", REG_SZ, std::string(2047, 'P') + '\0'},
                 {"4096 bytes", REG_SZ, std::string(4095, 'P') + '\0'},
                 {"empty", REG_SZ, std::string(1, '\0')}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        SetInstallPath(c.dwType, c.strData);
        CTree install = InstallTree(), outside = m_outside.Read();
        ASSERT_NO_FATAL_FAILURE(RunAnyway());
        EXPECT_EQ(DescribeTree(install), DescribeTree(InstallTree()));
        EXPECT_EQ(DescribeTree(Without(outside, {"victim.txt"})),
                  DescribeTree(Without(m_outside.Read(), {"victim.txt"})));
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(SENTINEL_KEY) + "\\Listed"));
    }
}

namespace
{
// A message answered by a window of another program, or false when it does
// not answer within a second (its thread may wait for a suspended one).
bool Ask(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutA(hWnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 1000, &answer))
        return false;
    result = (LRESULT)answer;
    return true;
}
} // namespace

TEST_F(UninstallFaults, StatusLineNamesEachFileAsTheBarStepsAndIsEmptiedAfterTheFiles)
{
    // 2000 files (gone already) make the bar's range; 20000 folders that are
    // not there keep the folder phase going long enough to be looked at.
    std::vector<std::string> files;
    std::string log;
    for (int i = 0; i < 2000; ++i)
    {
        files.push_back(m_install.Path("gone\\" + std::to_string(i) + ".pat"));
        log += Entry("File Copy: ", files.back());
    }
    for (int i = 0; i < 20000; ++i)
        log += Entry("Made Dir: ", m_install.Path("none\\" + std::to_string(i)));
    WriteLog(log);
    CProgramDriver driver;
    HWND hDlg = Start(driver);
    ASSERT_NE(nullptr, hDlg);
    HWND hBar = ::GetDlgItem(hDlg, UNINSTALL_BAR_ID),
         hStatus = ::GetDlgItem(hDlg, UNINSTALL_STATUS_ID);
    HWND hDone = ::GetDlgItem(hDlg, UNINSTALL_DONE_ID);
    EXPECT_EQ(0, ::SendMessageA(hBar, PBM_GETRANGE, TRUE, 0));
    EXPECT_EQ(2000, ::SendMessageA(hBar, PBM_GETRANGE, FALSE, 0));

    // With the worker held, the dialog shows what it was told last: after the
    // Nth file the bar stands at N and the line names that file.
    int nDuringFiles = 0, nAfterFiles = 0;
    DWORD start = ::GetTickCount();
    while (!::IsWindowVisible(hDone))
    {
        ASSERT_LT(::GetTickCount() - start, TIMEOUT_MS);
        ASSERT_TRUE(driver.Suspend(true, driver.GetMainThreadId()));
        char text[1024] = {0};
        LRESULT nPos = 0, nLength = 0;
        bool bSeen = CProgramDriver::Settle(hDlg, 1000) && !::IsWindowVisible(hDone) &&
                     Ask(hBar, PBM_GETPOS, 0, 0, nPos) &&
                     Ask(hStatus, WM_GETTEXT, sizeof(text), (LPARAM)text, nLength);
        driver.Suspend(false, driver.GetMainThreadId());
        const std::string status(text, (size_t)nLength);
        if (bSeen && nPos > 0 && nPos < 2000)
        {
            ++nDuringFiles;
            EXPECT_EQ(files[(size_t)nPos - 1] + " ... ", status);
        }
        else if (bSeen && nPos == 2000 && status != files.back() + " ... ")
        {
            ++nAfterFiles;
            EXPECT_EQ("", status);
        }
        ::Sleep(2);
    }
    EXPECT_GT(nDuringFiles, 0);
    EXPECT_GT(nAfterFiles, 0);
    ASSERT_TRUE(CProgramDriver::Press(hDlg, IDOK));
    ASSERT_TRUE(driver.WaitForExit(TIMEOUT_MS));
    ASSERT_NO_FATAL_FAILURE(AwaitBatch());
}

TEST_F(UninstallFaults, CancelAtSeveralMomentsEndsCleanly)
{
    // Thousands of entries for files that are gone keep the worker busy; the
    // listed victim and key come last.
    std::string log;
    for (int i = 0; i < 3000; ++i)
        log += Entry("File Copy: ", m_install.Path("gone\\" + std::to_string(i) + ".pat"));
    log += Entry("File Copy: ", m_outside.Path("victim.txt")) +
           Entry("Made Dir: ", m_install.Path("乗")) +
           Entry("RegDB Key: ", "1,Software\\TessoraFaultSentinel\\Listed");
    WriteLog(log);
    // Cancel as soon as the dialog is there, once the bar has moved, and once
    // it is past half way.
    for (int threshold : {0, 1, 1500})
    {
        SCOPED_TRACE(threshold);
        CTree install = InstallTree(), outside = m_outside.Read();
        CProgramDriver driver;
        HWND hDlg = Start(driver);
        ASSERT_NE(nullptr, hDlg);
        HWND hBar = ::GetDlgItem(hDlg, UNINSTALL_BAR_ID);
        int nPos = 0;
        ASSERT_TRUE(WaitUntil(
            [&]
            {
                nPos = (int)::SendMessageA(hBar, PBM_GETPOS, 0, 0);
                return nPos >= threshold || driver.HasExited() ||
                       ::IsWindowVisible(::GetDlgItem(hDlg, UNINSTALL_DONE_ID));
            },
            TIMEOUT_MS, 1));
        // The moment is real: the bar, read from here, had got there while the
        // removal was still running.
        ASSERT_GE(nPos, threshold);
        ASSERT_FALSE(::IsWindowVisible(::GetDlgItem(hDlg, UNINSTALL_DONE_ID)));
        CProgramDriver::Press(hDlg, IDCANCEL);
        DWORD exitCode = 99;
        ASSERT_TRUE(driver.WaitForExit(TIMEOUT_MS, &exitCode)) << "Cancel did not end the program";
        EXPECT_EQ(0u, exitCode);
        ASSERT_NO_FATAL_FAILURE(AwaitBatch());
        EXPECT_EQ(DescribeTree(Without(install, {"乗"})),
                  DescribeTree(Without(InstallTree(), {"乗"})));
        // Stopped in the file phase: what the log lists after the 3000 files stays.
        EXPECT_EQ(DescribeTree(outside), DescribeTree(m_outside.Read()));
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::string(SENTINEL_KEY) + "\\Listed"));
    }
}
