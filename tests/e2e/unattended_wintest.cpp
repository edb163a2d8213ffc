// Setup.exe and Uninstall.exe run unattended (/S), as deployment scripts run
// them: no window may ever be visible, and the exit code says what happened.
#include "driver/CProgramDriver.h"
#include "driver/ProgramFacts.h"
#include "E2EPaths.h"
#include "fixtures/FakeComponents.h"
#include "support/RegistryTree.h"
#include "support/Wait.h"

#include <gtest/gtest.h>

namespace
{
const DWORD TIMEOUT_MS = 120000;

using CWatchedRun = CProgramDriver::CWatchedRun;

// Wine's own copies of the libraries named come before any file of that name;
// for the object's life, Wine looks in the program's own folder first for the
// programs named, as Windows does for every library that is not a known DLL.
// (WINEDLLOVERRIDES would not do: Wine keeps it out of the environment of the
// programs that a Wine program starts.)
class CNativeFirst
{
public:
    CNativeFirst(std::vector<std::string> programs, std::vector<std::string> libraries)
        : m_programs(std::move(programs))
    {
        for (const std::string& program : m_programs)
        {
            HKEY h = NULL;
            if (::RegCreateKeyA(HKEY_CURRENT_USER, (Key(program) + "\\DllOverrides").c_str(), &h) !=
                ERROR_SUCCESS)
                continue;
            for (const std::string& library : libraries)
                ::RegSetValueExA(h, library.c_str(), 0, REG_SZ, (const BYTE*)"native,builtin",
                                 sizeof "native,builtin");
            ::RegCloseKey(h);
        }
    }
    ~CNativeFirst()
    {
        for (const std::string& program : m_programs)
            DeleteRegTree(HKEY_CURRENT_USER, Key(program));
    }

private:
    static std::string Key(const std::string& program)
    {
        return "Software\\Wine\\AppDefaults\\" + program;
    }
    std::vector<std::string> m_programs;
};

// Everything an installation leaves: files with their bytes and attributes,
// and the two keys it writes.
struct CInstalled
{
    CTree files;
    RegTree product;
    RegTree entry;
};

CInstalled ReadInstalled()
{
    return {ReadTree(InstallFolder()), RegTreeOf(HKEY_LOCAL_MACHINE, PRODUCT_KEY_PATH),
            RegTreeOf(HKEY_LOCAL_MACHINE, UNINSTALL_ENTRY_PATH)};
}

void ExpectSameFiles(const CTree& expected, const CTree& actual)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (const auto& item : expected)
    {
        auto found = actual.find(item.first);
        ASSERT_NE(actual.end(), found) << item.first;
        EXPECT_EQ(item.second.bFolder, found->second.bFolder) << item.first;
        EXPECT_EQ(item.second.strContent, found->second.strContent) << item.first;
        EXPECT_EQ(item.second.dwAttributes, found->second.dwAttributes) << item.first;
    }
}

