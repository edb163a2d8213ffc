// Setup and then Uninstall, both programs driven as a user drives them: this
// build's, or those of another build's medium (see OtherBuildPath).
#include "driver/CProgramDriver.h"
#include "driver/ProgramFacts.h"
#include "E2EPaths.h"
#include "fixtures/FakeComponents.h"
#include "support/Processes.h"
#include "support/RegistryTree.h"
#include "support/Wait.h"

#include <gtest/gtest.h>
#include <set>

namespace
{
const DWORD TIMEOUT_MS = 60000;
// What the medium's control registers of itself.
const char* const CONTROL_CLASS_KEY = "CLSID\\{6B1F3C52-8E4A-4D7B-9C21-5A0E7D3F9B14}";
const char* const CONTROL_PROGID_KEY = "Mosaika.PatternView";

// The registry view of the programs under test (RoundTrip::SetUp).
REGSAM g_samView = 0;

void DeleteKey(const std::string& strKey)
{
    size_t cut = strKey.rfind('\\');
    HKEY hParent = NULL;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, strKey.substr(0, cut).c_str(), 0,
                        KEY_ALL_ACCESS | g_samView, &hParent) != ERROR_SUCCESS)
        return;
    ::RegDeleteKeyA(hParent, strKey.substr(cut + 1).c_str());
    ::RegCloseKey(hParent);
}

// A string value of HKLM, with its terminating NUL; "missing" when absent.
std::string MachineText(const char* pszKey, const char* pszName)
{
    HKEY h = NULL;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, pszKey, 0, KEY_READ | g_samView, &h) != ERROR_SUCCESS)
        return "missing";
    char data[MAX_PATH] = {0};
    DWORD size = sizeof(data), type = 0;
    LONG result = ::RegQueryValueExA(h, pszName, NULL, &type, (BYTE*)data, &size);
    ::RegCloseKey(h);
    return result == ERROR_SUCCESS && type == REG_SZ ? std::string(data, size) : "missing";
}

bool InstallFolderGone()
{
    return ::GetFileAttributesA(InstallFolderNoSlash().c_str()) == INVALID_FILE_ATTRIBUTES;
}

// Whether the control's class or its name is registered, in the programs'
// registry view (a 32-bit control registers its class in the 32-bit view).
bool ControlRegistered()
{
    for (const char* pszKey : {CONTROL_CLASS_KEY, CONTROL_PROGID_KEY})
    {
        HKEY h = NULL;
        if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, pszKey, 0, KEY_READ | g_samView, &h) ==
            ERROR_SUCCESS)
        {
            ::RegCloseKey(h);
            return true;
        }
    }
    return false;
}

void DeleteControlRegistration()
{
    HKEY hClasses = NULL;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_ALL_ACCESS | g_samView, &hClasses) ==
        ERROR_SUCCESS)
    {
        DeleteRegTree(hClasses, strchr(CONTROL_CLASS_KEY, '\\') + 1);
        ::RegCloseKey(hClasses);
    }
    DeleteRegTree(HKEY_CLASSES_ROOT, CONTROL_PROGID_KEY);
}

// What Wine's list of installed programs prints. The output goes to a file
// read once the lister has ended: a pipe's read end was seen to stay blocked
// under Wine after the lister had gone.
std::string InstalledProgramsList()
{
    char tempDir[MAX_PATH] = {0};
    ::GetTempPathA(MAX_PATH, tempDir);
    std::string path = std::string(tempDir) + "tessora-uninstaller-list.txt";
    SECURITY_ATTRIBUTES sa = {sizeof(sa), NULL, TRUE};
    HANDLE hOut = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    if (hOut == INVALID_HANDLE_VALUE)
        return std::string();
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = hOut;
    si.hStdError = hOut;
    PROCESS_INFORMATION pi = {};
    char cmd[] = "uninstaller.exe --list";
    if (::CreateProcessA(NULL, cmd, NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi))
    {
        ::WaitForSingleObject(pi.hProcess, TIMEOUT_MS);
        ::CloseHandle(pi.hProcess);
        ::CloseHandle(pi.hThread);
    }
    ::CloseHandle(hOut);
    std::string out = ReadFileBytes(path);
    ::DeleteFileA(path.c_str());
    return out;
}

