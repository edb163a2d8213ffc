// Where the end-to-end tests find the built programs and where Setup installs.
#pragma once
#include "driver/CProgramDriver.h"
#include "driver/ProgramFacts.h"
#include "support/TestMedium.h"

#include <gtest/gtest.h>

#include <string>

inline std::string BuiltProgram(const char* pszRelative)
{
    return WinePath(std::string(TESSORA_BUILD_DIR) + "/" + pszRelative);
}

// The install folder the folder rule gives on the test prefix (system drive C:).
inline std::string InstallFolder()
{
    return "C:\\Program Files\\Quorvatek\\Tessora\\";
}
inline std::string InstallFolderNoSlash()
{
    return InstallFolder().substr(0, InstallFolder().size() - 1);
}

// A medium in a scratch folder: Setup.exe (and Uninstall.exe) copied from the
// build beside the product folders the test adds.
inline void AddPrograms(CTestMedium& medium, bool bWithUninstall = true)
{
    ::CopyFileA(BuiltProgram("setup/Setup.exe").c_str(), medium.Path("Setup.exe").c_str(), FALSE);
    if (bWithUninstall)
        ::CopyFileA(BuiltProgram("uninstall/Uninstall.exe").c_str(),
                    medium.Path("Uninstall.exe").c_str(), FALSE);
}

// A small complete medium: the programs, the four product folders (with a
// Chinese folder and file name) and the text beside Setup.
inline void AddSmallProduct(CTestMedium& medium)
{
    AddPrograms(medium);
    medium.AddFile("Database\\填充图案.mdb", "stand-in database");
    medium.AddFile("Support\\2000-02\\Arx\\FillBoot.arx", "module");
    medium.AddFile("HatchPat\\brick.pat", "*BRICK, brick\r\n0, 0,0, 0,6.35\r\n");
    medium.AddFile("HatchPat\\运河\\淺.pat", "*SHALLOW, shallow\r\n45, 0,0, 0,2\r\n");
    medium.AddFolder("Controls");
    medium.AddFile("说明.txt", "readme");
}

// An environment variable of the test, empty when unset.
inline std::string EnvironmentText(const char* pszName)
{
    char buffer[MAX_PATH * 2] = {0};
    DWORD n = ::GetEnvironmentVariableA(pszName, buffer, sizeof(buffer));
    return n && n < sizeof(buffer) ? std::string(buffer, n) : std::string();
}

// The programs of another build, as the round trip can run them instead of
// this build's: TESSORA_E2E_MEDIUM names (as a Unix path) that build's laid-out
// distribution medium, TESSORA_E2E_ODBC_DRIVER the fake ODBC driver built for
// it. The test command runs the shipped 32-bit programs so. Empty when unset.
inline std::string OtherBuildPath(const char* pszVariable)
{
    std::string unixPath = EnvironmentText(pszVariable);
    return unixPath.empty() ? unixPath : WinePath(unixPath);
}

// The registry view a program writes HKLM\Software in: a 32-bit program on
// 64-bit Windows writes below Wow6432Node, which this view names.
inline REGSAM ProgramRegistryView(const std::string& strProgram)
{
    std::string header = ReadFileBytes(strProgram).substr(0, 4096);
    if (header.size() < 0x40)
        return 0;
    DWORD pe = *(const DWORD*)&header[0x3C];
    if (pe + 6 > header.size())
        return 0;
    WORD machine = *(const WORD*)&header[pe + 4];
    return machine == IMAGE_FILE_MACHINE_I386 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

// Runs Setup.exe interactively as a user does: waits for its completed look,
// presses Finish and waits for the program's end.
inline void InstallToFinish(const std::string& strSetup, DWORD dwTimeoutMs)
{
    CProgramDriver setup;
    ASSERT_TRUE(setup.Start(strSetup));
    HWND hDlg = setup.WaitForWindow(nullptr, dwTimeoutMs);
    ASSERT_NE(nullptr, hDlg);
    ASSERT_TRUE(CProgramDriver::WaitForCaption(hDlg, SETUP_DONE_CAPTION, dwTimeoutMs));
    ASSERT_TRUE(CProgramDriver::Press(hDlg, IDOK));
    ASSERT_TRUE(setup.WaitForExit(dwTimeoutMs));
}