class Unattended : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clean();
        AddPrograms(m_medium);
        m_medium.AddFile("Database\\填充图案.mdb", "stand-in database");
        m_medium.AddFile("HatchPat\\brick.pat", "*BRICK, brick\r\n0, 0,0, 0,6.35\r\n");
        m_medium.AddFile("HatchPat\\运河\\淺.pat", "*SHALLOW, shallow\r\n45, 0,0, 0,2\r\n");
        m_medium.AddFolder("Controls");
        m_medium.AddFile("说明.txt", "readme");
    }
    void TearDown() override { Clean(); }

    static void Clean()
    {
        ::SetFileAttributesA(InstallFolderNoSlash().c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(InstallFolderNoSlash().c_str());
        RemoveTree(InstallFolderNoSlash());
        DeleteRegTree(HKEY_LOCAL_MACHINE, PRODUCT_KEY_PATH);
        DeleteRegTree(HKEY_LOCAL_MACHINE, UNINSTALL_ENTRY_PATH);
    }

    void AddSupport() { m_medium.AddFile("Support\\2000-02\\Arx\\FillBoot.arx", "module"); }

    CWatchedRun RunSetup(const std::string& strArgs)
    {
        CProgramDriver setup;
        if (!setup.Start(m_medium.Path("Setup.exe"), strArgs))
            return NotStarted();
        return setup.WatchToEnd(TIMEOUT_MS);
    }

    static CWatchedRun RunCommandLine(const std::string& strCommandLine)
    {
        CProgramDriver program;
        if (!program.StartCommandLine(strCommandLine))
            return NotStarted();
        return program.WatchToEnd(TIMEOUT_MS);
    }

    // A program that could not be started has not ended either; the system's
    // error code says why.
    static CWatchedRun NotStarted()
    {
        ADD_FAILURE() << "the program could not be started, error " << ::GetLastError();
        return CWatchedRun();
    }

    // Ended by itself with the exit code, no window ever visible.
    static void ExpectUnseen(const CWatchedRun& run, DWORD dwExit)
    {
        ASSERT_TRUE(run.bEnded) << "the program hangs";
        EXPECT_EQ(dwExit, run.dwExit);
        EXPECT_FALSE(run.bVisible);
    }

    void InstallUnattended()
    {
        AddSupport();
        CWatchedRun run = RunSetup("/S");
        ASSERT_NO_FATAL_FAILURE(ExpectUnseen(run, 0));
        ASSERT_FALSE(ReadInstalled().entry.empty());
    }

    // The entry's QuietUninstallString as stored.
    static std::string QuietCommand(const CInstalled& installed)
    {
        auto found = installed.entry.find("|QuietUninstallString");
        std::string value = found == installed.entry.end() ? std::string() : found->second;
        return value.size() > 3 ? value.substr(2, value.size() - 3) : std::string();
    }

    // The self-deleting batch removes the install folder after the program's end.
    static void ExpectFolderGoes()
    {
        WaitUntil(
            [&] {
                return ::GetFileAttributesA(InstallFolderNoSlash().c_str()) ==
                       INVALID_FILE_ATTRIBUTES;
            },
            TIMEOUT_MS);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(InstallFolderNoSlash().c_str()));
    }

    CTestMedium m_medium{"unattended"};
};
} // namespace

TEST_F(Unattended, SetupLeavesWhatAnInteractiveRunLeavesWithoutShowingAWindow)
{
    AddSupport();
    ASSERT_NO_FATAL_FAILURE(InstallToFinish(m_medium.Path("Setup.exe"), TIMEOUT_MS));
    CInstalled interactive = ReadInstalled();
    Clean();

    CWatchedRun run = RunSetup("/S");
    ASSERT_NO_FATAL_FAILURE(ExpectUnseen(run, 0));
    // The dialog was there all along, hidden: the watch could have seen it.
    EXPECT_FALSE(run.windows.empty());
    CInstalled quiet = ReadInstalled();
    ExpectSameFiles(interactive.files, quiet.files);
    EXPECT_EQ(1u, quiet.files.count("Uninstall.log"));
    EXPECT_EQ(interactive.product, quiet.product);
    EXPECT_EQ(interactive.entry, quiet.entry);
    EXPECT_EQ(SzEntry("\"" + InstallFolder() + "Uninstall.exe\" /S"),
              quiet.entry["|QuietUninstallString"]);
}

TEST_F(Unattended, SetupIgnoresAMissingProductFolderAndEndsWithThree)
{
    CWatchedRun run = RunSetup("-s");
    ASSERT_NO_FATAL_FAILURE(ExpectUnseen(run, 3));
    CTree installed = ReadTree(InstallFolder());
    ASSERT_EQ(1u, installed.count("Support"));
    EXPECT_TRUE(installed["Support"].bFolder);
    EXPECT_EQ(0u, installed.count("Support\\2000-02"));
    EXPECT_NE(std::string::npos, ReadFileBytes(InstallFolder() + "Uninstall.log")
                                     .find("Made Dir: " + InstallFolder() + "Support\r\n"));
}