class RoundTrip : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string other = OtherBuildPath("TESSORA_E2E_MEDIUM");
        if (other.empty())
        {
            AddSmallProduct(m_medium);
            ::CopyFileA(BuiltProgram("dist/Controls/MosaikaView.ocx").c_str(),
                        m_medium.Path("Controls\\MosaikaView.ocx").c_str(), FALSE);
        }
        else
        {
            for (const auto& item : ReadTree(other))
                item.second.bFolder ? m_medium.AddFolder(item.first)
                                    : m_medium.AddFile(item.first, item.second.strContent);
        }
        g_samView = ProgramRegistryView(m_medium.Path("Setup.exe"));
        Clean();
    }
    void TearDown() override { Clean(); }

    static void Clean()
    {
        RemoveTree(InstallFolderNoSlash());
        DeleteKey(PRODUCT_KEY_PATH);
        DeleteKey(UNINSTALL_ENTRY_PATH);
        DeleteControlRegistration();
    }

    void Install()
    {
        ASSERT_NO_FATAL_FAILURE(InstallToFinish(m_medium.Path("Setup.exe"), TIMEOUT_MS));
        ASSERT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY_PATH, g_samView));
    }

    // Everything a complete installation leaves: the medium's files, the log
    // byte for byte as far as the medium decides it, the registry values and
    // the one data-source request.
    void ExpectInstalled(const CFixtureRecord& driverRecord)
    {
        const std::string inst = InstallFolder();
        CTree medium = m_medium.Read();
        CTree installed = ReadTree(inst);
        ASSERT_EQ(1u, installed.count("Uninstall.log"));
        std::string log = installed["Uninstall.log"].strContent;
        installed.erase("Uninstall.log");
        medium.erase("Setup.exe");
        std::set<std::string> entries; // the log's file, folder and control entries
        EXPECT_EQ(std::vector<std::string>(), EntriesNotAlike(medium, installed));
        for (const auto& item : medium)
        {
            entries.insert((item.second.bFolder ? "Made Dir: " : "File Copy: ") + inst +
                           item.first);
            if (item.first.rfind("Controls\\", 0) == 0 && item.first.size() > 4 &&
                item.first.compare(item.first.size() - 4, 4, ".ocx") == 0 &&
                item.first.find('\\', 9) == std::string::npos)
                entries.insert("Reg Ctrl: " + inst + item.first);
        }
        EXPECT_EQ(medium.size(), installed.size());

        std::vector<std::string> lines;
        for (size_t at = 0, end; at < log.size(); at = end + 2)
        {
            end = log.find("\r\n", at);
            ASSERT_NE(std::string::npos, end) << "log line without its CR LF";
            lines.push_back(log.substr(at, end - at));
        }
        const std::vector<std::string> tail{std::string("RegDB Key: 2,") + PRODUCT_KEY_PATH,
                                            std::string("RegDB Key: 2,") + UNINSTALL_ENTRY_PATH,
                                            "File Copy: " + inst + "Uninstall.log"};
        ASSERT_EQ(entries.size() + tail.size(), lines.size()) << log;
        EXPECT_EQ(entries, std::set<std::string>(lines.begin(), lines.end() - tail.size()));
        EXPECT_EQ(tail, std::vector<std::string>(lines.end() - tail.size(), lines.end()));

        const std::string nul(1, '\0');
        EXPECT_EQ(inst + nul, MachineText(PRODUCT_KEY_PATH, "installPath"));
        EXPECT_EQ("5.00" + nul, MachineText(PRODUCT_KEY_PATH, "Ver"));
        EXPECT_EQ("Mosaika V5" + nul, MachineText(UNINSTALL_ENTRY_PATH, "DisplayName"));
        EXPECT_EQ(inst + "Uninstall.exe" + nul,
                  MachineText(UNINSTALL_ENTRY_PATH, "UninstallString"));

        std::vector<CDriverCall> calls = DriverCalls(driverRecord);
        ASSERT_EQ(1u, calls.size()) << "the data-source request";
        EXPECT_EQ("none", calls[0].strParent);
        EXPECT_EQ("1", calls[0].strRequest); // ODBC_ADD_DSN
        EXPECT_EQ("2", calls[0].strMode);    // ODBC_SYSTEM_DSN
        EXPECT_EQ(ACCESS_DRIVER_NAME, calls[0].strDriver);
        EXPECT_EQ(
            (std::vector<std::string>{"DSN=SwatchDepot", "Quorvatek=Mosaika",
                                      "DBQ=" + inst + "Database\\填充图案.mdb", "FIL=MS Access",
                                      "UID=Quorvatek", "PWD=Quorvatek40617295358"}),
            calls[0].attributes);
    }

    // Starts the installed Uninstall and answers its question.
    HWND StartUninstall(CProgramDriver& driver, int nAnswer)
    {
        EXPECT_TRUE(driver.Start(InstallFolder() + "Uninstall.exe"));
        std::string text, caption;
        HWND hBox = driver.WaitForMessageBox(IDYES, TIMEOUT_MS, &text, &caption);
        EXPECT_NE(nullptr, hBox);
        if (!hBox)
            return NULL;
        EXPECT_EQ(UNINSTALL_QUESTION_CAPTION, caption);
        EXPECT_EQ("真要卸载 Mosaika Tessora V5.0 吗?", text);
        CProgramDriver::Press(hBox, nAnswer);
        return nAnswer == IDYES ? driver.WaitForWindow(UNINSTALL_CAPTION, TIMEOUT_MS) : NULL;
    }

    CTestMedium m_medium{"roundtrip"};
};
} // namespace

