// Uninstall.exe against damaged and hostile install logs, odd product keys and
// Cancel at several moments. Each case runs the real program, bounds every
// wait, checks its exit code, and checks that nothing but what the log lists
// was touched: sentinel files inside and outside the install folder and
// sentinel registry keys are compared before and after.
#include "CProgramDriver.h"
#include "E2EPaths.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
const DWORD TIMEOUT_MS = 120000;
const char* const PRODUCT_KEY = "SOFTWARE\\Quorvatek\\Tessora\\V5";
const char* const SENTINEL_KEY = "Software\\TessoraFaultSentinel";

bool UserKeyExists(const std::string& strKey)
{
    HKEY h = NULL;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, strKey.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(h);
    return true;
}

void CreateUserKey(const std::string& strKey)
{
    HKEY h = NULL;
    if (::RegCreateKeyA(HKEY_CURRENT_USER, strKey.c_str(), &h) == ERROR_SUCCESS)
        ::RegCloseKey(h);
}

void SetInstallPath(DWORD dwType, const std::string& strData)
{
    HKEY h = NULL;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, &h));
    ::RegSetValueExA(h, "installPath", 0, dwType, (const BYTE*)strData.data(), (DWORD)strData.size());
    ::RegCloseKey(h);
}

// One line per entry (path, kind, attributes, content), so that a difference
// between two trees shows as text.
std::string Describe(const CTree& tree)
{
    std::string text;
    for (const auto& item : tree)
        text += item.first + (item.second.bFolder ? " <dir> " : " <file> ") +
                std::to_string(GivenAttributes(item.second.dwAttributes)) + " " + item.second.strContent.substr(0, 64) +
                " (" + std::to_string(item.second.strContent.size()) + ")\n";
    return text;
}

bool WaitUntilGone(const std::string& strPath, DWORD dwTimeoutMs)
{
    DWORD start = ::GetTickCount();
    while (::GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES)
    {
        if (::GetTickCount() - start > dwTimeoutMs)
            return false;
        ::Sleep(20);
    }
    return true;
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
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, PRODUCT_KEY);
        // The install folder holds the program, a file and a folder the user
        // put there; another folder stands for the rest of the machine.
        ::CopyFileA(BuiltProgram("uninstall/Uninstall.exe").c_str(), m_install.Path("Uninstall.exe").c_str(),
                    FALSE);
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
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, PRODUCT_KEY);
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
        return driver.WaitForWindow("Mosaika Tessora V5.0 卸载", TIMEOUT_MS);
    }

    // The whole run: Yes, the completed look, Finish, exit code 0.
    void RunToCompletion()
    {
        CProgramDriver driver;
        HWND hDlg = Start(driver);
        ASSERT_NE(nullptr, hDlg);
        HWND hDone = ::GetDlgItem(hDlg, 1003);
        DWORD start = ::GetTickCount();
        while (!::IsWindowVisible(hDone) && ::GetTickCount() - start < TIMEOUT_MS && !driver.HasExited())
            ::Sleep(10);
        ASSERT_TRUE(::IsWindowVisible(hDone)) << "the removal never completed";
        ASSERT_TRUE(CProgramDriver::Press(hDlg, IDOK));
        DWORD exitCode = 99;
        ASSERT_TRUE(driver.WaitForExit(TIMEOUT_MS, &exitCode));
        EXPECT_EQ(0u, exitCode);
        ASSERT_NO_FATAL_FAILURE(AwaitBatch());
    }

    // The self-deleting batch removes the program once it has ended; the next
    // run needs a fresh copy, made only after the batch has gone.
    void AwaitBatch()
    {
        EXPECT_TRUE(WaitUntilGone(m_install.Path("Uninstall.exe"), TIMEOUT_MS));
        EXPECT_TRUE(WaitUntilGone("C:\\DelUS.bat", TIMEOUT_MS));
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
    std::string filler = "File Copy " + std::string(100, 'x') + " Made Dir RegDB Key 2,SOFTWARE\r\n";
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
        EXPECT_EQ(Describe(install), Describe(InstallTree()));
        EXPECT_EQ(Describe(Without(outside, {"victim.txt"})), Describe(Without(m_outside.Read(), {"victim.txt"})));
        EXPECT_TRUE(UserKeyExists(std::string(SENTINEL_KEY) + "\\Listed"));
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(m_outside.Path("victim.txt").c_str()));
}
