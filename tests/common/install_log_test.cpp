#include "common/CInstallLog.h"
#include "support/Bytes.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
CInstallLog LogOf(const std::string& text)
{
    CInstallLog log;
    log.SetText(CString(text.data(), (int)text.size()));
    return log;
}

// Every value of one kind, scanning as the readers do.
std::vector<std::string> Values(const CInstallLog& log, int kind)
{
    std::vector<std::string> values;
    int pos = 0, start = 0, length = 0;
    while (log.FindNext(kind, pos, start, length))
        values.push_back(Bytes(log.GetText()).substr((size_t)start, (size_t)length));
    return values;
}

// "運" and "淺" in code page 936: their trail bytes are backslashes.
const std::string YUN = "\xDF\x5C";
const std::string QIAN = "\x9C\x5C";
} // namespace

TEST(InstallLogWriter, EachEntryIsPrefixValueAndLineFeed)
{
    CInstallLog log;
    EXPECT_EQ("", Bytes(log.GetText()));
    log.AddMadeDir("C:\\Program Files\\Quorvatek\\Tessora\\Database");
    log.AddFileCopy(("C:\\T\\" + YUN + "\\a, b .mdb").c_str());
    log.AddRegCtrl("C:\\T\\Controls\\x.ocx");
    log.AddRegKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvatek\\Tessora\\V5");
    log.AddFileCopy("");
    EXPECT_EQ("Made Dir: C:\\Program Files\\Quorvatek\\Tessora\\Database\n"
              "File Copy: C:\\T\\" +
                  YUN +
                  "\\a, b .mdb\n"
                  "Reg Ctrl: C:\\T\\Controls\\x.ocx\n"
                  "RegDB Key: 2,SOFTWARE\\Quorvatek\\Tessora\\V5\n"
                  "File Copy: \n",
              Bytes(log.GetText()));
}

TEST(InstallLogWriter, RootCodesOfEveryRoot)
{
    EXPECT_EQ("0", Bytes(RegRootCode(HKEY_CLASSES_ROOT)));
    EXPECT_EQ("1", Bytes(RegRootCode(HKEY_CURRENT_USER)));
    EXPECT_EQ("2", Bytes(RegRootCode(HKEY_LOCAL_MACHINE)));
    EXPECT_EQ("3", Bytes(RegRootCode(HKEY_USERS)));
    EXPECT_EQ("4", Bytes(RegRootCode(HKEY_PERFORMANCE_DATA)));
    EXPECT_EQ("4", Bytes(RegRootCode(HKEY_CURRENT_CONFIG)));
    EXPECT_EQ("4", Bytes(RegRootCode((HKEY)(uintptr_t)0x1234)));

    CInstallLog log;
    log.AddRegKey(HKEY_CURRENT_CONFIG, "A");
    EXPECT_EQ("RegDB Key: 4,A\n", Bytes(log.GetText()));
}

TEST(InstallLogReader, RootCodesCompareAsWholeStrings)
{
    EXPECT_EQ(HKEY_CLASSES_ROOT, RegRootFromCode("0"));
    EXPECT_EQ(HKEY_CURRENT_USER, RegRootFromCode("1"));
    EXPECT_EQ(HKEY_LOCAL_MACHINE, RegRootFromCode("2"));
    EXPECT_EQ(HKEY_USERS, RegRootFromCode("3"));
    // "4" is the current configuration, not the performance data it would be by number.
    for (const char* code : {"4", "7", "02", "2 ", " 2", "", "22"})
        EXPECT_EQ(HKEY_CURRENT_CONFIG, RegRootFromCode(code)) << "code '" << code << "'";
}

TEST(InstallLogReader, RegistryValueSplitsAtItsFirstCommaOnly)
{
    HKEY root = NULL;
    CString subKey;
    ASSERT_TRUE(SplitRegKeyValue("2,SOFTWARE\\A,B\\C", root, subKey));
    EXPECT_EQ(HKEY_LOCAL_MACHINE, root);
    EXPECT_EQ("SOFTWARE\\A,B\\C", Bytes(subKey));

    ASSERT_TRUE(SplitRegKeyValue("7,", root, subKey));
    EXPECT_EQ(HKEY_CURRENT_CONFIG, root);
    EXPECT_EQ("", Bytes(subKey));

    // No comma: nothing is set. The value is cut out of a longer text whose
    // next byte is a comma, which must not be read.
    std::string text = "2SOFTWARE\\X,Y";
    CString value(text.data(), 11);
    root = HKEY_USERS;
    subKey = "unchanged";
    EXPECT_FALSE(SplitRegKeyValue(value, root, subKey));
    EXPECT_FALSE(SplitRegKeyValue("", root, subKey));
    EXPECT_EQ(HKEY_USERS, root);
    EXPECT_EQ("unchanged", Bytes(subKey));
}