TEST_F(RoundTrip, InstallThenUninstallRemovesEverythingAndItself)
{
    // The fake driver stands for the Access driver, in the programs' registry view.
    std::string driverPath = OtherBuildPath("TESSORA_E2E_ODBC_DRIVER");
    CFakeDriverRegistration driver(driverPath.empty() ? FakeOdbcDriverPath() : driverPath,
                                   g_samView);
    ASSERT_TRUE(driver.IsDone());
    CTestMedium records("odbc");
    CFixtureRecord driverRecord("TESSORA_ODBC_RECORD", records.Path("odbc.txt"));
    ASSERT_NO_FATAL_FAILURE(Install());
    ASSERT_NO_FATAL_FAILURE(ExpectInstalled(driverRecord));
    EXPECT_NE(std::string::npos, InstalledProgramsList().find("Mosaika V5"));
    EXPECT_TRUE(ControlRegistered());

    CProgramDriver uninstall;
    HWND hDlg = StartUninstall(uninstall, IDYES);
    ASSERT_NE(nullptr, hDlg);
    HWND hDone = ::GetDlgItem(hDlg, UNINSTALL_DONE_ID);
    WaitUntil([&] { return ::IsWindowVisible(hDone) != FALSE; }, TIMEOUT_MS, 5);
    ASSERT_TRUE(::IsWindowVisible(hDone));
    CProgramDriver::Settle(hDlg, 5000);
    // The completion state: bar and group hidden, Finish enabled with the focus.
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hDlg, UNINSTALL_BAR_ID)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hDlg, UNINSTALL_GROUP_ID)));
    HWND hFinish = ::GetDlgItem(hDlg, IDOK);
    EXPECT_TRUE(::IsWindowEnabled(hFinish));
    GUITHREADINFO gti = {};
    gti.cbSize = sizeof(gti);
    ASSERT_TRUE(::GetGUIThreadInfo(::GetWindowThreadProcessId(hDlg, NULL), &gti));
    EXPECT_EQ(hFinish, gti.hwndFocus);

    ASSERT_TRUE(CProgramDriver::Press(hDlg, IDOK));
    DWORD exitCode = 99;
    ASSERT_TRUE(uninstall.WaitForExit(TIMEOUT_MS, &exitCode));
    EXPECT_EQ(0u, exitCode);
    // The batch removes Uninstall.exe and then the emptied folder.
    EXPECT_TRUE(WaitUntil(InstallFolderGone, TIMEOUT_MS));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY_PATH, g_samView));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UNINSTALL_ENTRY_PATH, g_samView));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvatek\\Tessora", g_samView));
    EXPECT_EQ(std::string::npos, InstalledProgramsList().find("Mosaika V5"));
    // The control was unregistered before its file went.
    EXPECT_FALSE(ControlRegistered());
    // The data source is removed with the same driver.
    std::vector<CDriverCall> calls = DriverCalls(driverRecord);
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ("3", calls[1].strRequest); // ODBC_REMOVE_DSN
}

