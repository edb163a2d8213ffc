#include "uninstall/DeleteBatch.h"

#include <gtest/gtest.h>
#include <string>

static std::string Batch(const char* exe)
{
    CString batch = MakeDeleteBatch(exe);
    return std::string((LPCTSTR)batch, (size_t)batch.GetLength());
}

TEST(DeleteBatch, DefaultInstallFolderGivesTheExactBatch)
{
    EXPECT_EQ(":Repeat\r\n"
              "del \"C:\\Program Files\\Quorvatek\\Tessora\\Uninstall.exe\"\r\n"
              "del \"Filedelr.avi\"\r\n"
              "if exist \"C:\\Program Files\\Quorvatek\\Tessora\\Uninstall.exe\" goto Repeat\r\n"
              "rmdir \"C:\\Program Files\\Quorvatek\\Tessora\"\r\n"
              "del \"\\DelUS.bat\"\r\n",
              Batch("C:\\Program Files\\Quorvatek\\Tessora\\Uninstall.exe"));
}

TEST(DeleteBatch, PercentDoubledAndFolderCutAtTheLastRealBackslash)
{
    // The second byte of "運" is 0x5C: a byte-wise search would cut inside the name.
    ASSERT_EQ('\\', std::string("運")[1]);
    EXPECT_EQ(":Repeat\r\n"
              "del \"D:\\100%%\\卸載運.exe\"\r\n"
              "del \"Filedelr.avi\"\r\n"
              "if exist \"D:\\100%%\\卸載運.exe\" goto Repeat\r\n"
              "rmdir \"D:\\100%%\"\r\n"
              "del \"\\DelUS.bat\"\r\n",
              Batch("D:\\100%\\卸載運.exe"));
}

TEST(DeleteBatch, PathWithoutBackslashRemovesNoFolder)
{
    EXPECT_NE(std::string::npos, Batch("Uninstall.exe").find("\r\nrmdir \"\"\r\n"));
}