TEST_F(Unattended, SetupEndsWithOneWhenTheInstallFolderCannotBeMade)
{
    AddSupport();
    MakeFolders("C:\\Program Files\\Quorvatek");
    ASSERT_TRUE(WriteFileBytes(InstallFolderNoSlash(), "a file in the way"));
    CWatchedRun run = RunSetup("/s");
    ASSERT_NO_FATAL_FAILURE(ExpectUnseen(run, 1));
    EXPECT_EQ("a file in the way", ReadFileBytes(InstallFolderNoSlash()));
    EXPECT_TRUE(ReadInstalled().entry.empty());
}

TEST_F(Unattended, UnknownOptionEndsWithTwoAndInstallsNothing)
{
    AddSupport();
    {
        // Without /S the options are listed, in a box with the program's name.
        CProgramDriver setup;
        ASSERT_TRUE(setup.Start(m_medium.Path("Setup.exe"), "/X"));
        std::string text, caption;
        HWND hBox = setup.WaitForMessageBox(IDOK, TIMEOUT_MS, &text, &caption);
        ASSERT_NE(nullptr, hBox);
        EXPECT_EQ("Setup", caption);
        EXPECT_NE(std::string::npos, text.find("/S (或 /s, -S, -s)"));
        ASSERT_TRUE(CProgramDriver::Press(hBox, IDOK));
        DWORD dwExit = 99;
        ASSERT_TRUE(setup.WaitForExit(TIMEOUT_MS, &dwExit));
        EXPECT_EQ(2u, dwExit);
    }
    // Beside /S, no box.
    CWatchedRun run = RunSetup("/S /X");
    ASSERT_NO_FATAL_FAILURE(ExpectUnseen(run, 2));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(InstallFolderNoSlash().c_str()));
    EXPECT_TRUE(ReadInstalled().entry.empty());
}

TEST_F(Unattended, QuietUninstallCommandRemovesEverythingAndItself)
{
    ASSERT_NO_FATAL_FAILURE(InstallUnattended());
    CInstalled before = ReadInstalled();
    // An unknown option beside /S changes nothing.
    CWatchedRun refused = RunCommandLine("\"" + InstallFolder() + "Uninstall.exe\" /S /Q");
    ASSERT_NO_FATAL_FAILURE(ExpectUnseen(refused, 2));
    ExpectSameFiles(before.files, ReadTree(InstallFolder()));

    // The entry's command split into arguments, as deployment tools split it:
    // the first is the uninstaller itself, started with the rest.
    std::vector<std::string> args = CProgramDriver::SplitCommandLine(QuietCommand(before));
    ASSERT_EQ((std::vector<std::string>{InstallFolder() + "Uninstall.exe", "/S"}), args);
    CProgramDriver uninstall;
    ASSERT_TRUE(uninstall.Start(args[0], args[1]));
    CWatchedRun run = uninstall.WatchToEnd(TIMEOUT_MS);
    ASSERT_NO_FATAL_FAILURE(ExpectUnseen(run, 0));
    EXPECT_FALSE(run.windows.empty());
    EXPECT_TRUE(RegTreeOf(HKEY_LOCAL_MACHINE, PRODUCT_KEY_PATH).empty());
    EXPECT_TRUE(RegTreeOf(HKEY_LOCAL_MACHINE, UNINSTALL_ENTRY_PATH).empty());
    // Every file the log lists is gone at the program's end but the program
    // itself, which the batch removes with the folder after it.
    for (const auto& item : before.files)
    {
        if (item.second.bFolder || item.first == "Uninstall.exe")
            continue;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
                  ::GetFileAttributesA((InstallFolder() + item.first).c_str()))
            << item.first;
    }
    ExpectFolderGoes();
}