TEST_F(RoundTrip, FromAReadOnlyMediumEverythingGoesAndNoBatchIsLeftRunning)
{
    // As a CD shows in the file system: no file of the medium can be written.
    for (const auto& item : m_medium.Read())
    {
        if (item.second.bFolder)
            continue;
        ASSERT_TRUE(
            ::SetFileAttributesA(m_medium.Path(item.first).c_str(), FILE_ATTRIBUTE_READONLY));
    }
    ASSERT_NO_FATAL_FAILURE(Install());

    CProgramDriver uninstall;
    HWND hDlg = StartUninstall(uninstall, IDYES);
    ASSERT_NE(nullptr, hDlg);
    WaitUntil([&] { return ::IsWindowVisible(::GetDlgItem(hDlg, UNINSTALL_DONE_ID)) != FALSE; },
              TIMEOUT_MS, 5);
    ASSERT_TRUE(CProgramDriver::Press(hDlg, IDOK));
    ASSERT_TRUE(uninstall.WaitForExit(TIMEOUT_MS));
    // Seconds, not the rest of the session: the batch's loop ends once the
    // program's file could be deleted.
    const DWORD dwBatchMs = 20000;
    EXPECT_TRUE(WaitUntil(InstallFolderGone, dwBatchMs));
    EXPECT_TRUE(
        WaitUntil([] { return ::GetFileAttributesA("C:\\DelUS.bat") == INVALID_FILE_ATTRIBUTES; },
                  dwBatchMs));
    DWORD dwUninstall = uninstall.GetProcessId();
    WaitUntil([&] { return ChildProcesses(dwUninstall).empty(); }, dwBatchMs);
    EXPECT_TRUE(ChildProcesses(dwUninstall).empty())
        << "the batch's command interpreter still runs";
}

TEST_F(RoundTrip, AnsweringNoChangesNothing)
{
    ASSERT_NO_FATAL_FAILURE(Install());
    CTree before = ReadTree(InstallFolder());
    CProgramDriver uninstall;
    StartUninstall(uninstall, IDNO);
    DWORD exitCode = 99;
    ASSERT_TRUE(uninstall.WaitForExit(TIMEOUT_MS, &exitCode));
    EXPECT_EQ(0u, exitCode);
    CTree after = ReadTree(InstallFolder());
    EXPECT_EQ(before.size(), after.size());
    EXPECT_EQ(1u, after.count("Uninstall.log"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY_PATH, g_samView));
}

TEST_F(RoundTrip, NoLogEndsAfterTheQuestionAndUnreadableLogShowsTheFailureBox)
{
    ASSERT_NO_FATAL_FAILURE(Install());
    std::string log = InstallFolder() + "Uninstall.log";
    ::SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(::DeleteFileA(log.c_str()));
    {
        CProgramDriver uninstall;
        HWND hDlg = StartUninstall(uninstall, IDYES);
        // The dialog closes by itself at once (it may never be seen).
        (void)hDlg;
        DWORD exitCode = 99;
        ASSERT_TRUE(uninstall.WaitForExit(TIMEOUT_MS, &exitCode));
        EXPECT_EQ(0u, exitCode);
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY_PATH, g_samView));
    }
    // A folder in the log's place exists but cannot be read as a file.
    ASSERT_TRUE(::CreateDirectoryA(log.c_str(), NULL));
    {
        CProgramDriver uninstall;
        StartUninstall(uninstall, IDYES);
        // The failure box carries the program's name as its caption.
        HWND hBox = uninstall.WaitForWindow("Uninstall", TIMEOUT_MS);
        ASSERT_NE(nullptr, hBox);
        HWND hText = ::GetDlgItem(hBox, 0xFFFF);
        EXPECT_EQ("Mosaika Tessora V5.0 卸载未能完成!", CProgramDriver::WindowText(hText));
        CProgramDriver::Press(hBox, IDOK);
        DWORD exitCode = 99;
        ASSERT_TRUE(uninstall.WaitForExit(TIMEOUT_MS, &exitCode));
        EXPECT_EQ(0u, exitCode);
    }
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY_PATH, g_samView));
    ::RemoveDirectoryA(log.c_str());
}

TEST_F(RoundTrip, CancelWhileRemovingEndsCleanly)
{
    ASSERT_NO_FATAL_FAILURE(Install());
    // A long log keeps the worker busy: thousands of entries for files that are gone.
    std::string log = InstallFolder() + "Uninstall.log";
    std::string text = ReadFileBytes(log);
    std::string extra;
    for (int i = 0; i < 20000; ++i)
        extra += "File Copy: " + InstallFolder() + "gone\\" + std::to_string(i) + ".pat\r\n";
    ::SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(WriteFileBytes(log, extra + text));

    CProgramDriver uninstall;
    HWND hDlg = StartUninstall(uninstall, IDYES);
    ASSERT_NE(nullptr, hDlg);
    // While it runs, Finish is disabled.
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hDlg, IDOK)));
    ASSERT_TRUE(CProgramDriver::Press(hDlg, IDCANCEL));
    DWORD exitCode = 99;
    ASSERT_TRUE(uninstall.WaitForExit(TIMEOUT_MS, &exitCode));
    EXPECT_EQ(0u, exitCode);
    // Stopped in the file phase: the folders and keys after it stay.
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY_PATH, g_samView));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(InstallFolderNoSlash().c_str()));
}
