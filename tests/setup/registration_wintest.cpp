#include "fixtures/FakeComponents.h"
#include "common/RegistryValues.h"
#include "setup/SetupThread.h"
#include "support/RegistryTree.h"
#include "support/TestMedium.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace
{
const char CONTROL_RECORD[] = "TESSORA_CONTROL_RECORD";
const char DRIVER_RECORD[] = "TESSORA_ODBC_RECORD";
const char PRODUCT_KEY[] = "SOFTWARE\\Quorvatek\\Tessora\\V5";
const char UNINSTALL_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessora V5";

void CopyInto(const std::string& strSource, const std::string& strDest)
{
    ASSERT_TRUE(::CopyFileA(strSource.c_str(), strDest.c_str(), FALSE)) << strDest;
}

// What the fake controls record while one of them is self-registered.
std::vector<std::string> ControlEvents(const std::string& strPath, bool bHasEntry)
{
    std::vector<std::string> events{"load " + strPath};
    if (bHasEntry)
        events.push_back("register " + strPath);
    events.push_back("free " + strPath);
    return events;
}
} // namespace

// The real loader decides: a library whose entry answers 0, S_FALSE or is
// missing, a file that is no library, and no file. Every library that was
// loaded must be freed again. The folder name holds a 0x5C trail byte.
TEST(RegisterServer, TrueOnlyWhenTheEntryRanAndAnsweredZero)
{
    CTestMedium folder("controls");
    CFixtureRecord record(CONTROL_RECORD, folder.Path("record.txt"));
    folder.AddFolder("誠");
    struct
    {
        const char* pszName;
        std::string strFixture;
        BOOL bResult;
        bool bHasEntry;
    } cases[] = {
        {"ok.ocx", FakeControlOkPath(), TRUE, true},
        {"sfalse.ocx", FakeControlSFalsePath(), FALSE, true},
        {"noentry.ocx", FakeControlNoEntryPath(), FALSE, false},
    };
    for (const auto& c : cases)
    {
        std::string path = folder.Path(std::string("誠\\") + c.pszName);
        CopyInto(c.strFixture, path);
        record.Clear();
        EXPECT_EQ(c.bResult, RegisterServer(path.c_str())) << c.pszName;
        EXPECT_EQ(ControlEvents(path, c.bHasEntry), record.Lines()) << c.pszName;
    }

    folder.AddFile("誠\\text.ocx", "not a library");
    EXPECT_FALSE(RegisterServer(folder.Path("誠\\text.ocx").c_str()));
    EXPECT_FALSE(RegisterServer(folder.Path("誠\\missing.ocx").c_str()));
}

// Only the ".ocx" files of the Controls folder itself are registered, each
// logged whatever its answer; a sub-folder's control and a ".dll" are not.
TEST(RegisterControls, RegistersAndLogsEachControlOfTheFolderItself)
{
    CTestMedium inst("install");
    CFixtureRecord record(CONTROL_RECORD, inst.Path("record.txt"));
    inst.AddFolder("Controls\\Sub");
    CopyInto(FakeControlOkPath(), inst.Path("Controls\\a.ocx"));
    CopyInto(FakeControlSFalsePath(), inst.Path("Controls\\b.ocx"));
    CopyInto(FakeControlNoEntryPath(), inst.Path("Controls\\c.ocx"));
    inst.AddFile("Controls\\d.ocx", "not a library");
    CopyInto(FakeControlOkPath(), inst.Path("Controls\\e.dll"));
    CopyInto(FakeControlOkPath(), inst.Path("Controls\\Sub\\f.ocx"));

    CSetupThread thread;
    thread.m_strInstallDir = inst.Root().c_str();
    thread.RegisterControls();

    // The file system's order decides; it is what ListFiles reports.
    CStringArray names;
    thread.ListFiles(inst.Path("Controls\\").c_str(), "*.ocx", names);
    std::string expectedLog;
    std::vector<std::string> expectedEvents;
    std::set<std::string> listed;
    for (int i = 0; i < names.GetSize(); ++i)
    {
        std::string name = (LPCTSTR)names[i];
        std::string path = inst.Path("Controls\\" + name);
        listed.insert(name);
        expectedLog += "Reg Ctrl: " + path + "\n";
        if (name != "d.ocx")
            for (const std::string& event : ControlEvents(path, name != "c.ocx"))
                expectedEvents.push_back(event);
    }
    EXPECT_EQ((std::set<std::string>{"a.ocx", "b.ocx", "c.ocx", "d.ocx"}), listed);
    EXPECT_EQ(expectedLog, std::string((LPCTSTR)thread.m_log.GetText()));
    EXPECT_EQ(expectedEvents, record.Lines());
}

