#include "setup/FolderRules.h"
#include "support/Bytes.h"

#include <gtest/gtest.h>
#include <string>

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
