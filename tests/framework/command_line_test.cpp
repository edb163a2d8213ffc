#include "framework/CommandLine.h"

#include <gtest/gtest.h>
#include <string>

namespace
{
const char MODULE[] = "C:\\Program Files\\Quorvatek\\Tessora\\Uninstall.exe";

std::string Args(const char* pszCmdLine, const char* pszModule = MODULE)
{
    return (LPCTSTR)CommandLineArguments(pszCmdLine, pszModule);
}
} // namespace

TEST(CommandLineArguments, QuotedOrPlainNameIsSkipped)
{
    EXPECT_EQ("/S", Args("\"C:\\Program Files\\Quorvatek\\Tessora\\Uninstall.exe\" /S"));
    EXPECT_EQ("/S -x", Args("\"C:\\a b\\Setup.exe\"/S -x"));
    EXPECT_EQ("/S", Args("  Setup.exe   /S  "));
    EXPECT_EQ("", Args("Setup.exe"));
    EXPECT_EQ("", Args("\"C:\\unclosed /S"));
    EXPECT_EQ("", Args(""));
}

TEST(CommandLineArguments, UnquotedOwnPathWithBlanksIsSkippedWhole)
{
    // As an uninstall entry starts the program.
    EXPECT_EQ("", Args(MODULE));
    EXPECT_EQ("/S", Args("c:\\program files\\quorvatek\\tessora\\UNINSTALL.EXE /S"));
    // Only the whole path followed by a blank counts; anything else ends at the first blank.
    EXPECT_EQ("Files\\Quorvatek\\Tessora\\Uninstall.exe2 /S",
              Args("C:\\Program Files\\Quorvatek\\Tessora\\Uninstall.exe2 /S"));
    EXPECT_EQ("Files\\Quorvatek\\Tessora\\Uninstall.exe /S",
              Args("C:\\Program Files\\Quorvatek\\Tessora\\Uninstall.exe /S", ""));
}