namespace
{
BOOL DenyProductKey(HKEY hRoot, LPCTSTR pszKey, LPCTSTR pszValueName)
{
    return lstrcmpiA(pszKey, PRODUCT_KEY) != 0;
}
} // namespace

// A write that fails leaves its value missing but the key is logged all the
// same, and the rest of the registration goes on.
TEST(RegisterProduct, FailedWritesAreStillLoggedAndTheRestGoesOn)
{
    DeleteRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvatek");
    DeleteRegTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
    CSetupThread thread;
    thread.m_strInstallDir = "C:\\Program Files\\Quorvatek\\Tessora\\";
    SetRegWriteFilter(&DenyProductKey);
    thread.RegisterProduct();
    SetRegWriteFilter(NULL);

    EXPECT_TRUE(RegTreeOf(HKEY_LOCAL_MACHINE, PRODUCT_KEY).empty());
    EXPECT_EQ(SzEntry("C:\\Program Files\\Quorvatek\\Tessora\\Uninstall.exe"),
              RegTreeOf(HKEY_LOCAL_MACHINE, UNINSTALL_KEY)["|UninstallString"]);
    EXPECT_EQ(std::string("RegDB Key: 2,") + PRODUCT_KEY + "\nRegDB Key: 2," + UNINSTALL_KEY + "\n",
              std::string((LPCTSTR)thread.m_log.GetText()));
    DeleteRegTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
}

namespace
{
const char ACAD_RELEASE_KEY[] = "SOFTWARE\\Autodesk\\AutoCAD\\R16.2";
const char ACAD_PROFILES_KEY[] = "Software\\Autodesk\\AutoCAD\\R16.2\\ACAD-301:804\\Profiles\\";
const char* const ACAD_PROFILES[] = {"<<Unnamed Profile>>", "Drafting"};
const char* const ACAD_PATHS[] = {"C:\\Acad\\Support;C:\\Acad\\Fonts", ""};

std::string ProfileSupportPath(int i)
{
    RegTree tree = RegTreeOf(HKEY_CURRENT_USER,
                             std::string(ACAD_PROFILES_KEY) + ACAD_PROFILES[i] + "\\General");
    const std::string& entry = tree["|ACAD"];
    // Strip the type and the NUL of the REG_SZ snapshot entry.
    return entry.size() > 3 ? entry.substr(2, entry.size() - 3) : std::string();
}

// Runs a console program of the system and returns what it printed. The
// output goes to a file, read once the program has ended: reading a pipe to
// its end would also wait for any process that inherited its write side.
std::string CaptureOutput(std::string strCommand, const std::string& strOutputFile)
{
    SECURITY_ATTRIBUTES sa = {sizeof sa, NULL, TRUE};
    HANDLE hOutput =
        ::CreateFileA(strOutputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hOutput == INVALID_HANDLE_VALUE)
        return std::string();
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = hOutput;
    si.hStdError = hOutput;
    PROCESS_INFORMATION pi = {};
    BOOL bStarted =
        ::CreateProcessA(NULL, &strCommand[0], NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi);
    ::CloseHandle(hOutput);
    if (!bStarted)
        return std::string();
    ::WaitForSingleObject(pi.hProcess, INFINITE);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    return ReadFileBytes(strOutputFile);
}
} // namespace