TEST(InstallLogReader, ScanPassesPositionFromCallToCall)
{
    CInstallLog log = LogOf("Made Dir: C:\\A\nFile Copy: C:\\A\\1\nRegDB Key: 2,K\n"
                            "File Copy: C:\\A\\2\nnoise line\nMade Dir: C:\\A\\B\n");
    EXPECT_EQ((std::vector<std::string>{"C:\\A\\1", "C:\\A\\2"}), Values(log, LOG_FILE_COPY));
    EXPECT_EQ((std::vector<std::string>{"C:\\A", "C:\\A\\B"}), Values(log, LOG_MADE_DIR));
    EXPECT_EQ((std::vector<std::string>{"2,K"}), Values(log, LOG_REGDB_KEY));
    EXPECT_EQ(0, log.CountEntries(LOG_REG_CTRL));
    EXPECT_EQ(2, log.CountEntries(LOG_FILE_COPY));

    int pos = 0, start = 0, length = 0;
    ASSERT_TRUE(log.FindNext(LOG_FILE_COPY, pos, start, length));
    EXPECT_EQ(15 + 11, start);
    EXPECT_EQ(6, length);
    EXPECT_EQ(start + length + 1, pos);
}

TEST(InstallLogReader, NoMatchLeavesPositionAndGivesNoStart)
{
    CInstallLog log = LogOf("File Copy: a\n");
    int pos = 13, start = 5, length = 5;
    EXPECT_FALSE(log.FindNext(LOG_FILE_COPY, pos, start, length));
    EXPECT_EQ(13, pos);
    EXPECT_EQ(-1, start);

    pos = 14; // beyond the end
    EXPECT_FALSE(log.FindNext(LOG_FILE_COPY, pos, start, length));
    EXPECT_EQ(14, pos);
    pos = 0;
    EXPECT_FALSE(log.FindNext(9, pos, start, length));
    EXPECT_EQ(0, pos);
    EXPECT_EQ(0, CInstallLog().CountEntries(LOG_FILE_COPY));
}

TEST(InstallLogReader, ValueBoundaries)
{
    // Empty value, value with a lone CR and trailing blanks, last entry without LF.
    CInstallLog log = LogOf("File Copy: \nFile Copy: a\rb  \nFile Copy: C:\\last");
    EXPECT_EQ((std::vector<std::string>{"", "a\rb  ", "C:\\last"}), Values(log, LOG_FILE_COPY));

    // The prefix is found inside another entry's value; the value runs to that line's end.
    log = LogOf("File Copy: C:\\x Made Dir: y\\z.txt\nMade Dir: C:\\w\n");
    EXPECT_EQ((std::vector<std::string>{"y\\z.txt", "C:\\w"}), Values(log, LOG_MADE_DIR));

    // A prefix alone at the very end gives an empty value running to the end.
    log = LogOf("Reg Ctrl: ");
    EXPECT_EQ((std::vector<std::string>{""}), Values(log, LOG_REG_CTRL));
}

TEST(InstallLogReader, MatchNeverStartsOnTrailByte)
{
    // 0x81 0x46 is one character whose trail byte is 'F': "File Copy: " does
    // not begin there, neither when the scan starts at the line's start nor
    // when it starts right on that trail byte.
    CInstallLog log = LogOf("x\x81"
                            "File Copy: no\nFile Copy: " +
                            YUN + "\\" + QIAN + "\n");
    EXPECT_EQ((std::vector<std::string>{YUN + "\\" + QIAN}), Values(log, LOG_FILE_COPY));
    int pos = 2, start = 0, length = 0;
    ASSERT_TRUE(log.FindNext(LOG_FILE_COPY, pos, start, length));
    EXPECT_EQ(16 + 11, start);

    // A damaged lead byte right before a line feed does not swallow it.
    log = LogOf("File Copy: a\x81\nFile Copy: b\n");
    EXPECT_EQ((std::vector<std::string>{"a\x81", "b"}), Values(log, LOG_FILE_COPY));
}
