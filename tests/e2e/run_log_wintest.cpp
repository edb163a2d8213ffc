// The diagnostic log (/LOG): what a run leaves in it, that the run itself is
// the same with it, and that a log that cannot be made stops the run first.
#include "driver/CProgramDriver.h"
#include "E2EPaths.h"
#include "support/RegistryTree.h"
#include "support/Wait.h"

#include <gtest/gtest.h>

#include <regex>

namespace
{
const DWORD TIMEOUT_MS = 120000;
const char PRODUCT_KEY[] = "SOFTWARE\\Quorvatek\\Tessora\\V5";
const char UNINSTALL_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessora V5";
const char LOG_FOLDER[] = "C:\\diag";
const char LOG_PATH[] = "C:\\diag\\setup.log";

using CWatchedRun = CProgramDriver::CWatchedRun;

// The log's lines without their time stamps; every line must carry one and end with CR LF.
std::vector<std::string> LogEvents(const std::string& strPath)
{
    std::string bytes = ReadFileBytes(strPath);
    std::vector<std::string> events;
    const std::regex stamp("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} (.*)");
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
    {
        std::smatch match;
        std::string line = bytes.substr(start, end - start);
        EXPECT_TRUE(std::regex_match(line, match, stamp)) << line;
        events.push_back(match.size() > 1 ? match[1].str() : line);
    }
    EXPECT_EQ(bytes.size(), start) << "the log does not end with a whole line";
    return events;
}

bool HasEvent(const std::vector<std::string>& events, const std::string& strStart)
{
    for (const std::string& event : events)
        if (event.compare(0, strStart.size(), strStart) == 0)
            return true;
    return false;
}

class RunLog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clean();
        MakeFolders(LOG_FOLDER);
        AddSmallProduct(m_medium);
    }
    void TearDown() override
    {
        Clean();
        RemoveTree(LOG_FOLDER);
    }

    static void Clean()
    {
        RemoveTree(InstallFolderNoSlash());
        DeleteRegTree(HKEY_LOCAL_MACHINE, PRODUCT_KEY);
        DeleteRegTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
    }

    static CWatchedRun Run(const std::string& strCommandLine)
    {
        CProgramDriver program;
        if (!program.StartCommandLine(strCommandLine))
        {
            ADD_FAILURE() << "not started, error " << ::GetLastError();
            return CWatchedRun();
        }
        return program.WatchToEnd(TIMEOUT_MS);
    }

    CWatchedRun RunSetup(const std::string& strArgs)
    {
        return Run("\"" + m_medium.Path("Setup.exe") + "\" " + strArgs);
    }

    static void ExpectExit(const CWatchedRun& run, DWORD dwExit)
    {
        ASSERT_TRUE(run.bEnded) << "the program hangs";
        EXPECT_EQ(dwExit, run.dwExit);
        EXPECT_FALSE(run.bVisible);
    }

    CTestMedium m_medium{"run-log"};
};
} // namespace