TEST_F(Unattended, QuietUninstallCommandRunsThroughTheCommandInterpreter)
{
    ASSERT_NO_FATAL_FAILURE(InstallUnattended());
    // The value as it stands after "cmd.exe /c": the interpreter must start the
    // uninstaller, not a program "C:\Program"; its exit code is the uninstaller's.
    CWatchedRun run = RunCommandLine("cmd.exe /c " + QuietCommand(ReadInstalled()));
    ASSERT_NO_FATAL_FAILURE(ExpectUnseen(run, 0));
    EXPECT_TRUE(RegTreeOf(HKEY_LOCAL_MACHINE, UNINSTALL_ENTRY_PATH).empty());
    ExpectFolderGoes();
}

TEST_F(Unattended, UninstallWithoutALogEndsWithZeroAndWithAnUnreadableOneWithOne)
{
    ASSERT_NO_FATAL_FAILURE(InstallUnattended());
    std::string log = InstallFolder() + "Uninstall.log";
    ::SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(::DeleteFileA(log.c_str()));
    CInstalled before = ReadInstalled();
    std::string uninstall = "\"" + InstallFolder() + "Uninstall.exe\" /S";

    CWatchedRun run = RunCommandLine(uninstall);
    ASSERT_NO_FATAL_FAILURE(ExpectUnseen(run, 0));
    CInstalled after = ReadInstalled();
    ExpectSameFiles(before.files, after.files);
    EXPECT_EQ(before.product, after.product);
    EXPECT_EQ(before.entry, after.entry);

    // A folder in the log's place exists but cannot be read as a file.
    ASSERT_TRUE(::CreateDirectoryA(log.c_str(), NULL));
    run = RunCommandLine(uninstall);
    ASSERT_NO_FATAL_FAILURE(ExpectUnseen(run, 1));
    EXPECT_FALSE(run.windows.empty());
    EXPECT_EQ(before.product, ReadInstalled().product);
}

TEST_F(Unattended, BothProgramsTurnTheSystemsErrorBoxesOff)
{
    // The control's entries run inside each program and record its error mode.
    AddSupport();
    ASSERT_TRUE(::CopyFileA(FakeControlOkPath().c_str(),
                            m_medium.Path("Controls\\fake.ocx").c_str(), FALSE));
    CTestMedium records("records");
    CFixtureRecord record("TESSORA_ERROR_MODE_RECORD", records.Path("modes.txt"));
    ASSERT_NO_FATAL_FAILURE(ExpectUnseen(RunSetup("/S"), 0));
    ASSERT_NO_FATAL_FAILURE(ExpectUnseen(RunCommandLine(QuietCommand(ReadInstalled())), 0));
    ExpectFolderGoes();
    const std::string mode = std::to_string(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    EXPECT_EQ((std::vector<std::string>{"register " + mode, "unregister " + mode}), record.Lines());
}

TEST_F(Unattended, NeitherProgramLoadsALibraryPlacedBesideIt)
{
    AddSupport();
    for (const char* name : {"odbccp32.dll", "comctl32.dll"})
        ASSERT_TRUE(
            ::CopyFileA(PlantedLibraryPath(name).c_str(), m_medium.Path(name).c_str(), FALSE))
            << name;
    CTestMedium records("records");
    CFixtureRecord record("TESSORA_PLANTED_RECORD", records.Path("loads.txt"));
    CNativeFirst overrides({"Setup.exe", "Uninstall.exe"}, {"odbccp32", "comctl32"});
    ASSERT_NO_FATAL_FAILURE(ExpectUnseen(RunSetup("/S"), 0));
    // Copied beside the uninstaller, as every file beside Setup is.
    for (const char* name : {"odbccp32.dll", "comctl32.dll"})
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((InstallFolder() + name).c_str()))
            << name;
    ASSERT_NO_FATAL_FAILURE(ExpectUnseen(RunCommandLine(QuietCommand(ReadInstalled())), 0));
    ExpectFolderGoes();
    EXPECT_EQ(std::vector<std::string>(), record.Lines());
}
