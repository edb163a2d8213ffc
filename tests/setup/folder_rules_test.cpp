#include "setup/FolderRules.h"
#include "common/PathRules.h"
#include "support/Bytes.h"

#include <gtest/gtest.h>
#include <string>

namespace
{
// "運" in code page 936, trail byte 0x5C.
const std::string YUN = "\xDF\x5C";
} // namespace

TEST(SourceFolderRule, FolderOfTheProgramWithOneFinalBackslash)
{
    EXPECT_EQ("E:\\", Bytes(SourceFolderFromModulePath("E:\\Setup.exe")));
    EXPECT_EQ("C:\\Disc\\V5\\", Bytes(SourceFolderFromModulePath("C:\\Disc\\V5\\Setup.exe")));
    // A trail byte 0x5C in the program's or the folder's name is no separator.
    EXPECT_EQ("D:\\" + YUN + "\\",
              Bytes(SourceFolderFromModulePath(("D:\\" + YUN + "\\Setup.exe").c_str())));
    EXPECT_EQ("D:\\x\\", Bytes(SourceFolderFromModulePath(("D:\\x\\" + YUN + ".exe").c_str())));
    // Without any backslash the whole path stays; no path at all gives the
    // root of the current drive.
    EXPECT_EQ("Setup.exe\\", Bytes(SourceFolderFromModulePath("Setup.exe")));
    EXPECT_EQ("\\", Bytes(SourceFolderFromModulePath("")));
}

TEST(InstallFolderRule, OnlyTheDriveLetterComesFromTheSystem)
{
    EXPECT_EQ("C:\\Program Files\\Quorvatek\\Tessora\\",
              Bytes(InstallFolderFromSystemRoot("C:\\WINDOWS")));
    EXPECT_EQ("D:\\Program Files\\Quorvatek\\Tessora\\",
              Bytes(InstallFolderFromSystemRoot(" D:\\WINNT ")));
    EXPECT_EQ("E:\\Program Files\\Quorvatek\\Tessora\\",
              Bytes(InstallFolderFromSystemRoot("\t\r\nE:\n")));
    // No readable value, or one byte after trimming: drive C.
    EXPECT_EQ("C:\\Program Files\\Quorvatek\\Tessora\\", Bytes(InstallFolderFromSystemRoot("")));
    EXPECT_EQ("C:\\Program Files\\Quorvatek\\Tessora\\", Bytes(InstallFolderFromSystemRoot(" F ")));
}