TEST_F(RunLog, SetupWithTheLogInstallsExactlyWhatItDoesWithoutAndNamesEveryPhase)
{
    ASSERT_NO_FATAL_FAILURE(ExpectExit(RunSetup("/S"), 0));
    CTree plain = ReadTree(InstallFolder());
    RegTree product = RegTreeOf(HKEY_LOCAL_MACHINE, PRODUCT_KEY);
    RegTree entry = RegTreeOf(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
    Clean();

    ASSERT_NO_FATAL_FAILURE(ExpectExit(RunSetup("/S /LOG=" + std::string(LOG_PATH)), 0));
    CTree logged = ReadTree(InstallFolder());
    ASSERT_EQ(plain.size(), logged.size());
    for (const auto& item : plain)
    {
        EXPECT_EQ(item.second.strContent, logged[item.first].strContent) << item.first;
        EXPECT_EQ(item.second.dwAttributes, logged[item.first].dwAttributes) << item.first;
    }
    EXPECT_EQ(1u, logged.count("Uninstall.log"));
    EXPECT_EQ(product, RegTreeOf(HKEY_LOCAL_MACHINE, PRODUCT_KEY));
    EXPECT_EQ(entry, RegTreeOf(HKEY_LOCAL_MACHINE, UNINSTALL_KEY));

    std::vector<std::string> events = LogEvents(LOG_PATH);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(0u, events.front().find("start: Setup 5.00, command line: "));
    EXPECT_TRUE(HasEvent(events, "system: Windows ")) << "ANSI code page, administrator rights";
    for (const char* pszPhase :
         {"dialog init", "medium counted", "worker starts", "product folders copied",
          "root files copied", "controls registered", "product registered", "log saved",
          "completed look", "winmain returns"})
        EXPECT_TRUE(HasEvent(events, std::string("phase: ") + pszPhase)) << pszPhase;
    for (const char* pszFolder : {"Database", "Support", "HatchPat", "Controls"})
        EXPECT_TRUE(HasEvent(events, std::string("product folder ") + pszFolder + ": end"));
    EXPECT_TRUE(HasEvent(events, "copied: " + InstallFolder() + "HatchPat\\运河\\淺.pat"));
    EXPECT_TRUE(HasEvent(events, "registry value written: HKLM\\" + std::string(PRODUCT_KEY) +
                                     " [installPath] = \"" + InstallFolder() + "\""));
    EXPECT_TRUE(HasEvent(events, "install log saved: " + InstallFolder() + "Uninstall.log"));
    EXPECT_EQ(0u, events.back().find("end: exit code 0, "));
}

TEST_F(RunLog, SetupSaysWhyTheDataSourceWasNotMade)
{
    // The test prefix has no driver for the data source.
    ASSERT_NO_FATAL_FAILURE(ExpectExit(RunSetup("/S /LOG=" + std::string(LOG_PATH)), 0));
    std::vector<std::string> events = LogEvents(LOG_PATH);
    std::string reason;
    for (const std::string& event : events)
        if (event.find("data source not made: ") == 0)
            reason = event;
    ASSERT_FALSE(reason.empty());
    // The ODBC installer's own code and text.
    EXPECT_TRUE(std::regex_search(reason, std::regex(": code \\d+: .+"))) << reason;
}

TEST_F(RunLog, SetupNamesAFileItCouldNotCopyWithTheSystemsError)
{
    std::string blocked = InstallFolder() + "HatchPat\\brick.pat";
    MakeFolders(blocked);
    ASSERT_NO_FATAL_FAILURE(ExpectExit(RunSetup("/S /LOG=" + std::string(LOG_PATH)), 0));
    std::vector<std::string> events = LogEvents(LOG_PATH);
    EXPECT_TRUE(HasEvent(events, "not copied: " + blocked + " from " +
                                     m_medium.Path("HatchPat\\brick.pat") + ": error "));
}

TEST_F(RunLog, UninstallNamesAFileItCouldNotDelete)
{
    ASSERT_NO_FATAL_FAILURE(ExpectExit(RunSetup("/S"), 0));
    std::string held = InstallFolder() + "HatchPat\\brick.pat";
    HANDLE hHeld = ::CreateFileA(held.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);
    CWatchedRun run =
        Run("\"" + InstallFolder() + "Uninstall.exe\" /S -log=C:\\diag\\uninstall.log");
    ::CloseHandle(hHeld);
    ASSERT_NO_FATAL_FAILURE(ExpectExit(run, 0));
    std::vector<std::string> events = LogEvents("C:\\diag\\uninstall.log");
    EXPECT_TRUE(HasEvent(events, "install log found: " + InstallFolder() + "Uninstall.log"));
    EXPECT_TRUE(HasEvent(events, "file not deleted: " + held + ": error "));
    EXPECT_TRUE(HasEvent(events, "file deleted: " + InstallFolder() + "说明.txt"));
    EXPECT_TRUE(HasEvent(events, "self-deletion batch started: "));
    // The batch removes the program once it has ended, and itself last: the
    // next test must not find it still at work in the install folder.
    EXPECT_TRUE(WaitUntil(
        [&]
        {
            return ::GetFileAttributesA((InstallFolder() + "Uninstall.exe").c_str()) ==
                       INVALID_FILE_ATTRIBUTES &&
                   ::GetFileAttributesA("C:\\DelUS.bat") == INVALID_FILE_ATTRIBUTES;
        },
        TIMEOUT_MS));
}

TEST_F(RunLog, ALogThatCannotBeCreatedEndsWithTwoBeforeAnythingIsInstalled)
{
    ASSERT_NO_FATAL_FAILURE(ExpectExit(RunSetup("/S /LOG=C:\\no-such-folder\\setup.log"), 2));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(InstallFolderNoSlash().c_str()));
    EXPECT_TRUE(RegTreeOf(HKEY_LOCAL_MACHINE, PRODUCT_KEY).empty());
}

