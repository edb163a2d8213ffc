#include "common/PathRules.h"
#include "support/Bytes.h"

#include <gtest/gtest.h>
#include <string>

namespace
{
// "運" and "淺" in code page 936: their trail bytes are backslashes.
const std::string YUN = "\xDF\x5C";
const std::string QIAN = "\x9C\x5C";

// Every rule answers as text, given a path and one more argument.
typedef std::string (*PathRule)(const std::string& strPath, const std::string& strArg);

std::string Answer(BOOL b)
{
    return b ? "TRUE" : "FALSE";
}
std::string EndsWithBackslash(const std::string& strPath, const std::string&)
{
    return Answer(PathEndsWith(strPath.c_str(), '\\'));
}
std::string EndsWithSeparator(const std::string& strPath, const std::string&)
{
    return Answer(PathEndsWithSeparator(strPath.c_str()));
}
std::string Join(const std::string& strFolder, const std::string& strName)
{
    return Bytes(JoinPath(strFolder.c_str(), strName.c_str()));
}
std::string SourceFolder(const std::string& strModulePath, const std::string&)
{
    return Bytes(SourceFolderFromModulePath(strModulePath.c_str()));
}
// The argument is the size of the buffer the module path was delivered in.
std::string ProgramFolder(const std::string& strModulePath, const std::string& strBufferSize)
{
    CString folder("unset");
    BOOL bFound = ProgramFolderFromModulePath(strModulePath.c_str(), (DWORD)strModulePath.size(),
                                              (DWORD)std::stoul(strBufferSize), folder);
    return Answer(bFound) + " " + Bytes(folder);
}

struct CPathCase
{
    const char* pszRule;
    PathRule pfnRule;
    std::string strPath;
    std::string strArg;
    std::string strAnswer;
};
} // namespace

TEST(PathRules, EachRuleJudgesTheLastCharacterNotTheLastByte)
{
    const CPathCase cases[] = {
        // A trail byte 0x5C ends no path; the character after it does.
        {"ends with \\", EndsWithBackslash, "C:\\" + QIAN, "", "FALSE"},
        {"ends with \\", EndsWithBackslash, "C:\\" + QIAN + "\\", "", "TRUE"},
        {"ends with \\", EndsWithBackslash, "C:\\T/", "", "FALSE"},
        {"ends with separator", EndsWithSeparator, "C:\\T/", "", "TRUE"},
        {"ends with separator", EndsWithSeparator, "C:\\" + YUN, "", "FALSE"},
        {"ends with separator", EndsWithSeparator, "", "", "FALSE"},

        // One separator between folder and name, only where needed; a folder of
        // two bytes or fewer gives the name alone.
        {"join", Join, "C:\\T\\", "Uninstall.log", "C:\\T\\Uninstall.log"},
        {"join", Join, "C:\\T/", "x", "C:\\T/x"},
        {"join", Join, "C:\\T", "x", "C:\\T\\x"},
        {"join", Join, "C:", "x", "x"},
        {"join", Join, "", "x", "x"},
        {"join", Join, "\\", "x", "x"},
        {"join", Join, "C:\\" + YUN, QIAN, "C:\\" + YUN + "\\" + QIAN},

        // Setup's source: the program's folder with one final backslash; a path
        // without any stays whole, no path at all gives the current drive's root.
        {"source folder", SourceFolder, "E:\\Setup.exe", "", "E:\\"},
        {"source folder", SourceFolder, "C:\\Disc\\V5\\Setup.exe", "", "C:\\Disc\\V5\\"},
        {"source folder", SourceFolder, "D:\\" + YUN + "\\Setup.exe", "", "D:\\" + YUN + "\\"},
        {"source folder", SourceFolder, "D:\\x\\" + YUN + ".exe", "", "D:\\x\\"},
        {"source folder", SourceFolder, "Setup.exe", "", "Setup.exe\\"},
        {"source folder", SourceFolder, "", "", "\\"},

        // Uninstall's own folder: none from a failed call, nor from a path that
        // fills its buffer (here it would give the parent "C:\").
        {"program folder", ProgramFolder, "C:\\Tessora\\" + YUN + ".exe", "260",
         "TRUE C:\\Tessora\\"},
        {"program folder", ProgramFolder, "", "260", "FALSE unset"},
        {"program folder", ProgramFolder, "C:\\Tessora", "10", "FALSE unset"},
    };
    for (const CPathCase& c : cases)
        EXPECT_EQ(c.strAnswer, c.pfnRule(c.strPath, c.strArg))
            << c.pszRule << " of \"" << c.strPath << "\", \"" << c.strArg << "\"";
}
