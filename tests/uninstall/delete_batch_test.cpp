#include "uninstall/DeleteBatch.h"

#include <gtest/gtest.h>
#include <string>

static std::string Bytes(const CString& s)
{
    return std::string((LPCTSTR)s, (size_t)s.GetLength());
}

TEST(DeleteBatch, DefaultInstallFolderGivesTheExactBatch)
{
    const char* exe = "C:\\Program Files\\Quorvatek\\Tessora\\Uninstall.exe";
    const std::string expected = ":Repeat\r\n"
                                 "del \"C:\\Program Files\\Quorvatek\\Tessora\\Uninstall.exe\"\r\n"
                                 "del \"Filedelr.avi\"\r\n"
                                 "if exist \"C:\\Program Files\\Quorvatek\\Tessora\\Uninstall.exe\" "
                                 "goto Repeat\r\n"
                                 "rmdir \"C:\\Program Files\\Quorvatek\\Tessora\"\r\n"
                                 "del \"\\DelUS.bat\"\r\n";
    EXPECT_EQ(expected, Bytes(MakeDeleteBatch(exe)));
    // The template is 88 bytes around its four paths.
    const std::string folder = "C:\\Program Files\\Quorvatek\\Tessora";
    EXPECT_EQ(88 - 8 + 2 * std::string(exe).size() + folder.size() + 10, expected.size());
}

TEST(DeleteBatch, FolderIsCutAtTheLastRealBackslash)
{
    // In code page 936 the second byte of "運" is 0x5C; the file name holds it,
    // so a byte-wise search would cut inside the name.
    const std::string trail = "運";
    ASSERT_EQ(2u, trail.size());
    ASSERT_EQ('\\', trail[1]);
    const std::string folder = "C:\\安裝運";
    const std::string exe = folder + "\\卸載運.exe";
    EXPECT_EQ(folder, Bytes(CutAtLastBackslash(exe.c_str())));

    std::string batch = Bytes(MakeDeleteBatch(exe.c_str()));
    EXPECT_NE(std::string::npos, batch.find("\r\nrmdir \"" + folder + "\"\r\n"));
    EXPECT_NE(std::string::npos, batch.find("\r\ndel \"" + exe + "\"\r\n"));
}

TEST(DeleteBatch, PercentSignsAreDoubledOnlyInThePaths)
{
    const char* exe = "D:\\100%\\a%PATH%b.exe";
    const std::string expected = ":Repeat\r\n"
                                 "del \"D:\\100%%\\a%%PATH%%b.exe\"\r\n"
                                 "del \"Filedelr.avi\"\r\n"
                                 "if exist \"D:\\100%%\\a%%PATH%%b.exe\" goto Repeat\r\n"
                                 "rmdir \"D:\\100%%\"\r\n"
                                 "del \"\\DelUS.bat\"\r\n";
    EXPECT_EQ(expected, Bytes(MakeDeleteBatch(exe)));
    EXPECT_EQ("%%%%", Bytes(EscapeBatchPercent("%%")));
    EXPECT_EQ("", Bytes(EscapeBatchPercent("")));
}

TEST(DeleteBatch, PathWithoutBackslashRemovesNoFolder)
{
    EXPECT_EQ("", Bytes(CutAtLastBackslash("Uninstall.exe")));
    EXPECT_EQ("C:", Bytes(CutAtLastBackslash("C:\\Uninstall.exe")));
    std::string batch = Bytes(MakeDeleteBatch("Uninstall.exe"));
    EXPECT_NE(std::string::npos, batch.find("\r\nrmdir \"\"\r\n"));
}