TEST_F(RunLog, ARunKilledDuringTheCopyLeavesItsLogUpToTheLastFileCopied)
{
    for (int i = 0; i < 600; ++i)
        m_medium.AddFile("HatchPat\\many\\p" + std::to_string(i) + ".pat", "*P, many\r\n");
    CProgramDriver setup;
    ASSERT_TRUE(setup.Start(m_medium.Path("Setup.exe"), "/S /LOG=" + std::string(LOG_PATH)));
    const std::string copied = "copied: " + InstallFolder() + "HatchPat\\many\\";
    auto count = [&]
    {
        std::string bytes = ReadFileBytes(LOG_PATH);
        size_t n = 0;
        for (size_t at = 0; (at = bytes.find(copied, at)) != std::string::npos; ++at)
            ++n;
        return n;
    };
    ASSERT_TRUE(WaitUntil([&] { return count() >= 20; }, TIMEOUT_MS));
    setup.Kill();
    ASSERT_TRUE(setup.WaitForExit(TIMEOUT_MS));
    ASSERT_LT(count(), 600u) << "the copy was over before the kill";

    std::vector<std::string> events = LogEvents(LOG_PATH);
    ASSERT_FALSE(events.empty());
    const std::string& last = events.back();
    ASSERT_EQ(0u, last.find(copied)) << last;
    EXPECT_EQ("*P, many\r\n", ReadFileBytes(last.substr(std::string("copied: ").size())));
}

TEST_F(RunLog, WithoutAPathTheLogIsANewFileInTheTemporaryFolderBesideEarlierOnes)
{
    char szTemp[MAX_PATH] = {0};
    ASSERT_NE(0u, ::GetTempPathA(MAX_PATH, szTemp));
    const std::string temp = szTemp;
    // Earlier logs under every name the next seconds give: each stays as it is.
    std::vector<std::string> earlier;
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    FILETIME ft;
    ::SystemTimeToFileTime(&now, &ft);
    for (int second = 0; second < 10; ++second)
    {
        ULARGE_INTEGER t = {{ft.dwLowDateTime, ft.dwHighDateTime}};
        t.QuadPart += 10000000ull * second;
        FILETIME later = {t.LowPart, t.HighPart};
        SYSTEMTIME st;
        ::FileTimeToSystemTime(&later, &st);
        char szName[64];
        std::snprintf(szName, sizeof(szName), "Setup-%04u%02u%02u-%02u%02u%02u.log", st.wYear,
                      st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
        earlier.push_back(temp + szName);
        ASSERT_TRUE(WriteFileBytes(earlier.back(), "earlier"));
    }
    ASSERT_NO_FATAL_FAILURE(ExpectExit(RunSetup("/S /log"), 0));

    std::string made;
    for (const std::string& path : earlier)
    {
        EXPECT_EQ("earlier", ReadFileBytes(path)) << path;
        std::string second = path.substr(0, path.size() - 4) + "-2.log";
        if (::GetFileAttributesA(second.c_str()) != INVALID_FILE_ATTRIBUTES)
            made = second;
    }
    EXPECT_FALSE(made.empty());
    EXPECT_TRUE(!made.empty() && HasEvent(LogEvents(made), "end: exit code 0"));
    for (const std::string& path : earlier)
    {
        ::DeleteFileA(path.c_str());
        ::DeleteFileA((path.substr(0, path.size() - 4) + "-2.log").c_str());
    }
}

TEST_F(RunLog, ALogThatFillsTheDiskStopsAndTheRunGoesOn)
{
    // Every write to this device fails as on a full disk.
    ASSERT_NO_FATAL_FAILURE(ExpectExit(RunSetup("/S /LOG=Z:\\dev\\full"), 0));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES,
              ::GetFileAttributesA((InstallFolder() + "Uninstall.log").c_str()));
}
