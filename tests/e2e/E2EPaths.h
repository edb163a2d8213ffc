// Where the end-to-end tests find the built programs and where Setup installs.
#pragma once
#include "TestMedium.h"

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

// A medium in a scratch folder: Setup.exe (and Uninstall.exe) copied from the
// build beside the product folders the test adds.
inline void AddPrograms(CTestMedium& medium, bool bWithUninstall = true)
{
    ::CopyFileA(BuiltProgram("setup/Setup.exe").c_str(), medium.Path("Setup.exe").c_str(), FALSE);
    if (bWithUninstall)
        ::CopyFileA(BuiltProgram("uninstall/Uninstall.exe").c_str(),
                    medium.Path("Uninstall.exe").c_str(), FALSE);
}