// The worker run from a generated medium, from the product folders to the
// log, with the registration steps between them.
class CompleteRun : public ::testing::Test
{
protected:
    CompleteRun()
        : m_strInstall(m_target.Path("Tessora誠\\")),
          m_controls(CONTROL_RECORD, m_target.Path("controls.txt")),
          m_driver(DRIVER_RECORD, m_target.Path("driver.txt"))
    {
        m_source.AddFile("Database\\填充图案.mdb", "database");
        m_source.AddFile("Support\\2004-06\\Arx\\FillBoot.arx", "loader");
        m_source.AddFile("HatchPat\\a.pat", "pattern");
        m_source.AddFolder("Controls\\Sub");
        CopyInto(FakeControlOkPath(), m_source.Path("Controls\\ok.ocx"));
        CopyInto(FakeControlSFalsePath(), m_source.Path("Controls\\sfalse.ocx"));
        CopyInto(FakeControlNoEntryPath(), m_source.Path("Controls\\noentry.ocx"));
        m_source.AddFile("Controls\\text.ocx", "not a library");
        CopyInto(FakeControlOkPath(), m_source.Path("Controls\\Sub\\nested.ocx"));
        m_source.AddFile("Setup.exe", "setup");
        m_source.AddFile("Uninstall.exe", "uninstall");
    }
    void SetUp() override { ClearRegistry(); }
    void TearDown() override { ClearRegistry(); }

    static void ClearRegistry()
    {
        DeleteRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvatek");
        DeleteRegTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
        DeleteRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk");
        DeleteRegTree(HKEY_CURRENT_USER, "Software\\Autodesk");
    }

    // One installed release with two profiles of the current user.
    static void AddAutoCad()
    {
        ASSERT_TRUE(SetRegText(HKEY_LOCAL_MACHINE, ACAD_RELEASE_KEY, "CurVer", "ACAD-301:804"));
        for (int i = 0; i < 2; ++i)
            ASSERT_TRUE(SetRegText(HKEY_CURRENT_USER,
                                   std::string(ACAD_PROFILES_KEY) + ACAD_PROFILES[i] + "\\General",
                                   "ACAD", ACAD_PATHS[i]));
    }

    // Runs the worker on its own thread to its end and returns the log it wrote.
    std::string RunSetup()
    {
        CSetupThread thread;
        m_controls.Clear();
        EXPECT_TRUE(thread.Start(NULL, m_source.Root().c_str(), m_strInstall.c_str(), FALSE));
        EXPECT_TRUE(thread.WaitPumping(600000));
        return ReadFileBytes(m_strInstall + "Uninstall.log");
    }

    // What every complete run leaves, whether or not AutoCAD and the driver are there.
    void ExpectRegistered(const std::string& strLog)
    {
        RegTree product{
            {"", ""}, {"|installPath", SzEntry(m_strInstall)}, {"|Ver", SzEntry("5.00")}};
        EXPECT_EQ(product, RegTreeOf(HKEY_LOCAL_MACHINE, PRODUCT_KEY));
        RegTree entry{
            {"", ""},
            {"|DisplayName", SzEntry("Mosaika V5")},
            {"|UninstallString", SzEntry(m_strInstall + "Uninstall.exe")},
            {"|QuietUninstallString", SzEntry("\"" + m_strInstall + "Uninstall.exe\" /S")}};
        EXPECT_EQ(entry, RegTreeOf(HKEY_LOCAL_MACHINE, UNINSTALL_KEY));

        // The log ends with the controls in the file system's order, the two
        // keys, and the log's own entry; nothing of the registration comes before.
        CSetupThread lister;
        CStringArray names;
        lister.ListFiles((m_strInstall + "Controls\\").c_str(), "*.ocx", names);
        ASSERT_EQ(4, names.GetSize());
        std::vector<std::string> tail, events;
        for (int i = 0; i < names.GetSize(); ++i)
        {
            std::string name = (LPCTSTR)names[i];
            std::string path = m_strInstall + "Controls\\" + name;
            tail.push_back("Reg Ctrl: " + path);
            if (name != "text.ocx")
                for (const std::string& event : ControlEvents(path, name != "noentry.ocx"))
                    events.push_back(event);
        }
        tail.push_back(std::string("RegDB Key: 2,") + PRODUCT_KEY);
        tail.push_back(std::string("RegDB Key: 2,") + UNINSTALL_KEY);
        tail.push_back("File Copy: " + m_strInstall + "Uninstall.log");
        std::vector<std::string> lines = TextLines(strLog);
        ASSERT_GT(lines.size(), tail.size());
        EXPECT_EQ(tail, std::vector<std::string>(lines.end() - tail.size(), lines.end()));
        for (size_t i = 0; i < lines.size() - tail.size(); ++i)
            EXPECT_TRUE(lines[i].rfind("File Copy: ", 0) == 0 ||
                        lines[i].rfind("Made Dir: ", 0) == 0)
                << lines[i];
        EXPECT_EQ(events, m_controls.Lines());
    }

    CTestMedium m_source{"medium"};
    CTestMedium m_target{"install"};
    std::string m_strInstall; // ends with a backslash; its name holds a 0x5C trail byte
    CFixtureRecord m_controls;
    CFixtureRecord m_driver;
};

// A second run over the same folder rewrites the same values, sends the same
// request again, adds the pattern folder to no profile twice and replaces the
// log with its own.
TEST_F(CompleteRun, RegistersEverythingOnceAndAgainOverTheSameFolder)
{
    AddAutoCad();
    CFakeDriverRegistration driver;
    ASSERT_TRUE(driver.IsDone());
    std::string first = RunSetup();
    ExpectRegistered(first);
    // The system's own list of installed programs reads the uninstall entry.
    EXPECT_NE(
        std::string::npos,
        CaptureOutput("uninstaller.exe --list", m_target.Path("list.txt")).find("Mosaika V5"));

    std::string second = RunSetup();
    EXPECT_EQ(first, second);
    ExpectRegistered(second);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(m_strInstall + "HatchPat\\;" + ACAD_PATHS[i], ProfileSupportPath(i));

    // Each run: one add request in system mode, without a parent window, with
    // exactly the six pairs; the database path holds the CP936 bytes of its name.
    std::vector<std::string> pairs{"DSN=SwatchDepot",
                                   "Quorvatek=Mosaika",
                                   "DBQ=" + m_strInstall +
                                       "Database\\\xCC\xEE\xB3\xE4\xCD\xBC\xB0\xB8.mdb",
                                   "FIL=MS Access",
                                   "UID=Quorvatek",
                                   "PWD=Quorvatek40617295358"};
    std::vector<CDriverCall> calls = DriverCalls(m_driver);
    ASSERT_EQ(2u, calls.size());
    for (const CDriverCall& call : calls)
    {
        EXPECT_EQ("none", call.strParent);
        EXPECT_EQ("1", call.strRequest); // ODBC_ADD_DSN
        EXPECT_EQ("2", call.strMode);    // ODBC_SYSTEM_DSN
        EXPECT_EQ("Microsoft Access Driver (*.mdb)", call.strDriver);
        EXPECT_EQ(pairs, call.attributes);
    }
}

namespace
{
// Each write of the registration as "<data source requests so far> key|value".
const CFixtureRecord* g_pDriverRecord = NULL;
std::vector<std::string> g_writes;
BOOL RecordWrite(HKEY, LPCTSTR pszKey, LPCTSTR pszValueName)
{
    size_t nRequests = DriverCalls(*g_pDriverRecord).size();
    g_writes.push_back(std::to_string(nRequests) + " " + pszKey + "|" + pszValueName);
    return TRUE;
}
} // namespace

// The data source is asked for after the product key's values and before the
// uninstall entry's.
TEST_F(CompleteRun, TheDataSourceComesBetweenTheProductKeyAndTheUninstallEntry)
{
    CFakeDriverRegistration driver;
    ASSERT_TRUE(driver.IsDone());
    g_pDriverRecord = &m_driver;
    g_writes.clear();
    SetRegWriteFilter(&RecordWrite);
    RunSetup();
    SetRegWriteFilter(NULL);
    const std::string product = PRODUCT_KEY, entry = UNINSTALL_KEY;
    EXPECT_EQ(
        (std::vector<std::string>{"0 " + product + "|installPath", "0 " + product + "|Ver",
                                  "1 " + entry + "|DisplayName", "1 " + entry + "|UninstallString",
                                  "1 " + entry + "|QuietUninstallString"}),
        g_writes);
}

// Without AutoCAD and without the driver the rest is the same and the run completes.
TEST_F(CompleteRun, WithoutAutoCadOrDriverTheRestIsUnchanged)
{
    std::string log = RunSetup();
    ExpectRegistered(log);
    EXPECT_TRUE(DriverCalls(m_driver).empty());
    EXPECT_TRUE(RegTreeOf(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk").empty());
}
